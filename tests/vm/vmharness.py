"""Boots a small Linux guest under QEMU (TCG) with emulated disks, runs shell
commands in it as root and hands back each command's output and exit status.

    from vmharness import Disk, Partition, run, system_disk, require_qemu


    require_qemu()                      # exit 77 (CTest skip) without QEMU
    result = run(
        disks=[system_disk(),
               Disk("data", 2 << 30, serial="S123", model="M",
                    partitions=[Partition(64, mount="/mnt/data")]),
               Disk("stick", 1 << 30, bus="usb")],
        commands=["quillfence-cli list --json", "stat -f /mnt/data"],
        programs=[cli_path, "/usr/sbin/smartctl"])
    result.results[0].stdout, result.results[0].status
    result.devices["data"]              # its kernel name, e.g. "sdb"
    drive_numbers(result.devices)["data"]   # its physical drive number
                                        # (nvme* names come before sd* ones)

One guest boot serves all commands of a call, in order. The guest's root
file system (ext4, or btrfs with system_disk(fs="btrfs")) lies on the system
disk's first partition, so "/" is a real block device in
/proc/self/mountinfo. Programs land in /usr/local/bin with the libraries
`ldd` lists; busybox supplies the usual commands. Kernel names of disks vary
from boot to boot (SCSI disks are probed in parallel), so commands name a
disk through `qf-dev NAME`, which prints its device node, or `qf-dev NAME N`
for its partition N (right for NVMe names too):

    "smartctl -i $(qf-dev data)", "mount -t ext4 $(qf-dev data 2) /mnt/x"

What a guest can have (see the fields of Disk and Partition, and run()):

- Buses: Disk(bus=...) "sata" (AHCI), "ide" (the PC's PIIX controller),
  "usb" (usb-storage on xHCI), "scsi" (scsi-hd on virtio-scsi), "nvme" (one
  controller per disk; QEMU fixes its model and firmware texts).
- File systems: Partition(fs="ext4" | "btrfs" | None, mount=...); btrfs
  subvolumes made at boot and mounted at points of their own
  (Partition(subvolumes={"@home": "/mnt/home"})); one btrfs file system over
  partitions of several disks (Partition(pool="tank") on each); bind mounts
  (run(binds={"/mnt/b": "/mnt/data/dir"})).
- Write protection: Disk(readonly=True), a write-protected drive (usb,
  scsi: QEMU's ATA disks take no read-only drive), or
  Disk(kernel_readonly=True), any disk set read-only in the guest's kernel
  (`blockdev --setro`); either way /sys/block/X/ro reads 1 and the disk's
  partitions are mounted read-only.
- udevd: run(udevd=True) starts systemd-udevd with the storage rules, adds
  the storage devices (`udevadm trigger --action=add`, UDEV_SUBSYSTEMS) and
  settles before the commands: disk nodes are root:disk 0660, /dev/disk/by-id
  exists, and udevd watches the disk nodes, so closing one opened for
  writing makes a "change" event (and, on a disk with partitions, a
  re-read of its partition table: its partitions are removed and added).
  A command can watch `udevadm monitor --kernel --udev`. Without udevd /dev
  is the kernel's devtmpfs alone (disk nodes root:root 0600).
- Unprivileged users, "qfuser" (uid 1000, gid 1000, home /home/qfuser) and
  "qfother" (uid 1001); group "disk" is gid 6 without members. `qf-user
  COMMAND [ARGS]` runs a command as qfuser.
- Real polkit: run(polkit_rules=JS) starts the system bus and polkitd (the
  host's) with that rules file, and installs Debian's pkexec set-user-ID
  root; programs the test installs at their real paths come as
  run(installed={guest path: host path}).
- Other tools come as programs with their libraries, e.g.
  programs=["/usr/bin/strace"] for `strace -f -e trace=openat,open ...` and
  `strace -e inject=ioctl:delay_exit=...`.
- A disk leaves the running guest through sysfs: `echo 1 >
  /sys/block/sdX/device/delete` for SCSI-type disks (SATA, IDE, USB, scsi),
  `echo 1 > /sys/block/nvme0n1/device/device/remove` for an NVMe controller.
"""

import base64
import dataclasses
import os
import pathlib
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
from typing import Optional

import vmimages
import vmkernel

