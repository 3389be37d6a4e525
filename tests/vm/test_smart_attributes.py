"""`quillfence-cli smart N --json` on emulated SATA drives, against
`smartctl -j -A` in the same guest.

One guest with three SATA drives: another maker's drive, whose table lists
every attribute slot; a maker's drive (by its model text), whose rows come
from its catalogue; and a drive whose SMART feature the first command switches
off, so that both SMART reads are aborted by the drive.

Usage: test_smart_attributes.py PATH-TO-quillfence-cli
"""

import json
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, program_argument, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
DRIVES = {
    "other": Disk("other", 64 * MIB, serial="WX31B77", model="Generic SSD 240", firmware="2.3"),
    "maker": Disk("maker", 64 * MIB, serial="QY24A0001234", model="QYD-M7A0-512G",
                  firmware="QF1.07a"),
    "off": Disk("off", 64 * MIB, serial="OFF0003", model="Generic SSD 120", firmware="2.3"),
}
DISKS = [system_disk()] + list(DRIVES.values())

# Drive numbers are known only once the guest has named the disks, so the
# CLI is asked for every number; the one of each drive is picked afterwards.
COMMANDS = ["smartctl -s off $(qf-dev off)"] + \
    [f"smartctl -j -A $(qf-dev {name})" for name in DRIVES] + \
    [f"quillfence-cli smart {n} --json" for n in range(len(DISKS))]


def raw_value_text(raw):
    """The RawValue cell of a 48-bit raw value: its bytes, most significant first."""
    return "0x" + "".join(f"{byte:02X} " for byte in raw.to_bytes(6, "big"))


def smartctl_rows(report):
    """The attributes smartctl lists, in slot order, as the cells the CLI shows
    for another maker's drive."""
    return [{"ID": f"{a['id']:02X}", "Description": "", "Value": str(a["value"]),
             "Worst": str(a["worst"]), "Threshold": str(a["thresh"]),
             "CurrentValue": str(a["raw"]["value"]), "RawValue": raw_value_text(a["raw"]["value"]),
             "Status": ""}
            for a in report.get("ata_smart_attributes", {}).get("table", [])]


class SmartOnEmulatedDrives(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=[CLI, "/usr/sbin/smartctl"])
        switch_off = cls.guest.results[0]
        reports = cls.guest.results[1:1 + len(DRIVES)]
        tables = cls.guest.results[1 + len(DRIVES):]
        if switch_off.status != 0:
            raise VmError(f"'{switch_off.command}' ended with {switch_off.status}",
                          cls.guest.console)
        numbers = drive_numbers(cls.guest.devices)
        cls.smartctl, cls.cli, cls.statuses = {}, {}, {}
        for name, report in zip(DRIVES, reports):
            table = tables[numbers[name]]
            # Bit 4: the drive with SMART switched off fails both SMART reads;
            # bit 8: a value over its limit is no failure to read.
            if table.status & ~(4 | 8):
                raise VmError(f"'{table.command}' ended with {table.status}: {table.stderr}",
                              cls.guest.console)
            try:
                cls.smartctl[name] = json.loads(report.stdout)
                cls.cli[name] = json.loads(table.stdout)
                cls.statuses[name] = table.status
            except ValueError as error:
                raise VmError(f"no JSON from {name}'s commands ({error}):\n"
                              f"{report.stdout}\n{table.stdout}", cls.guest.console)
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran "
              f"{cls.guest.vm_seconds:.1f} s, whole run {cls.guest.seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def test_other_makers_drive_lists_every_attribute_as_smartctl_reads_it(self):
        expected = smartctl_rows(self.smartctl["other"])
        self.assertGreater(len(expected), 0, "smartctl lists the emulated attributes")
        table = self.cli["other"]
        self.assertEqual((table["model"], table["isMakerDisk"], table["life"]),
                         ("Generic SSD 240", False, None))
        self.assertEqual([{cell: row[cell] for cell in expected[0]} for row in table["rows"]], expected)
        self.assertEqual([row["raw_value"] for row in table["rows"]],
                         [a["raw"]["value"] for a in self.smartctl["other"]["ata_smart_attributes"]["table"]])

    def test_maker_drive_rows_carry_the_attribute_bytes_smartctl_reads(self):
        by_id = {row["ID"]: row for row in smartctl_rows(self.smartctl["maker"])}
        table = self.cli["maker"]
        self.assertTrue(table["isMakerDisk"])
        self.assertGreater(len(table["rows"]), 0, "the catalogue names attributes the drive has")
        for row in table["rows"]:
            with self.subTest(id=row["ID"], description=row["Description"]):
                self.assertIn(row["ID"], by_id)
                self.assertNotEqual(row["Description"], "")
                sector_cells = ("Value", "Worst", "Threshold", "RawValue")
                self.assertEqual({cell: row[cell] for cell in sector_cells},
                                 {cell: by_id[row["ID"]][cell] for cell in sector_cells})

    def test_drive_with_smart_switched_off_has_an_empty_table(self):
        self.assertNotIn("ata_smart_attributes", self.smartctl["off"],
                         "the drive refuses SMART READ DATA")
        self.assertEqual(self.cli["off"]["rows"], [])
        self.assertFalse(self.cli["off"]["smart_read"])
        self.assertEqual(self.statuses["off"], 4, "a SMART command failed")
        self.assertEqual(self.statuses["other"], 0)
        self.assertEqual(self.cli["off"]["model"], "Generic SSD 120",
                         "the identity is read whatever SMART answers")


if __name__ == "__main__":
    CLI = program_argument(__doc__)
    run_tests(SmartOnEmulatedDrives)
