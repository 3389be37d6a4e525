"""Host-side image building: disk images with an MBR, ext4 and btrfs file
systems in their partitions, the guest's root tree with programs and their
libraries, and the initramfs.

Nothing here needs root: ext4 is written with `mke2fs -d` straight into the
disk image at the partition's offset; btrfs, whose mkfs takes no offset, into
a file of the partition's size that is then copied into the image.
"""

import os
import pathlib
import re
import shutil
import stat
import struct
import subprocess
import tempfile

SECTOR = 512
MIB = 1 << 20
# Partitions start at 1 MiB; the sector just before holds the disk's tag,
# by which the guest tells the disks apart whatever names the kernel gives.
FIRST_PARTITION = MIB
TAG_OFFSET = FIRST_PARTITION - SECTOR
TAG_PREFIX = b"QFVMTAG:"
# mkfs.btrfs mixes data and metadata block groups on smaller file systems;
# with --rootdir it would instead grow a small image file past the partition.
BTRFS_MIXED_BELOW = 1 << 30

# Debian's merged /usr: the top-level folders are links into /usr.
MERGED_USR_LINKS = {"bin": "usr/bin", "sbin": "usr/sbin",
                    "lib": "usr/lib", "lib64": "usr/lib64"}


class ImageError(RuntimeError):
    pass


def write_disk_image(path: pathlib.Path, size: int, tag: str, sizes_mib) -> list:
    """A sparse raw image of `size` bytes with the tag and, when `sizes_mib`
    is not empty, an MBR that lays out partitions of those sizes from 1 MiB
    on. Returns each partition's (offset, length) in bytes."""
    if size % SECTOR or size < FIRST_PARTITION:
        raise ImageError(f"disk size {size} is not a whole number of sectors of at least 1 MiB")
    if len(sizes_mib) > 4:
        raise ImageError("at most four (primary) partitions")
    with open(path, "wb") as image:
        image.truncate(size)
        image.seek(TAG_OFFSET)
        image.write(TAG_PREFIX + tag.encode() + b"\n")
    entries, start = [], FIRST_PARTITION
    for size_mib in sizes_mib:
        length = size_mib * MIB
        if start + length > size:
            raise ImageError(f"partitions do not fit into {size} bytes")
        entries.append((start, length))
        start += length
    if entries:
        _write_mbr(path, entries)
    return entries


