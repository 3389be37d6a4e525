"""A drive's writer's lock on a real kernel: the readers of other processes
keep out while it is held, and a disk that replaces a locked one receives
nothing.

One guest: the system disk, a maker's SATA disk and another SATA disk.
quillfence-vm-launch, installed set-user-ID root, stands in for pkexec for
the user's runs through the helper. The commands, each under strace:

1. While `flock` holds the maker's disk node (as a firmware update's writer
   does), `smart N` as root and as qfuser through the helper: nothing reaches
   the drive, and the drive is said to be busy; `list --json` as root reads
   the other disk and reports the maker's as busy.
2. quillfence-vm-lockprobe as root: the writer's lock of the maker's disk
   taken, the disk deleted and found again by a rescan (a new disk to the
   kernel: a new disk sequence number, perhaps a new name), the list read
   again, then a DOWNLOAD MICROCODE piece sent as a transfer sends it: not
   sent.
3. The same as qfuser through the helpers (the reading one and the firmware
   update's), on the other disk, while root replaces it.

Usage: test_writer_lock.py PATH-TO-BUILD-DIR
"""

import os
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, require_qemu, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
DISKS = [
    system_disk(),
    Disk("maker", 64 * MIB, serial="QY24LOCK0001", model="QYD-M7A0-128G", firmware="V0208a"),
    Disk("plain", 64 * MIB, serial="QFLOCK0002", model="QF PLAIN"),
]
BIN = "/usr/local/bin"
AS_USER = (f"qf-user env QUILLFENCE_HELPER_LAUNCHER={BIN}/quillfence-vm-launch "
           f"QUILLFENCE_HELPER={BIN}/quillfence-helper")


def number(disk: str) -> str:
    """Shell words that set $n to the disk's drive number as the program
    gives it at first look (natural name order of the disks there now)."""
    return (f"d=$(qf-dev {disk}) && d=${{d#/dev/}} && "
            "n=$(ls /sys/block | grep -E '^(sd|hd|vd)' | awk '{ print length($0), $0 }' | "
            "sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d { print NR - 1 }') && ")


def replace(disk: str) -> str:
    """A shell command, in single quotes, that deletes the disk and rescans
    its SCSI host, then waits until a disk is there again: the same emulated
    drive, a new disk to the kernel."""
    return (f"'d=$(qf-dev {disk}) && d=${{d#/dev/}} && h=$(readlink -f /sys/block/$d/device) && "
            "h=${h%%/target*} && h=${h##*/} && echo 1 >/sys/block/$d/device/delete && "
            "echo \"- - -\" >/sys/class/scsi_host/$h/scan && "
            "for i in $(seq 600); do ls /sys/class/scsi_host/$h/device/target*/*/block/* >/dev/null 2>&1 && exit 0; "
            "sleep 0.1; done; exit 1'")


def traced(name: str, command: str) -> str:
    return (f"strace -f -y -v -e trace=ioctl -o /tmp/{name}.trace {command}; echo \"exit $?\"; "
            f"echo '--- trace'; grep SG_IO /tmp/{name}.trace")


COMMANDS = [
    f"chown root:root {BIN}/quillfence-vm-launch && chmod 4755 {BIN}/quillfence-vm-launch",
    number("maker") + "flock $(qf-dev maker) " + traced("root-smart", "quillfence-cli smart $n"),
    number("maker") + "flock $(qf-dev maker) " + traced("user-smart", f"{AS_USER} quillfence-cli smart $n"),
    "flock $(qf-dev maker) " + traced("root-list", "quillfence-cli list --json"),
    number("maker") + traced("root-probe", f"quillfence-vm-lockprobe $n {replace('maker')}"),
    number("plain") + "mkfifo -m 666 /tmp/go /tmp/done || exit 1; "
    f"( read x </tmp/go; sh -c {replace('plain')}; echo replaced >/tmp/done ) & " +
    traced("user-probe", f"{AS_USER} quillfence-vm-lockprobe $n 'echo go >/tmp/go; read x </tmp/done'"),
]


def parts(output: str):
    """The program's output and the SG_IO lines of its trace."""
    said, _, trace = output.partition("--- trace\n")
    return said, trace.splitlines()


class WriterLockOnARealKernel(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        programs = [os.path.join(BUILD, path) for path in
                    ("cli/quillfence-cli", "helper/quillfence-helper", "tests/vm/quillfence-vm-launch",
                     "tests/vm/quillfence-vm-lockprobe")] + ["/usr/bin/strace", "/usr/bin/flock"]
        cls.guest = run(DISKS, COMMANDS, programs=programs, timeout=300)
        (cls.setup, cls.root_smart, cls.user_smart, cls.root_list, cls.root_probe,
         cls.user_probe) = cls.guest.results
        if cls.setup.status != 0:
            raise VmError(f"the launcher could not be set up: {cls.setup.stderr}", cls.guest.console)
        cls.maker_node = "/dev/" + cls.guest.devices["maker"]
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def test_smart_of_a_drive_being_written_sends_it_nothing_and_says_busy(self):
        maker = drive_numbers(self.guest.devices)["maker"]
        for reading in (self.root_smart, self.user_smart):
            said, sent = parts(reading.stdout)
            self.assertEqual(said, "exit 1\n", reading.stderr)
            self.assertIn(f"physical drive {maker} is busy: another program is updating its firmware; "
                          "nothing was sent to it", reading.stderr)
            self.assertEqual(sent, [], "no command of any kind reached a drive")

    def test_the_list_reads_the_other_drives_and_reports_the_written_one_busy(self):
        said, sent = parts(self.root_list.stdout)
        listing, _, status = said.rpartition("exit ")
        self.assertRegex(listing, r'"serialNumber":"","model":"","firmware":"","valid":0.*"busy":true')
        self.assertIn('"serialNumber":"QFLOCK0002"', listing)
        self.assertTrue(sent, "the other drive was read")
        self.assertFalse([line for line in sent if f"<{self.maker_node}>" in line], sent)

    def test_a_disk_replaced_under_the_lock_receives_nothing(self):
        for probe in (self.root_probe, self.user_probe):
            said, sent = parts(probe.stdout)
            lines = said.splitlines()
            self.assertEqual(len(lines), 4, probe.stdout + probe.stderr)
            self.assertRegex(lines[0], r"^locked QY24LOCK0001$|^locked QFLOCK0002$")
            serial = lines[0].split()[1]
            self.assertRegex(lines[1], rf"^listed again: .*:{serial}\b", "the disk is back under a drive number")
            self.assertEqual(lines[2:], ["download not sent", "exit 0"], probe.stderr)
            self.assertFalse([line for line in sent if "SG_DXFER_TO_DEV" in line], sent)


if __name__ == "__main__":
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    BUILD = sys.argv.pop()
    run_tests(WriterLockOnARealKernel)
