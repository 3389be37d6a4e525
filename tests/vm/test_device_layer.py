"""The Linux backend on a machine as users have them: quillfence-cli and a
listing program on a guest whose root is btrfs, with udevd running.

One guest: the system disk (btrfs root); a SATA disk with a btrfs partition
(two subvolumes mounted at points of their own, one volume) and an ext4 one;
a write-protected USB disk (QEMU's readonly=on); a SATA disk the guest's
kernel holds read-only; a maker's SATA disk with an updatable revision and
its image beside the program. The commands, in order:

1. `quillfence-cli list --json` under strace, while `udevadm monitor`
   watches: the opens of the run and the events it caused (between two
   marker events, so that the monitor is known to be listening before and
   to have seen everything after);
2. the file-system figures of the mounted volumes;
3. two writers of the maker's disk at once: quillfence-vm-lockprobe takes
   the drive's writer's lock as a transfer does and, inside it, runs
   `update-firmware --yes` (kept out: the drive is busy), then sends a
   DOWNLOAD MICROCODE piece itself;
4. a listing program that lists the drives, removes the lowest-named data
   disk through sysfs and lists them again in the same process.

Usage: test_device_layer.py PATH-TO-BUILD-DIR
"""

import json
import os
import re
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, Partition, VmError, drive_numbers, require_qemu, run,  # noqa: E402
                       run_tests, system_disk)

MIB, GIB = 1 << 20, 1 << 30
BUS_SATA, BUS_USB = 11, 7
MAKER_MODEL, MAKER_REVISION = "QYD-M7A0-256G", "V0208a"
IMAGE = bytes((i * 5 + 1) & 0xFF for i in range(20 * 512 - 9))

DISKS = [
    system_disk(fs="btrfs"),
    Disk("data", 200 * MIB, serial="QFDATA0001", model="QF DATA",
         partitions=[Partition(120, fs="btrfs", mount="/mnt/data",
                               subvolumes={"@a": "/mnt/a", "@b": "/mnt/b"}),
                     Partition(48, mount="/mnt/e")]),
    Disk("stick", 96 * MIB, bus="usb", serial="QFRO0002", readonly=True,
         partitions=[Partition(64, mount="/mnt/ro")]),
    Disk("guarded", 64 * MIB, serial="QFWP0003", model="QF GUARDED", firmware="G1",
         kernel_readonly=True),
    Disk("maker", 64 * MIB, serial="QY24LOCK0004", model=MAKER_MODEL, firmware=MAKER_REVISION),
]
DATA_DISKS = [d for d in DISKS if not d.system]

# The drive number of disk NAME at a process's first look: its kernel name's
# place among the physical disks in natural order.
def number_of(name):
    return (f"$(d=$(qf-dev {name}); d=${{d#/dev/}}; ls /sys/block | grep -E '^(sd|hd|vd)' | "
            f"awk '{{ print length($0), $0 }}' | sort -k1,1n -k2 | "
            f"awk -v d=\"$d\" '$2 == d {{ print NR - 1 }}')")


# Marker events: a change of /dev/null, again until the monitor shows one
# (it is listening then), and at the end one change of /dev/full, awaited
# until the monitor shows it too (it has seen everything before it).
MARKERS = ("/devices/virtual/mem/null", "/devices/virtual/mem/full")
WAIT_FOR = ("for i in $(seq 600); do udevadm trigger --action=change /sys/class/mem/{0} && "
            "grep -q 'UDEV.*/devices/virtual/mem/{0}' /tmp/events && break; sleep 0.1; done; ")
LIST = ("udevadm monitor --kernel --udev >/tmp/events 2>&1 & monitor=$!; " + WAIT_FOR.format("null") +
        "strace -f -e trace=open,openat -o /tmp/opens quillfence-cli list --json; status=$?; "
        "udevadm settle; udevadm trigger --action=change /sys/class/mem/full; "
        "for i in $(seq 600); do grep -q 'UDEV.*/devices/virtual/mem/full' /tmp/events && break; sleep 0.1; done; "
        "kill $monitor; echo '--- events'; cat /tmp/events; "
        "echo '--- opens'; cat /tmp/opens; exit $status")