def _write_mbr(path: pathlib.Path, entries):
    table = b""
    for offset, length in entries:
        # Status, CHS first (unused), type 83h (Linux), CHS last, LBA, sectors.
        table += struct.pack("<B3sB3sII", 0, b"\xfe\xff\xff", 0x83, b"\xfe\xff\xff",
                             offset // SECTOR, length // SECTOR)
    table = table.ljust(64, b"\0")
    with open(path, "r+b") as image:
        image.seek(440)
        image.write(struct.pack("<I", 0x51465600) + b"\0\0" + table + b"\x55\xaa")


def format_ext4(path: pathlib.Path, offset: int, length: int, tree=None):
    """An ext4 file system in the image's bytes [offset, offset + length),
    filled with the contents of folder `tree` when given."""
    command = ["mke2fs", "-q", "-F", "-t", "ext4", "-E", f"offset={offset}"]
    if tree is not None:
        command += ["-d", str(tree)]
    command += [str(path), f"{length // 1024}k"]
    _run(command)


def format_btrfs(extents, tree=None):
    """One btrfs file system over the image extents [(path, offset, length)]
    (several make a multi-device file system), filled with the contents of
    folder `tree` when given (single device only)."""
    if tree is not None and len(extents) > 1:
        raise ImageError("mkfs.btrfs fills only a single-device file system")
    with tempfile.TemporaryDirectory(dir=extents[0][0].parent) as work:
        parts = []
        for index, (_, _, length) in enumerate(extents):
            part = pathlib.Path(work) / f"part{index}"
            with open(part, "wb") as file:
                file.truncate(length)
            parts.append(part)
        command = ["mkfs.btrfs", "-q"]
        if sum(length for _, _, length in extents) < BTRFS_MIXED_BELOW:
            command.append("--mixed")
        if tree is not None:
            command += ["--rootdir", str(tree)]
        _run(command + [str(part) for part in parts])
        for part, (path, offset, length) in zip(parts, extents):
            if part.stat().st_size != length:
                raise ImageError(f"mkfs.btrfs resized {part} to {part.stat().st_size} bytes")
            _copy_into(part, path, offset)


def _copy_into(source: pathlib.Path, image: pathlib.Path, offset: int):
    """Copies a file into the image at offset, leaving zero blocks sparse."""
    block = MIB
    with open(source, "rb") as data, open(image, "r+b") as target:
        position = offset
        while chunk := data.read(block):
            if chunk.count(0) != len(chunk):
                target.seek(position)
                target.write(chunk)
            position += len(chunk)


def _run(command):
    try:
        result = subprocess.run(command, capture_output=True, text=True)
    except FileNotFoundError:
        raise ImageError(f"{command[0]} is missing on the host (scripts/setup-deps.sh test)")
    if result.returncode != 0:
        raise ImageError(f"{' '.join(command)} failed: {result.stderr.strip()}")


def build_root_tree(root: pathlib.Path, busybox: str, programs, files):
    """The guest's root file system: busybox with its applets, the programs
    ({guest path: host path}) with the libraries ldd lists at their host
    paths, and the extra files ({guest path: host path or bytes})."""
    for folder in ("usr/bin", "usr/sbin", "usr/lib", "usr/lib64", "usr/local/bin",
                   "proc", "sys", "dev", "run", "tmp", "mnt", "root", "etc", "qf"):
        (root / folder).mkdir(parents=True, exist_ok=True)
    for name, target in MERGED_USR_LINKS.items():
        (root / name).symlink_to(target)
    shutil.copy(busybox, root / "usr/bin/busybox")
    applets = subprocess.run([busybox, "--list"], capture_output=True, text=True,
                             check=True).stdout.split()
    for applet in applets:
        link = root / "usr/bin" / applet
        if applet != "busybox" and not link.exists():
            link.symlink_to("busybox")
    for guest_path, program in programs.items():
        if not os.path.exists(program):
            raise ImageError(f"{program} is missing on the host (scripts/setup-deps.sh test)")
        place(root, guest_path, _without_debug_info(pathlib.Path(program)), 0o755)
        for library in shared_libraries(pathlib.Path(program)):
            place(root, library, pathlib.Path(library).read_bytes(), 0o755)
    for guest_path, content in files.items():
        if not isinstance(content, bytes):
            content = pathlib.Path(content).read_bytes()
        place(root, guest_path, content)


def _without_debug_info(program: pathlib.Path) -> bytes:
    """The program without its debugging sections (its symbols stay), so that
    the guest's image stays small; as it is when objcopy cannot read it."""
    with tempfile.TemporaryDirectory() as work:
        stripped = pathlib.Path(work) / program.name
        result = subprocess.run(["objcopy", "--strip-debug", str(program), str(stripped)], capture_output=True)
        return stripped.read_bytes() if result.returncode == 0 else program.read_bytes()


def place(root: pathlib.Path, guest_path: str, content: bytes, mode=0o644):
    target = root / guest_path.lstrip("/")
    target.parent.mkdir(parents=True, exist_ok=True)
    if target.is_symlink():
        # A busybox applet's link: the file replaces the link, not busybox.
        target.unlink()
    target.write_bytes(content)
    os.chmod(target, mode)


def shared_libraries(program: pathlib.Path) -> list:
    """Absolute paths of the libraries `ldd` lists for a program, including
    the dynamic loader; none for a static program."""
    result = subprocess.run(["ldd", str(program)], capture_output=True, text=True)
    if result.returncode != 0:
        if "not a dynamic executable" in result.stdout + result.stderr:
            return []
        raise ImageError(f"ldd {program} failed: {result.stderr.strip()}")
    libraries = []
    for line in result.stdout.splitlines():
        if "not found" in line:
            raise ImageError(f"{program}: library not found: {line.strip()}")
        match = re.search(r"(/\S+) \(0x", line)
        if match:
            libraries.append(match.group(1))
    return libraries


def write_initramfs(path: pathlib.Path, init_script: bytes, busybox: str, modules):
    """An uncompressed newc cpio archive: /init, busybox, the module files
    and their loading order, and the console node the kernel opens for init."""
    archive = _Cpio()
    for folder in ("bin", "dev", "modules", "proc", "sys", "tmp", "newroot"):
        archive.add(folder, stat.S_IFDIR | 0o755)
    archive.add("dev/console", stat.S_IFCHR | 0o600, rdev=(5, 1))
    archive.add("init", stat.S_IFREG | 0o755, init_script)
    archive.add("bin/busybox", stat.S_IFREG | 0o755, pathlib.Path(busybox).read_bytes())
    for module in modules:
        archive.add(f"modules/{module.name}", stat.S_IFREG | 0o644, module.read_bytes())
    archive.add("modules/order", stat.S_IFREG | 0o644,
                "".join(f"{m.name}\n" for m in modules).encode())
    path.write_bytes(archive.finish())


class _Cpio:
    """The "newc" cpio format that the kernel unpacks as initramfs."""

    def __init__(self):
        self.parts = []
        self.inode = 1

    def add(self, name: str, mode: int, data: bytes = b"", rdev=(0, 0)):
        encoded = name.encode() + b"\0"
        fields = (self.inode, mode, 0, 0, 1, 0, len(data), 0, 0,
                  rdev[0], rdev[1], len(encoded), 0)
        self.inode += 1
        header = b"070701" + b"".join(b"%08x" % f for f in fields)
        self.parts += [header, encoded, _padding(len(header) + len(encoded)),
                       data, _padding(len(data))]

    def finish(self) -> bytes:
        self.add("TRAILER!!!", 0)
        return b"".join(self.parts)


def _padding(length: int) -> bytes:
    return b"\0" * (-length % 4)
