"""The guest kernel: a Debian kernel package fetched once and kept in a cache.

The cache holds, per kernel package, the uncompressed kernel image (booted
through its PVH entry, which spares the guest the slow decompression under
TCG) and the storage driver modules the guest loads, in loading order.
"""

import fcntl
import lzma
import os
import pathlib
import shutil
import struct
import subprocess
import tempfile

# Drivers the guest needs; their dependencies are added from the modules'
# own "depends=" records. crc32c_generic is ext4's soft dependency (metadata
# checksums), which no "depends=" names.
GUEST_MODULES = (
    "ahci", "sd_mod", "usb_storage", "uas", "xhci_pci",
    "crc32c_generic", "ext4",
)

META_PACKAGE = "linux-image-amd64"


class KernelError(RuntimeError):
    pass


class Kernel:
    def __init__(self, directory: pathlib.Path):
        self.directory = directory
        self.image = directory / "boot-image"
        # Module files, dependencies first.
        self.modules = [directory / "modules" / line for line in
                        (directory / "modules" / "order").read_text().split()]


def cache_directory() -> pathlib.Path:
    explicit = os.environ.get("QUILLFENCE_VM_CACHE")
    if explicit:
        return pathlib.Path(explicit)
    base = os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache")
    return pathlib.Path(base) / "quillfence-vm"


def get_kernel() -> Kernel:
    """The current Debian kernel, fetched into the cache when missing."""
    cache = cache_directory()
    cache.mkdir(parents=True, exist_ok=True)
    package = _current_package()
    # The cache layout's version and the module set; a change refetches.
    stamp = "2 " + " ".join(GUEST_MODULES)
    with open(cache / "lock", "w") as lock:
        # Several tests may start at once; one fetches, the others wait.
        fcntl.flock(lock, fcntl.LOCK_EX)
        target = cache / package
        stamp_file = target / "stamp"
        if not (stamp_file.exists() and stamp_file.read_text() == stamp):
            _fetch(package, cache, target)
            stamp_file.write_text(stamp)
            for old in cache.iterdir():
                if old.is_dir() and old.name.startswith("linux-image-") and old != target:
                    shutil.rmtree(old, ignore_errors=True)
        return Kernel(target)


def _current_package() -> str:
    """The versioned kernel package that the meta package depends on."""
    for attempt in range(2):
        result = _apt(["apt-cache", "depends", META_PACKAGE])
        for line in result.stdout.splitlines():
            name = line.strip().removeprefix("Depends:").strip()
            if line.strip().startswith("Depends:") and name.startswith("linux-image-"):
                return name
        if attempt == 0 and os.geteuid() == 0:
            # A machine whose package lists were never fetched knows no kernel.
            _apt(["apt-get", "update", "-qq"])
    cached = sorted(p.name for p in cache_directory().glob("linux-image-*")
                    if (p / "stamp").exists())
    if cached:
        return cached[-1]
    raise KernelError(
        f"cannot resolve the kernel package that {META_PACKAGE} depends on "
        f"(apt-cache depends {META_PACKAGE}: {result.stderr.strip() or 'no answer'}); "
        "run 'apt-get update' and retry")


def _apt(command, cwd=None) -> subprocess.CompletedProcess:
    try:
        return subprocess.run(command, cwd=cwd, capture_output=True, text=True)
    except FileNotFoundError:
        raise KernelError(f"{command[0]} is missing: the guest kernel comes from a Debian package")


def _fetch(package: str, cache: pathlib.Path, target: pathlib.Path):
    shutil.rmtree(target, ignore_errors=True)
    with tempfile.TemporaryDirectory(dir=cache) as work:
        work = pathlib.Path(work)
        download = _apt(["apt-get", "download", "-o", "APT::Sandbox::User=root", package],
                        cwd=work)
        debs = list(work.glob("*.deb"))
        if download.returncode != 0 or not debs:
            raise KernelError(f"cannot download the kernel package {package}: "
                              f"{download.stderr.strip() or download.stdout.strip()}")
        tree = work / "tree"
        subprocess.run(["dpkg", "-x", str(debs[0]), str(tree)], check=True)
        vmlinuz = next((tree / "boot").glob("vmlinuz-*"))
        module_root = next(tree.glob("lib/modules/*/kernel"), None) or \
            next(tree.glob("usr/lib/modules/*/kernel"))
        order = _load_order(module_root)

        staging = work / "out"
        (staging / "modules").mkdir(parents=True)
        (staging / "boot-image").write_bytes(_uncompressed_kernel(vmlinuz.read_bytes()))
        for path in order:
            (staging / "modules" / _file_name(path)).write_bytes(_module_bytes(path))
        (staging / "modules" / "order").write_text(
            "".join(_file_name(path) + "\n" for path in order))
        staging.rename(target)


def _uncompressed_kernel(bzimage: bytes) -> bytes:
    """The ELF kernel inside a bzImage (x86 boot protocol), or the bzImage
    itself when its payload is not XZ (it then decompresses itself, slowly)."""
    setup_sectors = bzimage[0x1F1] or 4
    payload_offset, payload_length = struct.unpack_from("<II", bzimage, 0x248)
    start = (setup_sectors + 1) * 512 + payload_offset
    payload = bzimage[start:start + payload_length]
    if not payload.startswith(b"\xfd7zXZ\x00"):
        return bzimage
    elf = lzma.LZMADecompressor(format=lzma.FORMAT_XZ).decompress(payload)
    if not elf.startswith(b"\x7fELF"):
        raise KernelError("the kernel payload is no ELF image")
    return elf


def _module_name(path: pathlib.Path) -> str:
    return path.name.split(".ko")[0].replace("-", "_")


def _file_name(path: pathlib.Path) -> str:
    return path.name.split(".ko")[0] + ".ko"


def _module_bytes(path: pathlib.Path) -> bytes:
    """A module file's contents; busybox insmod takes no compressed ones."""
    data = path.read_bytes()
    return lzma.decompress(data) if path.name.endswith(".ko.xz") else data


def _load_order(module_root: pathlib.Path) -> list:
    """GUEST_MODULES and everything they depend on, dependencies first."""
    index = {_module_name(p): p for pattern in ("*.ko", "*.ko.xz")
             for p in module_root.rglob(pattern)}
    order, seen = [], set()

    def visit(name):
        if name in seen:
            return
        seen.add(name)
        if name not in index:
            raise KernelError(f"the kernel package has no module {name}")
        for dependency in _depends(index[name]):
            visit(dependency)
        order.append(index[name])

    for name in GUEST_MODULES:
        visit(name)
    return order


def _depends(path: pathlib.Path) -> list:
    """The module names in the "depends=" record of a module's .modinfo section."""
    data = _module_bytes(path)
    # ELF64 little endian: section header table offset, entry size, count,
    # index of the section-name string table.
    shoff, = struct.unpack_from("<Q", data, 0x28)
    shentsize, shnum, shstrndx = struct.unpack_from("<HHH", data, 0x3A)

    def section(i):
        name, _, _, _, offset, size = struct.unpack_from(
            "<IIQQQQ", data, shoff + i * shentsize)
        return name, offset, size

    _, names_offset, _ = section(shstrndx)
    for i in range(shnum):
        name, offset, size = section(i)
        if data[names_offset + name:].startswith(b".modinfo\0"):
            for record in data[offset:offset + size].split(b"\0"):
                if record.startswith(b"depends="):
                    value = record[len(b"depends="):].decode()
                    return [d.replace("-", "_") for d in value.split(",") if d]
            return []
    return []