QEMU = "qemu-system-x86_64"
BUSYBOX = "/bin/busybox"
GUEST = pathlib.Path(__file__).resolve().parent / "guest"
AHCI_PORTS = 6
IDE_UNITS = 4          # two PIIX channels, master and slave each
MEMORY_MIB = 512
SKIP = 77

BUSES = ("sata", "ide", "usb", "scsi", "nvme")
IDENTITY_BUSES = ("sata", "ide", "scsi")      # where model and firmware can be given
# QEMU's ATA disks refuse read-only drives; its NVMe disk takes one but
# only fails the writes, the kernel seeing a writable disk.
READONLY_BUSES = ("usb", "scsi")
FILE_SYSTEMS = ("ext4", "btrfs")

# systemd-udevd from the host's udev package, for run(udevd=True): the
# programs {guest path: host path}, the rules for disks and the helpers they
# call. The daemon is udevadm under another name.
UDEV_PROGRAMS = {
    "/usr/lib/systemd/systemd-udevd": "/usr/bin/udevadm",
    "/usr/bin/udevadm": "/usr/bin/udevadm",
    "/usr/lib/udev/ata_id": "/usr/lib/udev/ata_id",
    "/usr/lib/udev/scsi_id": "/usr/lib/udev/scsi_id",
}
UDEV_RULES = pathlib.Path("/usr/lib/udev/rules.d")
UDEV_RULE_FILES = ("50-udev-default.rules", "60-block.rules", "60-persistent-storage.rules",
                   "64-btrfs.rules")
# Only the storage devices are added: all 270 or so take two seconds more
# under TCG ("udevadm trigger --action=add && udevadm settle" in a command
# adds the rest).
UDEV_SUBSYSTEMS = ("block", "scsi", "scsi_generic", "bsg", "nvme")
UDEV_START = ("mount -t tmpfs -o mode=0755,nosuid,nodev tmpfs /run && "
              "/usr/lib/systemd/systemd-udevd --daemon </dev/null >/dev/null 2>&1 && "
              "udevadm trigger --action=add" +
              "".join(f" --subsystem-match={name}" for name in UDEV_SUBSYSTEMS) +
              " && udevadm settle --timeout=120")
BTRFS = "/usr/bin/btrfs"

# The guest's accounts; /home/qfuser and /home/qfother are the users' own.
# messagebus and polkitd are the system bus's and polkit's.
ACCOUNTS = {
    "/etc/passwd": b"root:x:0:0:root:/root:/bin/sh\n"
                   b"messagebus:x:100:100::/nonexistent:/usr/sbin/nologin\n"
                   b"polkitd:x:101:101:polkit:/nonexistent:/usr/sbin/nologin\n"
                   b"qfuser:x:1000:1000:Quillfence test user:/home/qfuser:/bin/sh\n"
                   b"qfother:x:1001:1001:Quillfence second user:/home/qfother:/bin/sh\n",
    "/etc/group": b"root:x:0:\ndisk:x:6:\nmessagebus:x:100:\npolkitd:x:101:\nqfuser:x:1000:\n"
                  b"qfother:x:1001:\n",
    "/etc/shells": b"/bin/sh\n/usr/bin/sh\n",
}

