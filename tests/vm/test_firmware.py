"""`quillfence-cli update-firmware` on an emulated SATA disk, through the
real Linux backend.

One guest: the system disk and a SATA disk with a maker's model and an
updatable revision, and the image for its capacity beside the program
(/usr/local/bin/FwUpdata). QEMU's emulated drive aborts DOWNLOAD MICROCODE
(CHECK CONDITION, sense key ABORTED COMMAND, ATA error 04h), so the update
must stop after its first command with the command error, and the disk must
still answer IDENTIFY afterwards.

Usage: test_firmware.py PATH-TO-quillfence-cli
"""

import re
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, program_argument, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
MODEL, SERIAL, REVISION = "QYD-M7A0-256G", "QY24FW0001", "V0208a"
IMAGE_PATH = "/usr/local/bin//FwUpdata//DCBFCBGC.bin"
# 20 sectors, the last one partly used: 4 commands in 8-sector blocks.
IMAGE = bytes((i * 7 + 3) & 0xFF for i in range(20 * 512 - 77))

DISKS = [system_disk(),
         Disk("maker", 64 * MIB, serial=SERIAL, model=MODEL, firmware=REVISION)]

# The disk's drive number worked out in the guest: its kernel name's place
# among the physical disks in natural order (sda ... sdz, sdaa).
NUMBER = ("d=$(qf-dev maker) && d=${d#/dev/} && "
          "n=$(ls /sys/block | grep -E '^(sd|hd|vd)' | awk '{ print length($0), $0 }' | "
          "sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d { print NR - 1 }') && ")
COMMANDS = [
    NUMBER + "quillfence-cli update-firmware $n",
    NUMBER + "quillfence-cli update-firmware $n --yes",
    NUMBER + "quillfence-cli update-firmware $n",
    "smartctl -i $(qf-dev maker)",
]

IDENTITY = f'  model "{MODEL}"  serial "{SERIAL}"  firmware "{REVISION}"\n'


class FirmwareUpdateOnAnEmulatedDrive(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=[CLI, "/usr/sbin/smartctl"],
                        files={"/usr/local/bin/FwUpdata/DCBFCBGC.bin": IMAGE})
        cls.before, cls.update, cls.after, cls.smartctl = cls.guest.results
        cls.number = drive_numbers(cls.guest.devices)["maker"]
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran "
              f"{cls.guest.vm_seconds:.1f} s, whole run {cls.guest.seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)
        if not cls.before.stdout.startswith(f"PhysicalDrive{cls.number}  "):
            raise VmError(f"the dry run did not read drive {cls.number}: "
                          f"{cls.before.stdout!r} {cls.before.stderr!r}", cls.guest.console)

    def test_dry_run_names_the_drive_and_the_image_beside_the_program(self):
        self.assertEqual(self.before.status, 0, self.before.stderr)
        self.assertEqual(self.before.stdout,
                         f"PhysicalDrive{self.number}" + IDENTITY +
                         f"image {IMAGE_PATH}\n"
                         f"image size {len(IMAGE)} bytes, 20 sectors\n"
                         "nothing sent: add --yes to send the image\n")

    def test_the_aborted_first_command_ends_the_update(self):
        self.assertEqual(self.update.status, 1, self.update.stderr)
        self.assertEqual(self.update.stdout,
                         f"PhysicalDrive{self.number}" + IDENTITY +
                         f"image {IMAGE_PATH}\n"
                         "sent 1 of 4 commands\n"
                         "固件升级命令交互出错\n")

    def test_the_disk_still_answers_identify(self):
        self.assertEqual(self.after.status, 0, self.after.stderr)
        self.assertTrue(self.after.stdout.startswith(f"PhysicalDrive{self.number}" + IDENTITY),
                        self.after.stdout)
        self.assertEqual(self.smartctl.status & 0x07, 0, self.smartctl.stdout)
        self.assertRegex(self.smartctl.stdout, rf"(?m)^Device Model:\s+{re.escape(MODEL)}$")
        self.assertRegex(self.smartctl.stdout, rf"(?m)^Firmware Version:\s+{re.escape(REVISION)}$")


if __name__ == "__main__":
    CLI = program_argument(__doc__)
    run_tests(FirmwareUpdateOnAnEmulatedDrive)
