"""Boots a small Linux guest under QEMU (TCG) with emulated SATA and USB
disks, runs shell commands in it as root and hands back each command's
output and exit status.

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

One guest boot serves all commands of a call, in order. The guest's root
file system lies on the system disk's first partition, so "/" is a real
block device in /proc/self/mountinfo. Programs land in /usr/local/bin with
the libraries `ldd` lists; busybox supplies the usual commands. Kernel names
of disks vary from boot to boot (SCSI disks are probed in parallel), so
commands name a disk through `qf-dev NAME`, which prints its device node:

    "smartctl -i $(qf-dev data)", "mount -t ext4 $(qf-dev data)2 /mnt/x"
"""

import base64
import dataclasses
import os
import pathlib
import re
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
MEMORY_MIB = 512
SKIP = 77


@dataclasses.dataclass
class Partition:
    size_mib: int
    ext4: bool = True
    # Where the guest mounts it ("/mnt/data"); None leaves it unmounted.
    mount: Optional[str] = None


@dataclasses.dataclass
class Disk:
    # Letters, digits, "-" and "_"; the key of RunResult.devices.
    name: str
    size: int                       # bytes, a multiple of 512, at least 1 MiB
    bus: str = "sata"               # "sata" (AHCI port, in list order) or "usb"
    serial: Optional[str] = None    # default "QF-<name>"
    model: Optional[str] = None     # SATA only; QEMU's default otherwise
    firmware: Optional[str] = None  # SATA only; QEMU's default otherwise
    partitions: list = dataclasses.field(default_factory=list)
    # The system disk carries the guest's root file system in partition 1.
    system: bool = False


def system_disk(size_mib: int = 128, bus: str = "sata", **options) -> Disk:
    return Disk("system", size_mib << 20, bus=bus, system=True,
                partitions=[Partition(size_mib - 1)], **options)


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


def drive_numbers(devices: dict) -> dict:
    """Disk name -> physical drive number: the position of its kernel name
    among all disks in natural order (sda ... sdz, sdaa)."""
    ordered = sorted(devices.values(), key=lambda name: (len(name), name))
    return {disk: ordered.index(kernel_name) for disk, kernel_name in devices.items()}


def require_qemu():
    """End the test as skipped (exit 77) when QEMU is not installed."""
    if shutil.which(QEMU) is None:
        print(f"SKIP: {QEMU} is not installed")
        sys.exit(SKIP)


def run(disks, commands, programs=(), files=None, timeout: float = 180) -> RunResult:
    """Boot a guest with `disks` (exactly one of them the system disk), copy
    in `programs` and `files` ({guest path: host path or bytes}), run each
    shell command of `commands` from "/" and power off."""
    started = time.monotonic()
    _check(disks)
    kernel = vmkernel.get_kernel()
    work = pathlib.Path(tempfile.mkdtemp(prefix="quillfence-vm-"))
    try:
        qemu_command = _prepare(work, kernel, disks, commands, programs, files or {})
        result = _boot(work, qemu_command, disks, commands, timeout)
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


def _check(disks):
    names = [d.name for d in disks]
    if len(set(names)) != len(names):
        raise ValueError(f"disk names must be unique: {names}")
    for disk in disks:
        if not re.fullmatch(r"[A-Za-z0-9_-]+", disk.name):
            raise ValueError(f"bad disk name {disk.name!r}")
        if disk.bus not in ("sata", "usb"):
            raise ValueError(f"disk {disk.name}: bus must be 'sata' or 'usb'")
        if disk.bus == "usb" and (disk.model or disk.firmware):
            raise ValueError(f"disk {disk.name}: model and firmware are SATA-only")
        for part in disk.partitions:
            if part.mount and not part.ext4:
                raise ValueError(f"disk {disk.name}: only ext4 partitions are mounted")
    systems = [d for d in disks if d.system]
    if len(systems) != 1:
        raise ValueError("exactly one disk must be the system disk")
    root = systems[0].partitions[:1]
    if not root or not root[0].ext4 or root[0].mount:
        raise ValueError("the system disk's first partition must be ext4, not mounted")
    if sum(d.bus == "sata" for d in disks) > AHCI_PORTS:
        raise ValueError(f"at most {AHCI_PORTS} SATA disks")


