"""The VM harness itself: what later device tests rely on.

One guest with a SATA system disk, a SATA data disk with given identity and
partitions, and a USB disk; a second, hung guest for the time limit.
"""

import re
import sys
import time
import unittest

sys.dont_write_bytecode = True
from vmharness import Disk, Partition, VmError, require_qemu, run, system_disk  # noqa: E402

MIB = 1 << 20

DISKS = [
    system_disk(),
    Disk("data", 200 * MIB + 512, serial="QFH-SER-17", model="QF HARNESS MODEL", firmware="HFW1",
         partitions=[Partition(32, mount="/mnt/data"), Partition(16, ext4=False)]),
    Disk("stick", 96 * MIB, bus="usb", serial="QFH-USB-3"),
]

COMMANDS = [
    "printf 'out \\303\\244 no newline'; echo 'to stderr' >&2; exit 7",
    "cat /proc/self/mountinfo",
    "for name in data stick; do d=$(qf-dev $name); d=${d#/dev/};"
    " echo $name $(cat /sys/block/$d/size) $(readlink -f /sys/block/$d); done",
    "smartctl -i $(qf-dev data)",
    "cat /etc/qf-note",
]


class OneGuest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=["/usr/sbin/smartctl"],
                        files={"/etc/qf-note": b"note\n"})
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran "
              f"{cls.guest.vm_seconds:.1f} s, whole run {cls.guest.seconds:.1f} s",
              file=sys.stderr)

    def result(self, index):
        return self.guest.results[index]

    def test_output_streams_and_status_of_each_command(self):
        first = self.result(0)
        self.assertEqual((first.stdout, first.stderr, first.status),
                         ("out \u00e4 no newline", "to stderr\n", 7))
        self.assertEqual([r.status for r in self.guest.results[1:]], [0] * 4)
        self.assertEqual(self.result(4).stdout, "note\n")

    def test_root_is_the_system_disk_partition_and_data_mounted(self):
        # "id parent major:minor root point options - type source options"
        mounts = {line.split()[4]: line.split(" - ")[1].split()[1]
                  for line in self.result(1).stdout.splitlines()}
        self.assertEqual(mounts["/"], f"/dev/{self.guest.devices['system']}1")
        self.assertEqual(mounts["/mnt/data"], f"/dev/{self.guest.devices['data']}1")
        self.assertEqual(len(mounts), 5)  # with /proc, /sys and /dev

    def test_disk_sizes_and_buses(self):
        seen = {line.split()[0]: line.split()[1:] for line in self.result(2).stdout.splitlines()}
        self.assertEqual(int(seen["data"][0]) * 512, DISKS[1].size)
        self.assertEqual(int(seen["stick"][0]) * 512, DISKS[2].size)
        self.assertRegex(seen["data"][1], r"/ata\d+/")
        self.assertRegex(seen["stick"][1], r"/usb\d+/")

    def test_identity_reaches_the_drive(self):
        text = self.result(3).stdout
        for label, value in (("Device Model", "QF HARNESS MODEL"), ("Serial Number", "QFH-SER-17"),
                             ("Firmware Version", "HFW1")):
            self.assertRegex(text, rf"{label}:\s+{re.escape(value)}\n")


class TimeLimit(unittest.TestCase):
    def test_hung_guest_is_ended_at_the_limit(self):
        started = time.monotonic()
        with self.assertRaises(VmError) as caught:
            run([system_disk()], ["sleep 600"], timeout=10)
        self.assertIn("did not finish within 10 s", str(caught.exception))
        self.assertIn("Linux version", caught.exception.console)
        self.assertLess(time.monotonic() - started, 40)


if __name__ == "__main__":
    require_qemu()
    unittest.main(verbosity=2)
