"""Identity reads of `quillfence-cli list --json` on emulated drives.

One guest: three SATA drives with chosen serial, model and firmware (a maker's
model; an ordinary one; one whose every field is full and holds the maker's
letters everywhere but in the model's upper case) and a USB disk, whose
emulated bridge rejects the SAT command. For each SATA drive the CLI's texts
must equal what the drive was given and what smartctl reads in the same guest;
the USB disk must fail the command in the guest as described below and stay
listed without identity.

Usage: test_identity.py PATH-TO-quillfence-cli
"""

import json
import re
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, program_argument, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
BUS_SATA, BUS_USB = 11, 7

# name -> (serial, model, firmware as given to the drive, is it the maker's)
SATA = {
    # Serial right-aligned as many drives send it; firmware of odd length.
    "maker": ("    QY24A0001234", "QYD-M7A0-512G", "QF1.07a", True),
    "plain": ("WX31B77", "Generic SSD 240", "2.3", False),
    # 20, 40 and 8 characters: no padding left to trim. The rule looks at the
    # model only, and only at upper-case "QY" and "QX".
    "full": ("QYM7A0-SERIAL-000020", "qyd-M7A0-512G qx-M7A0 QZ-M7A0 Q Y M7A 0X", "QX-M7A01", False),
}
DISKS = [system_disk()] + [
    Disk(name, 64 * MIB, serial=serial, model=model, firmware=firmware)
    for name, (serial, model, firmware, _) in SATA.items()
] + [Disk("stick", 64 * MIB, bus="usb", serial="QFUSB0005")]

# What the USB disk answers to ATA PASS-THROUGH (12): CHECK CONDITION with
# fixed-format sense, ILLEGAL REQUEST, INVALID COMMAND OPERATION CODE.
USB_SCSI_STATUS, USB_SENSE = 0x02, {"response": 0x70, "key": 0x05, "asc": 0x20, "ascq": 0x00}

COMMANDS = ["quillfence-cli list --json"] + \
    [f"smartctl -i $(qf-dev {name})" for name in SATA] + \
    ["smartctl -d sat,12 -r ioctl,2 -i $(qf-dev stick)"]

SMARTCTL_FIELDS = {"serialNumber": "Serial Number", "model": "Device Model",
                   "firmware": "Firmware Version"}


def smartctl_identity(text):
    found = {}
    for key, label in SMARTCTL_FIELDS.items():
        match = re.search(rf"^{label}:[ \t]+(.*)$", text, re.M)
        found[key] = match and match.group(1).rstrip()
    return found


def first_sat_answer(report):
    """SCSI status and sense bytes of the first command in smartctl's ioctl report."""
    status = re.search(r"scsi_status=0x([0-9a-f]+)", report)
    sense = re.search(r">>> Sense buffer, len=(\d+):\n((?: [0-9a-f]{2} .*\n)+)", report)
    if not status or not sense:
        return None, b""
    data = bytes.fromhex("".join(line.split(None, 1)[1] for line in sense.group(2).splitlines()))
    return int(status.group(1), 16), data[:int(sense.group(1))]


class IdentityOnEmulatedDrives(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=[CLI, "/usr/sbin/smartctl"])
        listing, *identities, usb_report = cls.guest.results
        # The list exits with 1: the USB disk is listed without identity.
        for step, status in [(listing, 1)] + [(step, 0) for step in identities]:
            if step.status != status:
                raise VmError(f"'{step.command}' ended with {step.status}: {step.stderr}",
                              cls.guest.console)
        numbers = drive_numbers(cls.guest.devices)
        try:
            by_number = {disk["diskNum"]: disk for disk in json.loads(listing.stdout)["disks"]}
        except (ValueError, KeyError, TypeError) as error:
            raise VmError(f"the list is no JSON object with 'disks' ({error}):\n{listing.stdout}",
                          cls.guest.console)
        cls.listed = {name: by_number.get(numbers[name]) for name in list(SATA) + ["stick"]}
        cls.smartctl = {name: smartctl_identity(step.stdout) for name, step in zip(SATA, identities)}
        cls.usb_report = usb_report.stdout
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran "
              f"{cls.guest.vm_seconds:.1f} s, whole run {cls.guest.seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def test_sata_identity_is_what_the_drive_was_given_and_smartctl_reads(self):
        for name, (serial, model, firmware, _) in SATA.items():
            with self.subTest(disk=name):
                given = {"serialNumber": serial.strip(), "model": model, "firmware": firmware}
                self.assertEqual(self.smartctl[name], given, "smartctl in the guest")
                disk = self.listed[name]
                self.assertIsNotNone(disk, "listed")
                self.assertEqual({key: disk[key] for key in given}, given)
                self.assertEqual((disk["valid"], disk["busType"]), (1, BUS_SATA))

    def test_maker_flag_follows_the_model_text(self):
        for name, (_, _, _, maker) in SATA.items():
            with self.subTest(disk=name):
                self.assertIs(self.listed[name]["isMakerDisk"], maker)

    def test_usb_disk_rejects_the_sat_command(self):
        status, sense = first_sat_answer(self.usb_report)
        self.assertEqual(status, USB_SCSI_STATUS, self.usb_report)
        self.assertGreaterEqual(len(sense), 14, self.usb_report)
        self.assertEqual({"response": sense[0] & 0x7F, "key": sense[2] & 0x0F,
                          "asc": sense[12], "ascq": sense[13]}, USB_SENSE)

    def test_usb_disk_is_listed_without_identity(self):
        disk = self.listed["stick"]
        self.assertIsNotNone(disk, "listed")
        self.assertEqual({key: disk[key] for key in
                          ("busType", "valid", "serialNumber", "model", "firmware", "isMakerDisk")},
                         {"busType": BUS_USB, "valid": 0, "serialNumber": "", "model": "",
                          "firmware": "", "isMakerDisk": False})


if __name__ == "__main__":
    CLI = program_argument(__doc__)
    run_tests(IdentityOnEmulatedDrives)