# Real polkit, for run(polkit_rules=...): the system bus and polkitd from the
# host's packages, Debian's pkexec set-user-ID root, and PAM letting pkexec
# open its session (what is authorised is polkit's to decide, through the
# rules given). {guest path: host path}.
POLKIT_PROGRAMS = {
    "/usr/bin/dbus-daemon": "/usr/bin/dbus-daemon",
    "/usr/bin/dbus-send": "/usr/bin/dbus-send",
    "/usr/bin/dbus-uuidgen": "/usr/bin/dbus-uuidgen",
    "/usr/lib/polkit-1/polkitd": "/usr/lib/polkit-1/polkitd",
    "/usr/bin/pkexec": "/usr/bin/pkexec",
    "/usr/lib/x86_64-linux-gnu/security/pam_permit.so": "/usr/lib/x86_64-linux-gnu/security/pam_permit.so",
}
POLKIT_FILES = {
    "/usr/share/dbus-1/system.conf": "/usr/share/dbus-1/system.conf",
    "/usr/share/dbus-1/system.d/org.freedesktop.PolicyKit1.conf":
        "/usr/share/dbus-1/system.d/org.freedesktop.PolicyKit1.conf",
    "/usr/share/polkit-1/actions/org.freedesktop.policykit.policy":
        "/usr/share/polkit-1/actions/org.freedesktop.policykit.policy",
    "/etc/pam.d/polkit-1": b"auth required pam_permit.so\naccount required pam_permit.so\n"
                           b"password required pam_permit.so\nsession required pam_permit.so\n",
}
POLKIT_RULES = "/etc/polkit-1/rules.d/50-quillfence-test.rules"
# The bus, then polkitd, which is ready once it owns its name on the bus.
POLKIT_START = ("mount -t tmpfs -o mode=0755,nosuid,nodev tmpfs /run && mkdir -p /run/dbus /var/lib/dbus && "
                "ln -sfn /run /var/run && "
                "dbus-uuidgen --ensure && dbus-daemon --system --fork && "
                "chmod 4755 /usr/bin/pkexec && "
                "(/usr/lib/polkit-1/polkitd --no-debug </dev/null >/tmp/polkitd.log 2>&1 &) && "
                "for i in $(seq 600); do dbus-send --system --print-reply --dest=org.freedesktop.DBus / "
                "org.freedesktop.DBus.GetNameOwner string:org.freedesktop.PolicyKit1 >/dev/null 2>&1 && exit 0; "
                "sleep 0.1; done; cat /tmp/polkitd.log >&2; exit 1")


@dataclasses.dataclass
class Partition:
    size_mib: int
    # "ext4", "btrfs" or None, which leaves the partition unformatted.
    fs: Optional[str] = "ext4"
    # Where the guest mounts it ("/mnt/data"); None leaves it unmounted.
    mount: Optional[str] = None
    # btrfs: subvolumes the guest creates at boot in the mounted file system,
    # name -> the point it also mounts the subvolume at, or None. A nested
    # name ("a/b") follows its parent.
    subvolumes: dict = dataclasses.field(default_factory=dict)
    # btrfs: partitions with the same pool name, on any disks, make one
    # file system (mkfs.btrfs over all of them); the first in disk order
    # carries its mount point and subvolumes, the others have none.
    pool: Optional[str] = None


@dataclasses.dataclass
class Disk:
    # Letters, digits, "-" and "_"; the key of RunResult.devices.
    name: str
    size: int                       # bytes, a multiple of 512, at least 1 MiB
    # "sata" (AHCI port, in list order), "ide" (PIIX, at most 4), "usb",
    # "scsi" (virtio-scsi) or "nvme".
    bus: str = "sata"
    serial: Optional[str] = None    # default "QF-<name>"
    # sata, ide: the ATA model and firmware revision; scsi: the product and
    # revision texts (16 and 4 characters). QEMU's defaults otherwise.
    model: Optional[str] = None
    firmware: Optional[str] = None
    partitions: list = dataclasses.field(default_factory=list)
    # The emulated drive is write-protected (QEMU's readonly=on); usb, scsi.
    # Its node does not open for writing (EROFS).
    readonly: bool = False
    # The guest's kernel holds the disk read-only (blockdev --setro) before
    # the commands; any bus. Its node opens for writing, but writes fail
    # (EPERM); the drive itself would take them, through SG_IO too.
    kernel_readonly: bool = False
    # The system disk carries the guest's root file system in partition 1.
    system: bool = False


# Room for the programs of a sanitized build (tens of MB each) besides the
# tools and libraries.
def system_disk(size_mib: int = 384, bus: str = "sata", fs: str = "ext4", **options) -> Disk:
    return Disk("system", size_mib << 20, bus=bus, system=True,
                partitions=[Partition(size_mib - 1, fs=fs)], **options)


@dataclasses.dataclass
class CommandResult:
    command: str
    status: int
    stdout: str
    stderr: str


@dataclasses.dataclass
class RunResult:
    results: list      # CommandResult per command, in order
    devices: dict      # disk name -> kernel name ("sda")
    console: str       # the guest's serial console
    boot_seconds: float    # QEMU start until the guest was ready for commands
    vm_seconds: float      # QEMU start until it ended
    seconds: float         # the whole call, image building included