STATFS = "stat -f -c '%n %b %a %S' /mnt/data /mnt/a /mnt/e /mnt/ro"
TWO_WRITERS = (
    f"n={number_of('maker')}; "
    "strace -v -e trace=ioctl,flock -e signal=none -o /tmp/first.trace quillfence-vm-lockprobe $n "
    "\"strace -f -v -e trace=ioctl,flock -o /tmp/second.trace quillfence-cli update-firmware $n --yes "
    ">/tmp/second.out 2>&1; echo second \\$? >/tmp/second.status\"; "
    "echo \"first $?\"; cat /tmp/second.status; "
    "echo '--- second'; cat /tmp/second.out; "
    "echo '--- first trace'; cat /tmp/first.trace; echo '--- second trace'; cat /tmp/second.trace")
REMOVE_LOWEST = (
    "low=$(for d in " + " ".join(f"$(qf-dev {d.name})" for d in DATA_DISKS) + "; do "
    "echo ${d#/dev/}; done | awk '{ print length($0), $0 }' | sort -k1,1n -k2 | head -n1 | cut -d' ' -f2); "
    "echo \"removed $low\"; "
    "quillfence-vm-relist \"echo 1 > /sys/block/$low/device/delete && udevadm settle\"")
COMMANDS = [LIST, STATFS, TWO_WRITERS, REMOVE_LOWEST]


def sections(text):
    """The parts of a command's output after lines "--- name"."""
    parts, name = {"": []}, ""
    for line in text.splitlines():
        if line.startswith("--- "):
            name = line[4:]
            parts[name] = []
        else:
            parts[name].append(line)
    return parts


