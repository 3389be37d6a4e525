"""quillfence-cli for monitoring on a real kernel: the system disk on
request, and CHECK POWER MODE before anything else with --nocheck standby.

One guest: the system disk, a maker's SATA disk and a USB disk (whose
emulated bridge rejects ATA pass-through). QEMU's emulated ATA disks take
STANDBY IMMEDIATE (`hdparm -y`) but stay active: they answer CHECK POWER
MODE with FFh whatever came before. So the guest shows that the question
goes out first, alone, without data and with CK_COND, that its answer comes
back through the kernel's sense data as smartctl reads it too, and that the
drive's power state is the same after the run as before it; a drive in
standby receiving nothing else is shown on the simulated fleet (cli_tests).

Usage: test_monitoring.py PATH-TO-quillfence-cli
"""

import json
import re
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import Disk, VmError, drive_numbers, program_argument, run, run_tests, system_disk  # noqa: E402

MIB = 1 << 20
DISKS = [system_disk(serial="QFSYSTEM01"),
         Disk("spun", 64 * MIB, serial="QY24SPIN0001", model="QYD-M7A0-128G"),
         Disk("stick", 64 * MIB, bus="usb", serial="QFUSB0004")]
NUMBER = ("n=$(d=$(qf-dev {name}); d=${{d#/dev/}}; ls /sys/block | grep -E '^(sd|hd|vd)' | "
          "awk '{{ print length($0), $0 }}' | sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d {{ print NR - 1 }}'); ")
COMMANDS = [
    "quillfence-cli list --json",
    "quillfence-cli list --json --include-system",
    NUMBER.format(name="system") + "quillfence-cli smart $n --json; echo \"exit=$?\" >&2",
    NUMBER.format(name="system") + "quillfence-cli smart $n --json --include-system",
    "hdparm -y $(qf-dev spun) && hdparm -C $(qf-dev spun)",
    NUMBER.format(name="spun") + "strace -f -v -e trace=ioctl -o /tmp/nocheck.trace "
    "quillfence-cli smart $n --json --nocheck standby && cat /tmp/nocheck.trace >&2",
    "hdparm -C $(qf-dev spun)",
    "smartctl -n standby -i $(qf-dev spun)",
    "quillfence-cli smart --all --json --nocheck standby; echo \"exit=$?\" >&2",
]


def power_state(hdparm_output):
    found = re.search(r"drive state is:\s+(\S+)", hdparm_output)
    return found and found.group(1)


class MonitoringOnARealKernel(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=[CLI, "/usr/sbin/hdparm", "/usr/sbin/smartctl", "/usr/bin/strace"])
        (cls.listed, cls.with_system, cls.system_refused, cls.system_smart, cls.standby, cls.nocheck,
         cls.after, cls.smartctl, cls.stick) = cls.guest.results
        # The lists exit with 1: the stick's bridge rejects IDENTIFY.
        for step, status in ((cls.listed, 1), (cls.with_system, 1), (cls.system_smart, 0), (cls.standby, 0),
                             (cls.nocheck, 0), (cls.after, 0)):
            if step.status != status:
                raise VmError(f"'{step.command}' ended with {step.status}: {step.stderr}", cls.guest.console)
        cls.numbers = drive_numbers(cls.guest.devices)
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def test_the_system_disk_is_listed_and_read_only_on_request(self):
        numbers = [disk["diskNum"] for disk in json.loads(self.listed.stdout)["disks"]]
        self.assertNotIn(self.numbers["system"], numbers)
        disks = {disk["diskNum"]: disk for disk in json.loads(self.with_system.stdout)["disks"]}
        system = disks[self.numbers["system"]]
        self.assertTrue(system["isSystemDisk"])
        self.assertEqual(system["device"], "/dev/" + self.guest.devices["system"])
        self.assertEqual([p["mount_point"] for p in system["partitions"]], ["/"])
        self.assertEqual(system["bus"], "sata")
        self.assertEqual(len(disks), 3)
        self.assertIn("exit=1", self.system_refused.stderr)
        smart = json.loads(self.system_smart.stdout)
        self.assertEqual((smart["serialNumber"], smart["valid"], smart["smart_read"]), ("QFSYSTEM01", 1, True))

    def test_check_power_mode_goes_first_alone_and_leaves_the_state_as_it_was(self):
        before, after = power_state(self.standby.stdout), power_state(self.after.stdout)
        self.assertIsNotNone(before, self.standby.stdout)
        self.assertEqual(after, before, "the run left the drive's power state as it found it")
        sent = [line for line in self.nocheck.stderr.splitlines() if "SG_IO" in line]
        self.assertGreaterEqual(len(sent), 4, self.nocheck.stderr)
        # ATA PASS-THROUGH (16), non-data with CK_COND, command E5h.
        self.assertIn("SG_DXFER_NONE", sent[0])
        self.assertRegex(sent[0], r'cmdp="\\x85\\x06\\x20(\\x00){11}\\xe5\\x00"')
        self.assertTrue(all("SG_DXFER_FROM_DEV" in line for line in sent[1:]), "then the reads of an awake drive")
        out = json.loads(self.nocheck.stdout)
        # QEMU's drive is always awake, and says so to smartctl as well.
        self.assertEqual((out["power_mode"], out["skipped"], out["valid"]), ("active_or_idle", False, 1))
        self.assertIn("Power mode is:    ACTIVE or IDLE", self.smartctl.stdout)

    def test_a_drive_that_does_not_answer_the_question_is_read(self):
        disks = {disk["diskNum"]: disk for disk in json.loads(self.stick.stdout)["disks"]}
        stick = disks[self.numbers["stick"]]
        self.assertEqual((stick["power_mode"], stick["skipped"], stick["bus"]), (None, False, "usb"))
        self.assertEqual(stick["valid"], 0, "its bridge rejects IDENTIFY as well")
        self.assertEqual(disks[self.numbers["spun"]]["power_mode"], "active_or_idle")
        self.assertIn("exit=1", self.stick.stderr)


if __name__ == "__main__":
    CLI = program_argument(__doc__)
    run_tests(MonitoringOnARealKernel)
