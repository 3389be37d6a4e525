"""The guest kernel: a Debian kernel package fetched once and kept in a cache.

The cache holds, per kernel package, the uncompressed kernel image (booted
through its PVH entry, which spares the guest the slow decompression under
TCG) and the driver modules a guest may load, in loading order, with the
modules each feature group needs.
"""

import fcntl
import hashlib
import lzma
import os
import pathlib
import shutil
import struct
import subprocess
import tempfile

# Drivers by feature (a disk bus or a file system); a guest loads only the
# groups its disks call for, since every module costs boot time under TCG.
# Dependencies are added from the modules' own "depends=" records.
# crc32c_generic is the soft dependency (metadata checksums) of ext4 and
# btrfs, which no "depends=" names.
MODULE_GROUPS = {
    "sata": ("ahci", "sd_mod"),
    "ide": ("ata_piix", "sd_mod"),
    "usb": ("xhci_pci", "usb_storage", "uas", "sd_mod"),
    "scsi": ("virtio_pci", "virtio_scsi", "sd_mod"),
    "nvme": ("nvme",),
    "ext4": ("crc32c_generic", "ext4"),
    "btrfs": ("crc32c_generic", "btrfs"),
}

META_PACKAGE = "linux-image-amd64"

# The cache layout's version and the module set; a change refetches.
LAYOUT = "3 " + repr(sorted(MODULE_GROUPS.items()))
LAYOUT_SUFFIX = "+" + hashlib.sha1(LAYOUT.encode()).hexdigest()[:10]


class KernelError(RuntimeError):
    pass


class Kernel:
    def __init__(self, directory: pathlib.Path):
        self.directory = directory
        self.image = directory / "boot-image"
        # Module file names, dependencies first.
        self.order = (directory / "modules" / "order").read_text().split()
        # Group -> the module file names it needs, its dependencies included.
        self.groups = {}
        for line in (directory / "modules" / "groups").read_text().splitlines():
            group, _, names = line.partition(":")
            self.groups[group] = set(names.split())

    def modules(self, groups) -> list:
        """The module files the groups need, dependencies first."""
        wanted = set().union(*(self.groups[group] for group in groups))
        return [self.directory / "modules" / name for name in self.order if name in wanted]


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
    with open(cache / "lock", "w") as lock:
        # Several tests may start at once; one fetches, the others wait.
        fcntl.flock(lock, fcntl.LOCK_EX)
        # One folder per package and layout, so that checkouts of other
        # layouts sharing the cache do not refetch in turn; a new package or
        # layout drops the others' folders (those of the first layout,
        # named after the package alone, stay for the checkouts that use it).
        target = cache / f"{package}{LAYOUT_SUFFIX}"
        if not (target / "stamp").exists():
            _fetch(package, cache, target)
            (target / "stamp").write_text(LAYOUT)
            for old in cache.iterdir():
                if old.is_dir() and old.name.startswith("linux-image-") and "+" in old.name \
                        and old != target:
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
    cached = sorted(p.name.removesuffix(LAYOUT_SUFFIX)
                    for p in cache_directory().glob(f"linux-image-*{LAYOUT_SUFFIX}")
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
        order, groups = _load_order(module_root)

        staging = work / "out"
        (staging / "modules").mkdir(parents=True)
        (staging / "boot-image").write_bytes(_uncompressed_kernel(vmlinuz.read_bytes()))
        for path in order:
            (staging / "modules" / _file_name(path)).write_bytes(_module_bytes(path))
        (staging / "modules" / "order").write_text(
            "".join(_file_name(path) + "\n" for path in order))
        (staging / "modules" / "groups").write_text("".join(
            f"{group}: {' '.join(sorted(_file_name(path) for path in paths))}\n"
            for group, paths in groups.items()))
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


def _load_order(module_root: pathlib.Path):
    """The modules of all MODULE_GROUPS and everything they depend on,
    dependencies first; and per group the set of those it needs."""
    index = {_module_name(p): p for pattern in ("*.ko", "*.ko.xz")
             for p in module_root.rglob(pattern)}
    order, needs = [], {}

    def visit(name) -> set:
        if name not in needs:
            if name not in index:
                raise KernelError(f"the kernel package has no module {name}")
            needs[name] = {index[name]}.union(*(visit(d) for d in _depends(index[name])))
            order.append(index[name])
        return needs[name]

    groups = {group: set().union(*(visit(name) for name in names))
              for group, names in MODULE_GROUPS.items()}
    return order, groups


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