class VmError(RuntimeError):
    def __init__(self, message: str, console: str = ""):
        super().__init__(message)
        self.console = console

    def __str__(self):
        text = super().__str__()
        if self.console:
            text += "\n--- guest console ---\n" + self.console.rstrip() + "\n---"
        return text


# Kernel name families of whole disks, as the program tells them apart.
NAME_FAMILIES = ("mmcblk", "nvme", "sd", "hd", "vd")


def natural_name_key(name: str):
    """The program's natural order of kernel names: by family ("nvme" before
    "sd"), then letter runs as numbers written in letters (sdz < sdaa) and
    digit runs as numbers (nvme0n2 < nvme0n10)."""
    family = next((f for f in NAME_FAMILIES if name.startswith(f)), "")
    runs = re.findall(r"\d+|[^\d]+", name[len(family):])
    return (family, [(int(run), "") if run.isdigit() else (len(run), run) for run in runs])


def drive_numbers(devices: dict) -> dict:
    """Disk name -> physical drive number: the position of its kernel name
    among all disks in natural order (nvme0n1, nvme1n1, sda ... sdz, sdaa)."""
    ordered = sorted(devices.values(), key=natural_name_key)
    return {disk: ordered.index(kernel_name) for disk, kernel_name in devices.items()}


def require_qemu():
    """End the test as skipped (exit 77) when QEMU is not installed."""
    if shutil.which(QEMU) is None:
        print(f"SKIP: {QEMU} is not installed")
        sys.exit(SKIP)


def run(disks, commands, programs=(), files=None, timeout: float = 180,
        binds=None, udevd: bool = False, installed=None, polkit_rules=None) -> RunResult:
    """Boot a guest with `disks` (exactly one of them the system disk), copy
    in `programs` (to /usr/local/bin), `installed` programs ({guest path:
    host path}, with their libraries) and `files` ({guest path: host path
    or bytes}), make the bind mounts `binds` ({mount point: source folder},
    both made when missing) after the partitions' mounts, start udevd when
    asked, start the system bus and polkitd with the rules `polkit_rules`
    (JavaScript text) when given, run each shell command of `commands` from
    "/" and power off."""
    started = time.monotonic()
    binds = binds or {}
    _check(disks, binds)
    kernel = vmkernel.get_kernel()
    work = pathlib.Path(tempfile.mkdtemp(prefix="quillfence-vm-"))
    try:
        qemu_command, steps = _prepare(work, kernel, disks, commands, programs, files or {},
                                       binds, udevd, installed or {}, polkit_rules)
        result = _boot(work, qemu_command, disks, commands, steps, timeout)
        result.seconds = time.monotonic() - started
        return result
    finally:
        if os.environ.get("QUILLFENCE_VM_KEEP"):
            print(f"vm work folder kept: {work}", file=sys.stderr)
        else:
            shutil.rmtree(work, ignore_errors=True)


def program_argument(usage: str) -> str:
    """The one program path a device test takes on its command line; the
    test is skipped without QEMU."""
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(usage)
    return sys.argv.pop()


def run_tests(holder):
    """Runs the calling module's tests and ends the process with their
    outcome; after a failure the console of `holder.guest` (a RunResult,
    when the guest got that far) follows the report."""
    outcome = unittest.main(module="__main__", exit=False, verbosity=2).result
    guest = getattr(holder, "guest", None)
    if not outcome.wasSuccessful() and guest is not None:
        print("--- guest console ---\n" + guest.console, file=sys.stderr)
    sys.exit(0 if outcome.wasSuccessful() else 1)


def _check(disks, binds):
    names = [d.name for d in disks]
    if len(set(names)) != len(names):
        raise ValueError(f"disk names must be unique: {names}")
    for disk in disks:
        _check_disk(disk)
    systems = [d for d in disks if d.system]
    if len(systems) != 1:
        raise ValueError("exactly one disk must be the system disk")
    system = systems[0]
    root = system.partitions[:1]
    if (not root or root[0].fs not in FILE_SYSTEMS or root[0].mount or root[0].pool
            or root[0].subvolumes):
        raise ValueError("the system disk's first partition must be ext4 or btrfs, "
                         "not mounted, pooled or with subvolumes")
    if system.readonly or system.kernel_readonly:
        raise ValueError("the system disk must be writable")
    for bus, most in (("sata", AHCI_PORTS), ("ide", IDE_UNITS)):
        if sum(d.bus == bus for d in disks) > most:
            raise ValueError(f"at most {most} {bus} disks")
    for pool, members in _pools(disks).items():
        if len(members) < 2:
            raise ValueError(f"pool {pool} has a single partition")
        if any(part.mount or part.subvolumes for _, _, part in members[1:]):
            raise ValueError(f"pool {pool}: only its first partition has a mount point "
                             "and subvolumes")
    for point, source in binds.items():
        if not (point.startswith("/") and source.startswith("/")):
            raise ValueError(f"bind mount {source} -> {point}: absolute paths only")


