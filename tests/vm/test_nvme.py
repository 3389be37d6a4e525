"""NVMe drives on QEMU's emulated NVMe controller: `quillfence-cli list --json`
and `smart N --json` against `smartctl -i -j` and `smartctl -A -j` in the
same guest, read directly as root and through the privileged helper as an
unprivileged user.

One guest: the system disk (SATA), two NVMe disks (one controller each) and a
SATA data disk. NVMe kernel names come before SATA ones in the program's
natural order, so the NVMe disks are drives 0 and 1. The commands:

1. `quillfence-cli list --json`, under strace: the NVMe nodes are opened
   read-only and asked through the NVMe admin-command ioctl;
2. `smartctl -i -j` and `smartctl -A -j` of each NVMe disk;
3. `quillfence-cli smart N --json` for every drive number, as root and
   through the helper as qfuser (quillfence-vm-launch stands in for pkexec).

Usage: test_nvme.py PATH-TO-BUILD-DIR
"""

import json
import os
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, require_qemu, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
BUS_NVME = 17
NVME = {
    "fast": Disk("fast", 64 * MIB, bus="nvme", serial="QFN-NVME-0001"),
    "slow": Disk("slow", 32 * MIB, bus="nvme", serial="QFN-NVME-0002"),
}
DISKS = [system_disk()] + list(NVME.values()) + [Disk("data", 32 * MIB, serial="QFNDATA0003")]
BIN = "/usr/local/bin"
THROUGH_HELPER = (f"qf-user env QUILLFENCE_HELPER_LAUNCHER={BIN}/quillfence-vm-launch "
                  f"QUILLFENCE_HELPER={BIN}/quillfence-helper quillfence-cli")
# Every drive number, one JSON object a line; drives outside the list (the
# system disk) print nothing and fail, which ends no loop.
EVERY_NUMBER = " ".join(str(n) for n in range(len(DISKS)))
COMMANDS = [
    f"chown root:root {BIN}/quillfence-vm-launch && chmod 4755 {BIN}/quillfence-vm-launch",
    "strace -f -e trace=openat,ioctl -o /tmp/list.trace quillfence-cli list --json"
    " && echo '--- trace' && cat /tmp/list.trace",
] + [f"smartctl -i -j $(qf-dev {name})" for name in NVME] + \
    [f"smartctl -A -j $(qf-dev {name})" for name in NVME] + [
    f"for n in {EVERY_NUMBER}; do quillfence-cli smart $n --json; done; true",
    f"for n in {EVERY_NUMBER}; do {THROUGH_HELPER} smart $n --json; done; true",
]

# The health log's fields as smartctl names them -> the row that shows them
# and how its CurrentValue writes a value.
HEALTH_ROWS = {
    "temperature": ("综合温度", "{}℃"),
    "available_spare": ("可用备用空间", "{}%"),
    "available_spare_threshold": ("备用空间阈值", "{}%"),
    "percentage_used": ("已用寿命", "{}%"),
    "host_reads": ("Host读取命令数", "{}次"),
    "host_writes": ("Host写入命令数", "{}次"),
    "controller_busy_time": ("控制器忙碌时间", "{}分钟"),
    "power_cycles": ("上电次数", "{}次"),
    "power_on_hours": ("带电工作时间", "{}小时"),
    "unsafe_shutdowns": ("异常掉电次数", "{}次"),
    "media_errors": ("介质与数据完整性错误", "{}个"),
    "num_err_log_entries": ("错误日志条目数", "{}条"),
    "warning_temp_time": ("警告温度时间", "{}分钟"),
    "critical_comp_time": ("严重温度时间", "{}分钟"),
}
# Data units, thousands of 512-byte units: shown in bytes, the count is the raw value.
DATA_UNIT_ROWS = {"data_units_read": "Host读取量", "data_units_written": "Host写入量"}


def json_lines(text):
    return [json.loads(line) for line in text.splitlines() if line.strip()]


def raw_number(cell):
    """The number a RawValue cell writes: "0x00 00 02 DF AD 59 "."""
    return int(cell[2:].replace(" ", ""), 16)