def _prepare(work, kernel, disks, commands, programs, files) -> list:
    if vmimages.shared_libraries(pathlib.Path(BUSYBOX)):
        raise VmError(f"{BUSYBOX} must be statically linked (busybox-static)")
    tree = work / "root"
    vmimages.build_root_tree(tree, BUSYBOX, programs, files)
    vmimages.place(tree, "/qf/system-init.sh", (GUEST / "system-init.sh").read_bytes(), 0o755)
    vmimages.place(tree, "/usr/bin/qf-dev", (GUEST / "qf-dev.sh").read_bytes(), 0o755)
    vmimages.place(tree, "/qf/mounts", "".join(
        f"{disk.name} {number} {part.mount}\n"
        for disk in disks for number, part in enumerate(disk.partitions, 1)
        if part.mount).encode())
    for index, command in enumerate(commands):
        vmimages.place(tree, f"/qf/commands/{index:03d}", command.encode() + b"\n")
    vmimages.write_initramfs(work / "initramfs.cpio",
                             (GUEST / "initramfs-init.sh").read_bytes(),
                             BUSYBOX, kernel.modules)

    command = [QEMU, "-accel", "tcg", "-M", "pc", "-m", str(MEMORY_MIB), "-smp", "1",
               "-nodefaults", "-no-user-config", "-display", "none", "-no-reboot",
               "-kernel", str(kernel.image), "-initrd", str(work / "initramfs.cpio"),
               "-append", f"console=ttyS0 panic=-1 usb_storage.delay_use=0 qf_disks={len(disks)} "
                          f"qf_root={next(d.name for d in disks if d.system)}",
               "-serial", f"file:{work / 'console.log'}",
               "-serial", f"file:{work / 'host.log'}"]
    if any(d.bus == "sata" for d in disks):
        command += ["-device", "ahci,id=ahci"]
    if any(d.bus == "usb" for d in disks):
        command += ["-device", "qemu-xhci,id=xhci"]
    port = 0
    for index, disk in enumerate(disks):
        image = work / f"disk{index}.img"
        vmimages.write_disk_image(image, disk.size, disk.name, disk.partitions,
                                  lambda i: tree if disk.system and i == 0 else None)
        command += ["-drive", f"file={image},format=raw,if=none,id=d{index},cache=unsafe"]
        properties = {"drive": f"d{index}", "serial": disk.serial or f"QF-{disk.name}"}
        if disk.bus == "sata":
            properties.update(bus=f"ahci.{port}", model=disk.model, ver=disk.firmware)
            device, port = "ide-hd", port + 1
        else:
            properties.update(bus="xhci.0")
            device = "usb-storage"
        command += ["-device", ",".join(
            [device] + [f"{key}={_escape(value)}" for key, value in properties.items()
                        if value is not None])]
    return command


def _escape(value: str) -> str:
    return value.replace(",", ",,")


def _boot(work, command, disks, commands, timeout) -> RunResult:
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

    result = _parse(_read(host_log), commands, console)
    result.console = console
    result.boot_seconds = (ready_at or ended) - started
    result.vm_seconds = ended - started
    missing = [d.name for d in disks if d.name not in result.devices]
    if missing:
        raise VmError(f"disks not seen by the guest: {missing}", console)
    return result


def _read(path: pathlib.Path) -> str:
    return path.read_text(errors="replace") if path.exists() else ""


def _parse(text: str, commands, console: str) -> RunResult:
    devices, results, failures = {}, [], []
    out, err, done = [], [], False
    for line in text.replace("\r", "").splitlines():
        kind, _, rest = line.partition(" ")
        if kind == "QF-DISK":
            name, device = rest.split()
            devices[name] = device
        elif kind == "QF-MOUNT-FAILED":
            failures.append(rest)
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
    if failures:
        raise VmError(f"mounts failed in the guest (disk partition point): {failures}", console)
    if not done:
        raise VmError(f"the guest stopped after {len(results)} of {len(commands)} commands",
                      console)
    return RunResult(results, devices, console, 0.0, 0.0, 0.0)