def _check_disk(disk):
    if not re.fullmatch(r"[A-Za-z0-9_-]+", disk.name):
        raise ValueError(f"bad disk name {disk.name!r}")
    if disk.bus not in BUSES:
        raise ValueError(f"disk {disk.name}: bus must be one of {BUSES}")
    if disk.bus not in IDENTITY_BUSES and (disk.model or disk.firmware):
        raise ValueError(f"disk {disk.name}: model and firmware only on {IDENTITY_BUSES}")
    if disk.readonly and disk.bus not in READONLY_BUSES:
        raise ValueError(f"disk {disk.name}: a read-only drive only on {READONLY_BUSES}; "
                         "kernel_readonly protects any disk")
    for number, part in enumerate(disk.partitions, 1):
        where = f"disk {disk.name} partition {number}"
        if part.fs not in FILE_SYSTEMS + (None,):
            raise ValueError(f"{where}: fs must be one of {FILE_SYSTEMS} or None")
        if part.mount and not part.fs:
            raise ValueError(f"{where}: an unformatted partition is not mounted")
        if (part.subvolumes or part.pool) and part.fs != "btrfs":
            raise ValueError(f"{where}: subvolumes and pools are btrfs's")
        if part.subvolumes and not part.mount:
            raise ValueError(f"{where}: subvolumes are made in the mounted file system")
        if part.subvolumes and (disk.readonly or disk.kernel_readonly):
            raise ValueError(f"{where}: subvolumes need a writable disk")
        for name in part.subvolumes:
            if not re.fullmatch(r"[A-Za-z0-9@._-]+(/[A-Za-z0-9@._-]+)*", name):
                raise ValueError(f"{where}: bad subvolume name {name!r}")


def _pools(disks) -> dict:
    """Pool name -> its partitions as (disk, number, partition), in disk order."""
    pools = {}
    for disk in disks:
        for number, part in enumerate(disk.partitions, 1):
            if part.pool:
                pools.setdefault(part.pool, []).append((disk, number, part))
    return pools


def _prepare(work, kernel, disks, commands, programs, files, binds, udevd, installed, polkit_rules):
    """Builds the root tree, disk images and initramfs; returns the QEMU
    command and the guest's setup steps."""
    if vmimages.shared_libraries(pathlib.Path(BUSYBOX)):
        raise VmError(f"{BUSYBOX} must be statically linked (busybox-static)")
    steps = _setup_steps(disks, binds, udevd)
    guest_programs = {f"/usr/local/bin/{pathlib.Path(p).name}": p for p in programs}
    guest_programs.update(installed)
    guest_files = dict(ACCOUNTS)
    if polkit_rules is not None:
        guest_programs.update(POLKIT_PROGRAMS)
        guest_files.update(POLKIT_FILES)
        guest_files[POLKIT_RULES] = polkit_rules.encode()
        steps.append(POLKIT_START)
    if any(part.subvolumes for disk in disks for part in disk.partitions):
        guest_programs.setdefault(BTRFS, BTRFS)
    if udevd:
        guest_programs.update(UDEV_PROGRAMS)
        guest_files.update({f"{UDEV_RULES}/{name}": UDEV_RULES / name
                            for name in UDEV_RULE_FILES})
    guest_files.update(files)

    tree = work / "root"
    vmimages.build_root_tree(tree, BUSYBOX, guest_programs, guest_files)
    (tree / "home/qfuser").mkdir(parents=True)
    (tree / "home/qfother").mkdir(parents=True)
    vmimages.place(tree, "/qf/system-init.sh", (GUEST / "system-init.sh").read_bytes(), 0o755)
    vmimages.place(tree, "/usr/bin/qf-dev", (GUEST / "qf-dev.sh").read_bytes(), 0o755)
    vmimages.place(tree, "/usr/bin/qf-user", (GUEST / "qf-user.sh").read_bytes(), 0o755)
    for index, step in enumerate(steps):
        vmimages.place(tree, f"/qf/setup/{index:03d}", step.encode() + b"\n")
    for index, command in enumerate(commands):
        vmimages.place(tree, f"/qf/commands/{index:03d}", command.encode() + b"\n")

    extents = {}     # (disk name, partition number) -> (image, offset, length)
    for index, disk in enumerate(disks):
        image = work / f"disk{index}.img"
        layout = vmimages.write_disk_image(image, disk.size, disk.name,
                                           [part.size_mib for part in disk.partitions])
        for number, (offset, length) in enumerate(layout, 1):
            extents[disk.name, number] = (image, offset, length)
    _format(disks, extents, tree)

    file_systems = {part.fs for disk in disks for part in disk.partitions if part.fs}
    modules = kernel.modules({disk.bus for disk in disks} | file_systems)
    vmimages.write_initramfs(work / "initramfs.cpio",
                             (GUEST / "initramfs-init.sh").read_bytes(), BUSYBOX, modules)
    return _qemu_command(work, kernel, disks), steps


