"""`quillfence-cli list --json` on emulated SATA and USB disks.

One guest: a SATA system disk, three SATA data disks (two mounted
partitions, mounted out of order; none; an unmounted ext4 partition before a
mounted one) and a USB disk whose partition is mounted twice. The expected list is built from
the disk layout given here, the kernel names the harness found by the disks'
tags, and the file-system figures `stat -f` reports in the same guest.

Usage: test_list.py PATH-TO-quillfence-cli
"""

import json
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, Partition, VmError, drive_numbers, program_argument,  # noqa: E402
                       run, run_tests, system_disk)

MIB, GIB = 1 << 20, 1 << 30
BUS_SATA, BUS_USB = 11, 7

# Sizes off whole gigabytes, so that a rounded capacity shows.
DISKS = [
    system_disk(),
    Disk("two", 2 * GIB + 5 * MIB + 3 * 512, serial="QFTWO0001",
         partitions=[Partition(96), Partition(160, mount="/mnt/two-2")]),
    Disk("bare", GIB + 9 * 512, serial="QFBARE0002"),
    Disk("mixed", 768 * MIB + 512, serial="QFMIXED0003",
         partitions=[Partition(64), Partition(80, mount="/mnt/mixed-2")]),
    Disk("usb", 384 * MIB + 7 * 512, bus="usb", serial="QFUSB0004",
         partitions=[Partition(128, mount="/mnt/usb")]),
]

# Mounted by the first command, after the harness's mounts, so that mountinfo
# lists partition 2 of "two" before its partition 1 and the USB partition twice.
LATE_MOUNTS = {"/mnt/two-1": ("two", 1), "/mnt/again": ("usb", 1)}

# Mount point -> (disk, partition number), "/" being the system disk's root.
MOUNTS = {"/": ("system", 1), **LATE_MOUNTS}
for disk in DISKS:
    for number, part in enumerate(disk.partitions, 1):
        if part.mount:
            MOUNTS[part.mount] = (disk.name, number)

STATFS = "stat -f -c '%n %b %a %S' " + " ".join(sorted(MOUNTS))
COMMANDS = [
    " && ".join(f"mkdir -p {point} && mount -t ext4 $(qf-dev {disk}){number} {point}"
                for point, (disk, number) in LATE_MOUNTS.items()),
    "quillfence-cli list --json",
    STATFS,
]


def gb(size_bytes):
    return size_bytes / GIB


def expected_list(devices, statfs_text):
    """The list the contract asks for, from the layout and the guest's figures."""
    number = drive_numbers(devices)

    sizes = {}
    for line in statfs_text.split("\n"):
        if line:
            point, blocks, available, fragment = line.split()
            sizes[point] = (int(blocks) * int(fragment), int(available) * int(fragment))

    # A partition mounted at several points is one volume, at its first point.
    volumes = {}
    for point in sorted(MOUNTS):
        volumes.setdefault(MOUNTS[point], point)
    ordered = sorted(volumes.items(), key=lambda item: (number[item[0][0]], item[0][1], item[1]))
    letters = {key: chr(ord("C") + i) for i, (key, _) in enumerate(ordered)}

    listed = []
    for disk in sorted((d for d in DISKS if not d.system), key=lambda d: number[d.name]):
        partitions = [{"letter": letters[key], "total": gb(sizes[point][0]),
                       "free": gb(sizes[point][1]), "mount_point": point,
                       "total_bytes": sizes[point][0], "free_bytes": sizes[point][1]}
                      for key, point in ordered if key[0] == disk.name]
        listed.append({"diskNum": number[disk.name], "capacity": gb(disk.size),
                       "capacity_bytes": disk.size, "device": "/dev/" + devices[disk.name],
                       "isSystemDisk": False,
                       "busType": BUS_USB if disk.bus == "usb" else BUS_SATA,
                       "partitions": partitions})
    return listed


class ListOnEmulatedDisks(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=[CLI])
        late, listing, statfs = cls.guest.results
        # The list exits with 1: the USB disk's bridge answers no ATA command,
        # so its identity cannot be read.
        for step, status in ((late, 0), (listing, 1), (statfs, 0)):
            if step.status != status:
                raise VmError(f"'{step.command}' ended with {step.status}: {step.stderr}",
                              cls.guest.console)
        try:
            cls.actual = json.loads(listing.stdout)["disks"]
        except (ValueError, KeyError, TypeError) as error:
            raise VmError(f"the list is no JSON object with 'disks' ({error}):\n{listing.stdout}",
                          cls.guest.console)
        cls.expected = expected_list(cls.guest.devices, statfs.stdout)
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran "
              f"{cls.guest.vm_seconds:.1f} s, whole run {cls.guest.seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def field(self, listing, name):
        return [disk.get(name) for disk in listing]

    def test_drives_in_kernel_name_order_without_system_disk(self):
        self.assertEqual(self.field(self.actual, "diskNum"), self.field(self.expected, "diskNum"))
        system_number = drive_numbers(self.guest.devices)["system"]
        self.assertNotIn(system_number, self.field(self.actual, "diskNum"))
        self.assertEqual(self.field(self.actual, "isSystemDisk"), [False] * len(self.expected))

    def test_exact_capacities(self):
        self.assertEqual(self.field(self.actual, "capacity"), self.field(self.expected, "capacity"))
        self.assertEqual(self.field(self.actual, "capacity_bytes"), self.field(self.expected, "capacity_bytes"))

    def test_device_nodes(self):
        self.assertEqual(self.field(self.actual, "device"), self.field(self.expected, "device"))

    def test_bus_types(self):
        self.assertEqual(self.field(self.actual, "busType"), self.field(self.expected, "busType"))

    def test_partition_letters_sizes_and_mount_points(self):
        self.assertEqual(self.field(self.actual, "partitions"),
                         self.field(self.expected, "partitions"))


if __name__ == "__main__":
    CLI = program_argument(__doc__)
    run_tests(ListOnEmulatedDisks)