class DeviceLayerOnARealKernel(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        build = BUILD
        cls.guest = run(DISKS, COMMANDS, udevd=True, timeout=300,
                        programs=[os.path.join(build, "cli/quillfence-cli"),
                                  os.path.join(build, "tests/vm/quillfence-vm-relist"),
                                  os.path.join(build, "tests/vm/quillfence-vm-lockprobe"),
                                  "/usr/bin/strace", "/usr/sbin/smartctl"],
                        files={"/usr/local/bin/FwUpdata/DCBFCBGC.bin": IMAGE})
        cls.listing, cls.statfs, cls.writers, cls.relist = cls.guest.results
        cls.numbers = drive_numbers(cls.guest.devices)
        listed = sections(cls.listing.stdout)
        try:
            cls.disks = json.loads("\n".join(listed[""]))["disks"]
        except (ValueError, KeyError) as error:
            raise VmError(f"no list ({error}): {cls.listing.stdout!r} {cls.listing.stderr!r}", cls.guest.console)
        cls.events = listed["events"]
        cls.opens = listed["opens"]
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}; {len(cls.opens)} opens in one list", file=sys.stderr)

    def disk(self, name):
        number = self.numbers[name]
        found = [d for d in self.disks if d["diskNum"] == number]
        self.assertEqual(len(found), 1, f"{name} (drive {number}) in {self.disks}")
        return found[0]

    def test_root_on_btrfs_lists_the_other_disks_without_the_system_disk(self):
        self.assertEqual(self.listing.status, 1, "the stick's identity cannot be read: " + self.listing.stderr)
        self.assertEqual(sorted(d["diskNum"] for d in self.disks),
                         sorted(self.numbers[d.name] for d in DATA_DISKS))
        self.assertNotIn(self.numbers["system"], [d["diskNum"] for d in self.disks])

    def test_a_mounted_btrfs_partition_gets_its_letter_once(self):
        figures = {}
        for line in self.statfs.stdout.splitlines():
            point, blocks, available, fragment = line.split()
            figures[point] = (int(blocks) * int(fragment) / GIB, int(available) * int(fragment) / GIB)
        partitions = self.disk("data")["partitions"]
        # btrfs (partition 1, its subvolumes one volume) then ext4.
        self.assertEqual([p["total"] for p in partitions], [figures["/mnt/data"][0], figures["/mnt/e"][0]])
        self.assertEqual(figures["/mnt/a"], figures["/mnt/data"])
        letters = [p["letter"] for p in partitions]
        self.assertEqual(len(set(letters)), 2)

    def test_read_only_and_write_protected_disks_are_listed(self):
        stick = self.disk("stick")
        self.assertEqual(stick["busType"], BUS_USB)
        self.assertAlmostEqual(stick["capacity"], DISKS[2].size / GIB)
        self.assertEqual(len(stick["partitions"]), 1)
        # QEMU's USB bridge answers no ATA command: listed without identity.
        self.assertEqual(stick["valid"], 0)
        guarded = self.disk("guarded")
        self.assertEqual((guarded["valid"], guarded["serialNumber"], guarded["model"], guarded["firmware"]),
                         (1, "QFWP0003", "QF GUARDED", "G1"))

    def test_no_device_is_opened_for_writing_and_udev_sees_nothing(self):
        devices = [line for line in self.opens if '"/dev/' in line]
        self.assertTrue(devices, "the list opened no device")
        for line in devices:
            self.assertNotRegex(line, r"O_RDWR|O_WRONLY|O_CREAT|O_TRUNC", line)
        events = [line for line in self.events if re.match(r"(KERNEL|UDEV)\s*\[", line)]
        self.assertEqual(len([line for line in events if MARKERS[1] in line]), 2, "the last marker: " + str(events))
        self.assertEqual([line for line in events if not any(marker in line for marker in MARKERS)], [])

    def test_a_second_writer_is_refused_before_it_sends_anything(self):
        parts = sections(self.writers.stdout)
        first, second = parts[""][:3], parts[""][3:]
        self.assertEqual(first[0], "locked QY24LOCK0004", self.writers.stdout + self.writers.stderr)
        self.assertTrue(first[1].startswith("listed again: "), first)
        # The first writer still sends after the second was refused: QEMU's
        # drive aborts DOWNLOAD MICROCODE.
        self.assertEqual(first[2], "download failed")
        self.assertEqual(second, ["first 0", "second 1"], self.writers.stdout)
        # The second is kept out before it reads the drive: its first
        # command finds the drive held by a writer.
        self.assertEqual(parts["second"], [f"quillfence-cli: physical drive {self.numbers['maker']} is busy: "
                                           "another program is updating its firmware; nothing was sent to it"])
        self.assertFalse(any("SG_IO" in line for line in parts["second trace"]), parts["second trace"])
        self.assertTrue(any(re.search(r"flock\(\d+, LOCK_SH\|LOCK_NB\)\s*= -1 EAGAIN", line)
                            for line in parts["second trace"]), parts["second trace"])
        # The download went through a read-only descriptor: the kernel passed
        # it to the drive (the call succeeded) and the drive aborted it.
        download = next(line for line in parts["first trace"] if "SG_DXFER_TO_DEV" in line)
        self.assertRegex(download, r"status=0x2,.*\) = 0$")

    def test_numbers_stay_when_a_lower_named_disk_leaves(self):
        self.assertEqual(self.relist.status, 0, self.relist.stderr)
        removed_line, before, after = self.relist.stdout.splitlines()
        before = dict(item.split(":", 1)[::-1] for item in before.split())
        after = dict(item.split(":", 1)[::-1] for item in after.split())
        removed_name = removed_line.split()[1]
        removed = next(d.serial for d in DATA_DISKS if self.guest.devices[d.name] == removed_name)
        # Serial -> number; the disks without identity have an empty serial.
        self.assertEqual(min(int(n) for n in before.values()), int(before.pop(removed)))
        self.assertEqual(after, before)


if __name__ == "__main__":
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    BUILD = sys.argv.pop()
    run_tests(DeviceLayerOnARealKernel)