def _format(disks, extents, tree):
    """Makes each partition's file system; the root tree fills the system
    disk's first partition."""
    for disk in disks:
        for number, part in enumerate(disk.partitions, 1):
            contents = tree if disk.system and number == 1 else None
            if part.fs == "ext4":
                vmimages.format_ext4(*extents[disk.name, number], contents)
            elif part.fs == "btrfs" and not part.pool:
                vmimages.format_btrfs([extents[disk.name, number]], contents)
    for members in _pools(disks).values():
        vmimages.format_btrfs([extents[disk.name, number] for disk, number, _ in members])


def _setup_steps(disks, binds, udevd) -> list:
    """Shell commands the guest runs in order before the commands: write
    protection, mounts, subvolumes, bind mounts, udevd."""
    steps = [f"blockdev --setro $(qf-dev {d.name})" for d in disks if d.kernel_readonly]
    pools = _pools(disks)
    for disk in disks:
        for number, part in enumerate(disk.partitions, 1):
            if not part.mount:
                continue
            options, node = [], f"$(qf-dev {disk.name} {number})"
            if disk.readonly or disk.kernel_readonly:
                options.append("ro")
            if part.pool:
                options += [f"device=$(qf-dev {member.name} {n})"
                            for member, n, _ in pools[part.pool]]
            steps.append(_mount_step(part.fs, options, node, part.mount))
            for name in part.subvolumes:
                steps.append(f"btrfs subvolume create {shlex.quote(part.mount + '/' + name)}")
            for name, point in part.subvolumes.items():
                if point:
                    steps.append(_mount_step("btrfs", options + [f"subvol={name}"], node, point))
    for point, source in binds.items():
        steps.append(f"mkdir -p {shlex.quote(source)} {shlex.quote(point)} && "
                     f"mount --bind {shlex.quote(source)} {shlex.quote(point)}")
    if udevd:
        steps.append(UDEV_START)
    return steps


def _mount_step(fs, options, node, point) -> str:
    option_text = f" -o {','.join(options)}" if options else ""
    return (f"mkdir -p {shlex.quote(point)} && "
            f"mount -t {fs}{option_text} {node} {shlex.quote(point)}")