class NvmeOnEmulatedDrives(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        programs = [os.path.join(BUILD, path) for path in
                    ("cli/quillfence-cli", "helper/quillfence-helper", "tests/vm/quillfence-vm-launch")] + \
            ["/usr/sbin/smartctl", "/usr/bin/strace"]
        cls.guest = run(DISKS, COMMANDS, programs=programs)
        setup, listing, *rest = cls.guest.results
        identities, health = rest[:len(NVME)], rest[len(NVME):2 * len(NVME)]
        root_smart, user_smart = rest[2 * len(NVME):]
        for step in (setup, listing, root_smart, user_smart):
            if step.status != 0:
                raise VmError(f"'{step.command}' ended with {step.status}: {step.stderr}", cls.guest.console)
        try:
            listed, _, cls.trace = listing.stdout.partition("--- trace\n")
            cls.listed = {disk["diskNum"]: disk for disk in json.loads(listed)["disks"]}
            cls.identity = {name: json.loads(step.stdout) for name, step in zip(NVME, identities)}
            cls.health = {name: json.loads(step.stdout).get("nvme_smart_health_information_log")
                          for name, step in zip(NVME, health)}
            cls.root_tables = {table["diskNum"]: table for table in json_lines(root_smart.stdout)}
            cls.user_tables = {table["diskNum"]: table for table in json_lines(user_smart.stdout)}
        except (ValueError, KeyError, TypeError) as error:
            raise VmError(f"the commands' output is not what was expected ({error})", cls.guest.console)
        cls.numbers = drive_numbers(cls.guest.devices)
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}, drive numbers {cls.numbers}", file=sys.stderr)

    def rows(self, name):
        table = self.root_tables.get(self.numbers[name])
        self.assertIsNotNone(table, f"smart {self.numbers[name]} gave a table")
        return {row["Description"]: row for row in table["rows"]}

    def test_nvme_drives_come_first_in_the_drive_numbers(self):
        self.assertEqual(sorted(self.numbers[name] for name in NVME), [0, 1])
        self.assertRegex(self.guest.devices["fast"], r"^nvme\d+n1$")

    def test_list_shows_the_identity_smartctl_reads(self):
        for name in NVME:
            with self.subTest(disk=name):
                disk = self.listed.get(self.numbers[name])
                self.assertIsNotNone(disk, "listed")
                smartctl = self.identity[name]
                expected = {"serialNumber": smartctl["serial_number"], "model": smartctl["model_name"],
                            "firmware": smartctl["firmware_version"], "valid": 1, "busType": BUS_NVME}
                self.assertEqual({key: disk[key] for key in expected}, expected)
                self.assertEqual(disk["serialNumber"], NVME[name].serial)

    def test_the_nodes_are_opened_read_only_and_asked_with_the_admin_command_ioctl(self):
        for name in NVME:
            with self.subTest(disk=name):
                node = f"/dev/{self.guest.devices[name]}"
                opens = [line for line in self.trace.splitlines() if f'"{node}"' in line and "openat" in line]
                self.assertTrue(opens, self.trace)
                for line in opens:
                    self.assertIn("O_RDONLY", line)
                    self.assertNotIn("O_RDWR", line)
        self.assertIn("NVME_IOCTL_ADMIN_CMD", self.trace)
        self.assertNotIn("SG_IO", "".join(line for line in self.trace.splitlines() if "nvme" in line))

    def test_smart_values_equal_smartctls_health_log_field_by_field(self):
        for name in NVME:
            with self.subTest(disk=name):
                health = self.health[name]
                self.assertIsNotNone(health, "smartctl reads the health log")
                rows = self.rows(name)
                for field, (description, text) in HEALTH_ROWS.items():
                    self.assertIn(description, rows)
                    self.assertEqual(rows[description]["CurrentValue"], text.format(health[field]), field)
                for field, description in DATA_UNIT_ROWS.items():
                    units = health[field]
                    self.assertEqual(rows[description]["CurrentValue"], f"{units * 512000}字节", field)
                    self.assertEqual(raw_number(rows[description]["RawValue"]), units, field)
                warning = rows["严重警告"]
                self.assertEqual(raw_number(warning["RawValue"]), health["critical_warning"])
                self.assertEqual(warning["Status"], "OK" if health["critical_warning"] == 0 else "警告")
                sensors = [row["CurrentValue"] for description, row in rows.items()
                           if description.startswith("温度传感器")]
                self.assertEqual(sensors, [f"{t}℃" for t in health.get("temperature_sensors", [])])

    def test_life_is_100_less_the_percentage_used(self):
        for name in NVME:
            with self.subTest(disk=name):
                table = self.root_tables[self.numbers[name]]
                self.assertEqual(table["life"], max(0, 100 - self.health[name]["percentage_used"]))
                self.assertFalse(table["isMakerDisk"])

    def test_the_user_reads_through_the_helper_what_root_reads(self):
        self.assertEqual(self.user_tables, self.root_tables)
        for name in NVME:
            self.assertIn(self.numbers[name], self.user_tables)


if __name__ == "__main__":
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    BUILD = sys.argv.pop()
    run_tests(NvmeOnEmulatedDrives)