def _qemu_command(work, kernel, disks) -> list:
    system = next(d for d in disks if d.system)
    command = [QEMU, "-accel", "tcg", "-M", "pc", "-m", str(MEMORY_MIB), "-smp", "1",
               "-nodefaults", "-no-user-config", "-display", "none", "-no-reboot",
               "-kernel", str(kernel.image), "-initrd", str(work / "initramfs.cpio"),
               "-append", f"console=ttyS0 panic=-1 usb_storage.delay_use=0 qf_disks={len(disks)} "
                          f"qf_root={system.name} qf_rootfs={system.partitions[0].fs}",
               "-serial", f"file:{work / 'console.log'}",
               "-serial", f"file:{work / 'host.log'}"]
    buses = {disk.bus for disk in disks}
    for bus, controller in (("sata", "ahci,id=ahci"), ("usb", "qemu-xhci,id=xhci"),
                            ("scsi", "virtio-scsi-pci,id=scsi")):
        if bus in buses:
            command += ["-device", controller]
    units = {bus: 0 for bus in BUSES}
    for index, disk in enumerate(disks):
        drive = f"file={work / f'disk{index}.img'},format=raw,if=none,id=d{index},cache=unsafe"
        if disk.readonly:
            drive += ",readonly=on"
        command += ["-drive", drive]
        unit, units[disk.bus] = units[disk.bus], units[disk.bus] + 1
        properties = {"drive": f"d{index}", "serial": disk.serial or f"QF-{disk.name}"}
        if disk.bus == "sata":
            device = "ide-hd"
            properties.update(bus=f"ahci.{unit}", model=disk.model, ver=disk.firmware)
        elif disk.bus == "ide":
            device = "ide-hd"
            properties.update(bus=f"ide.{unit // 2}", unit=str(unit % 2), model=disk.model,
                              ver=disk.firmware)
        elif disk.bus == "usb":
            device = "usb-storage"
            properties.update(bus="xhci.0")
        elif disk.bus == "scsi":
            device = "scsi-hd"
            properties.update(bus="scsi.0", product=disk.model, ver=disk.firmware)
        else:
            device = "nvme"
        command += ["-device", ",".join(
            [device] + [f"{key}={_escape(value)}" for key, value in properties.items()
                        if value is not None])]
    return command


def _escape(value: str) -> str:
    return value.replace(",", ",,")


def _boot(work, command, disks, commands, steps, timeout) -> RunResult:
    host_log, console_log, qemu_log = work / "host.log", work / "console.log", work / "qemu.log"
    started = time.monotonic()
    ready_at = None
    with open(qemu_log, "wb") as qemu_output:
        qemu = subprocess.Popen(command, stdin=subprocess.DEVNULL,
                                stdout=qemu_output, stderr=subprocess.STDOUT)
    try:
        while qemu.poll() is None:
            if ready_at is None and host_log.exists() and b"QF-READY" in host_log.read_bytes():
                ready_at = time.monotonic()
            if time.monotonic() - started > timeout:
                raise VmError(f"the guest did not finish within {timeout:.0f} s",
                              _read(console_log))
            time.sleep(0.05)
    finally:
        if qemu.poll() is None:
            qemu.kill()
            qemu.wait()
    ended = time.monotonic()
    console = _read(console_log)
    if qemu.returncode != 0:
        raise VmError(f"QEMU failed ({qemu.returncode}): {_read(qemu_log).strip()}", console)

    result = _parse(_read(host_log), commands, steps, console)
    result.console = console
    result.boot_seconds = (ready_at or ended) - started
    result.vm_seconds = ended - started
    missing = [d.name for d in disks if d.name not in result.devices]
    if missing:
        raise VmError(f"disks not seen by the guest: {missing}", console)
    return result


def _read(path: pathlib.Path) -> str:
    return path.read_text(errors="replace") if path.exists() else ""


def _parse(text: str, commands, steps, console: str) -> RunResult:
    devices, results = {}, []
    out, err, done = [], [], False
    for line in text.replace("\r", "").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "QF-DISK":
            name, device = rest.split()
            devices[name] = device
        elif kind == "QF-SETUP-FAILED":
            index, _, error = rest.partition(" ")
            raise VmError(f"the guest's setup step '{steps[int(index)]}' failed: "
                          f"{base64.b64decode(error).decode(errors='replace').strip()}", console)
        elif kind == "QF-BEGIN":
            out, err = [], []
        elif kind == "QF-O":
            out.append(rest)
        elif kind == "QF-E":
            err.append(rest)
        elif kind == "QF-END":
            index, status = (int(x) for x in rest.split())
            decode = lambda lines: base64.b64decode("".join(lines)).decode(errors="replace")
            results.append(CommandResult(commands[index], status, decode(out), decode(err)))
        elif kind == "QF-DONE":
            done = True
    if not done:
        raise VmError(f"the guest stopped after {len(results)} of {len(commands)} commands",
                      console)
    return RunResult(results, devices, console, 0.0, 0.0, 0.0)
