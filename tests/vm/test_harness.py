"""The VM harness itself: what later device tests rely on.

Three guests: the plain one (a SATA system disk, a SATA data disk with given
identity and partitions, a USB disk; also the unprivileged user); one with
every other capability (btrfs root, subvolumes, a pool over two disks and a
bind mount; IDE, virtio-scsi and NVMe disks; write-protected disks; udevd;
strace; removing a disk); and a hung one for the time limit.
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
         partitions=[Partition(32, mount="/mnt/data"), Partition(16, fs=None)]),
    Disk("stick", 96 * MIB, bus="usb", serial="QFH-USB-3"),
]

COMMANDS = [
    "printf 'out \\303\\244 no newline'; echo 'to stderr' >&2; exit 7",
    "cat /proc/self/mountinfo",
    "for name in data stick; do d=$(qf-dev $name); d=${d#/dev/};"
    " echo $name $(cat /sys/block/$d/size) $(readlink -f /sys/block/$d); done",
    "smartctl -i $(qf-dev data)",
    "cat /etc/qf-note",
    # The unprivileged user: its identity, its view of a disk node, and the
    # node's owner and mode as devtmpfs makes them.
    "qf-user id; qf-user sh -c 'echo $HOME'; stat -c '%U:%G %a' $(qf-dev data);"
    " qf-user dd if=$(qf-dev data) of=/dev/null count=1",
]


def print_figures(guest):
    print(f"guest ready after {guest.boot_seconds:.1f} s, QEMU ran {guest.vm_seconds:.1f} s, "
          f"whole run {guest.seconds:.1f} s", file=sys.stderr)


def mount_table(mountinfo):
    """Mount point -> (root within the file system, type, source, options)."""
    table = {}
    for line in mountinfo.splitlines():
        fields, _, tail = line.partition(" - ")
        fields, tail = fields.split(), tail.split()
        table[fields[4]] = (fields[3], tail[0], tail[1], fields[5])
    return table


class OneGuest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.guest = run(DISKS, COMMANDS, programs=["/usr/sbin/smartctl"],
                        files={"/etc/qf-note": b"note\n"})
        print_figures(cls.guest)

    def result(self, index):
        return self.guest.results[index]

    def test_output_streams_and_status_of_each_command(self):
        first = self.result(0)
        self.assertEqual((first.stdout, first.stderr, first.status),
                         ("out \u00e4 no newline", "to stderr\n", 7))
        self.assertEqual([r.status for r in self.guest.results[1:5]], [0] * 4)
        self.assertEqual(self.result(4).stdout, "note\n")

    def test_root_is_the_system_disk_partition_and_data_mounted(self):
        mounts = mount_table(self.result(1).stdout)
        self.assertEqual(mounts["/"][1:3], ("ext4", f"/dev/{self.guest.devices['system']}1"))
        self.assertEqual(mounts["/mnt/data"][1:3], ("ext4", f"/dev/{self.guest.devices['data']}1"))
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

    def test_unprivileged_user_cannot_open_a_disk(self):
        step = self.result(5)
        self.assertEqual(step.stdout, "uid=1000(qfuser) gid=1000(qfuser) groups=1000(qfuser)\n"
                                      "/home/qfuser\nroot:root 600\n")
        self.assertIn(f"can't open '/dev/{self.guest.devices['data']}': Permission denied",
                      step.stderr)
        self.assertNotEqual(step.status, 0)


# The second guest. Its root is btrfs; "tree" holds a btrfs partition with
# two subvolumes, one mounted on its own; "tank" spans a partition of the
# NVMe disk and one of the IDE disk; "locked" is write-protected in the
# guest's kernel, "rousb" and "roscsi" are read-only drives; "watched" and
# "spare" have no partitions, for udev's watch and for removal.
WIDE = [
    system_disk(fs="btrfs"),
    Disk("tree", 160 * MIB, partitions=[Partition(150, fs="btrfs", mount="/mnt/tree",
                                                 subvolumes={"vol": "/mnt/vol", "vol/inner": None})]),
    Disk("fast", 64 * MIB, bus="nvme", serial="QFH-NVME-1",
         partitions=[Partition(48, fs="btrfs", pool="tank", mount="/mnt/tank")]),
    Disk("old", 64 * MIB, bus="ide", serial="QFH-IDE-2", model="QF IDE MODEL", firmware="IDE7",
         partitions=[Partition(48, fs="btrfs", pool="tank")]),
    Disk("locked", 32 * MIB, kernel_readonly=True, partitions=[Partition(16, mount="/mnt/locked")]),
    Disk("rousb", 32 * MIB, bus="usb", readonly=True, partitions=[Partition(16, mount="/mnt/rousb")]),
    Disk("roscsi", 32 * MIB, bus="scsi", readonly=True, serial="QFH-SCSI-4", model="QF SCSI PRODUCT",
         firmware="SC42"),
    Disk("watched", 16 * MIB),
    Disk("spare", 16 * MIB, bus="nvme"),
]
BINDS = {"/mnt/bind": "/mnt/tree/shared"}

# Starts `udevadm monitor` in the background and waits until it listens.
MONITOR = ("udevadm monitor --kernel --udev >/tmp/events 2>&1 & monitor=$!; "
           "until grep -q '^KERNEL - ' /tmp/events; do usleep 50000; done; ")
# Waits until the monitor has shown udev's change event of the watched disk,
# then shows the events.
CHANGED = ("; d=$(qf-dev watched); d=${d#/dev/}; for i in $(seq 600); do "
           "grep -q \"^UDEV.* change .*/block/$d (block)\" /tmp/events && break; sleep 0.1; done; "
           "udevadm settle; kill $monitor; grep -E '^(KERNEL|UDEV) *\\[' /tmp/events")
# After a change of /dev/full (a marker) has been seen, udevd has handled
# whatever came before it: the events but the marker's are shown.
UNCHANGED = ("; udevadm settle; udevadm trigger --action=change /sys/class/mem/full; for i in $(seq 600); do "
             "grep -q '^UDEV.*/devices/virtual/mem/full' /tmp/events && break; sleep 0.1; done; "
             "kill $monitor; grep -E '^(KERNEL|UDEV) *\\[' /tmp/events | grep -v /devices/virtual/mem/full")

WIDE_COMMANDS = {
    "mounts": "cat /proc/self/mountinfo",
    "ro": "for name in " + " ".join(d.name for d in WIDE) + "; do d=$(qf-dev $name);"
          " d=${d#/dev/}; echo $name $d $(cat /sys/block/$d/ro)"
          " $(cat /sys/block/$d/$d*/ro 2>/dev/null) $(readlink -f /sys/block/$d); done",
    "nvme": "smartctl -i $(qf-dev fast)",
    "ide": "smartctl -i $(qf-dev old)",
    "scsi": "smartctl -i $(qf-dev roscsi)",
    "btrfs": "btrfs filesystem show /mnt/tank && btrfs subvolume list /mnt/tree && "
             "echo in-vol >/mnt/vol/file && cat /mnt/tree/vol/file && "
             "echo in-bind >/mnt/bind/file && cat /mnt/tree/shared/file",
    # Each write attempt prints its exit status after its error message.
    "writes": "touch /mnt/locked/new; echo $?; touch /mnt/rousb/new; echo $?;"
              " dd if=/dev/zero of=$(qf-dev locked) count=1; echo $?;"
              " dd if=/dev/zero of=$(qf-dev roscsi) count=1; echo $?",
    "nodes": "stat -c '%U:%G %a' $(qf-dev watched) $(qf-dev fast 1);"
             " ls /dev/disk/by-id | grep -E 'QFH-(NVME-1|IDE-2)$'",
    "read-open": MONITOR + "dd if=$(qf-dev watched) of=/dev/null count=1 2>/dev/null" + UNCHANGED,
    "write-open": MONITOR + ": >$(qf-dev watched)" + CHANGED,
    "user": "qf-user dd if=$(qf-dev watched) of=/dev/null count=1",
    "strace-open": "strace -f -e trace=openat,open sh -c 'cat /etc/group >/dev/null; true'",
    # The uptimes before and after on stderr's last line.
    "strace-inject": "a=$(cut -d ' ' -f 1 /proc/uptime); strace -e trace=ioctl"
                     " -e inject=ioctl:delay_exit=700000 blockdev --getsize64 $(qf-dev watched);"
                     " echo $a $(cut -d ' ' -f 1 /proc/uptime) >&2",
    "removal": "for name in watched spare; do d=$(qf-dev $name); echo $name $d; done;"
               " d=$(qf-dev watched); echo 1 >/sys/block/${d#/dev/}/device/delete;"
               " d=$(qf-dev spare); echo 1 >/sys/block/${d#/dev/}/device/device/remove;"
               " ls /sys/block",
}


class WideGuest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.guest = run(WIDE, list(WIDE_COMMANDS.values()), binds=BINDS, udevd=True,
                        programs=["/usr/sbin/smartctl", "/usr/bin/strace", "/usr/bin/btrfs"])
        cls.steps = dict(zip(WIDE_COMMANDS, cls.guest.results))
        print_figures(cls.guest)

    def out(self, name, status=0):
        step = self.steps[name]
        self.assertEqual(step.status, status, f"{step.command}: {step.stderr}")
        return step.stdout

    def node(self, name, partition=None):
        kernel_name = self.guest.devices[name]
        if partition:
            kernel_name += ("p" if kernel_name[-1].isdigit() else "") + str(partition)
        return f"/dev/{kernel_name}"

    def test_btrfs_root_subvolume_pool_and_bind_mounts(self):
        mounts = mount_table(self.out("mounts"))
        expected = {
            "/": ("/", "btrfs", self.node("system", 1)),
            "/mnt/tree": ("/", "btrfs", self.node("tree", 1)),
            "/mnt/vol": ("/vol", "btrfs", self.node("tree", 1)),
            "/mnt/bind": ("/shared", "btrfs", self.node("tree", 1)),
            "/mnt/tank": ("/", "btrfs", self.node("fast", 1)),
            "/mnt/locked": ("/", "ext4", self.node("locked", 1)),
            "/mnt/rousb": ("/", "ext4", self.node("rousb", 1)),
        }
        self.assertEqual({point: mounts.get(point, (None,) * 4)[:3] for point in expected},
                         expected)
        self.assertRegex(self.node("fast", 1), r"^/dev/nvme\d+n1p1$")
        for point in ("/mnt/locked", "/mnt/rousb"):
            self.assertTrue(mounts[point][3].startswith("ro,"), mounts[point])
        self.assertTrue(mounts["/mnt/tree"][3].startswith("rw,"), mounts["/mnt/tree"])

    def test_btrfs_pool_spans_two_disks_and_subvolumes_hold_files(self):
        text = self.out("btrfs")
        self.assertIn("Total devices 2 ", text)
        for name in ("fast", "old"):
            self.assertRegex(text, rf"devid +\d+ size 48\.00MiB used .* path {self.node(name, 1)}\n")
        self.assertRegex(text, r"ID \d+ gen \d+ top level 5 path vol\n")
        self.assertRegex(text, r"ID \d+ gen \d+ top level \d+ path vol/inner\n")
        self.assertTrue(text.endswith("in-vol\nin-bind\n"), text)

    def test_buses_and_write_protection_as_the_kernel_sees_them(self):
        seen = {line.split()[0]: line.split()[1:] for line in self.out("ro").splitlines()}
        buses = {"system": "/ata\\d+/", "tree": "/ata\\d+/", "old": "/0000:00:01\\.1/ata\\d+/",
                 "fast": "/nvme/nvme\\d+/nvme\\d+n1$", "rousb": "/usb\\d+/",
                 "roscsi": "/virtio\\d+/host\\d+/"}
        for name, pattern in buses.items():
            self.assertRegex(seen[name][-1], pattern, name)
        # Disk's flag and then its partitions' flags.
        read_only = {name: fields[1:-1] for name, fields in seen.items()}
        self.assertEqual(read_only, {
            "system": ["0", "0"], "tree": ["0", "0"], "fast": ["0", "0"], "old": ["0", "0"],
            "locked": ["1", "1"], "rousb": ["1", "1"], "roscsi": ["1"],
            "watched": ["0"], "spare": ["0"]})

    def test_writes_to_protected_disks_fail(self):
        step = self.steps["writes"]
        self.assertEqual(step.stdout.split(), ["1", "1", "1", "1"], step.stderr)
        for point in ("/mnt/locked", "/mnt/rousb"):
            self.assertIn(f"touch: {point}/new: Read-only file system", step.stderr)
        # The kernel's flag lets the node open for writing and fails the write;
        # a write-protected drive's node does not open for writing.
        self.assertIn(f"dd: error writing '{self.node('locked')}': Operation not permitted",
                      step.stderr)
        self.assertIn(f"dd: can't open '{self.node('roscsi')}': Read-only file system", step.stderr)

    def test_identity_on_nvme_ide_and_scsi(self):
        fields = {
            "nvme": {"Model Number": "QEMU NVMe Ctrl", "Serial Number": "QFH-NVME-1"},
            "ide": {"Device Model": "QF IDE MODEL", "Serial Number": "QFH-IDE-2",
                    "Firmware Version": "IDE7"},
            "scsi": {"Product": "QF SCSI PRODUCT", "Revision": "SC42", "Serial number": "QFH-SCSI-4"},
        }
        for name, expected in fields.items():
            text = self.out(name)
            with self.subTest(bus=name):
                for label, value in expected.items():
                    self.assertRegex(text, rf"(?m)^{label}:\s+{re.escape(value)}$")
        self.assertRegex(self.out("nvme"), r"(?m)^Firmware Version:\s+\d+\.\d+")

    def test_udev_owns_the_nodes_and_names_disks(self):
        self.assertEqual(self.out("nodes"),
                         "root:disk 660\nroot:disk 660\n"
                         "ata-QF_IDE_MODEL_QFH-IDE-2\nnvme-QEMU_NVMe_Ctrl_QFH-NVME-1\n")

    def test_closing_a_disk_opened_for_writing_makes_a_change_event(self):
        path = re.escape(self.node("watched").replace("/dev/", "/block/")) + r" \(block\)"
        events = self.out("write-open")
        # udev reports the change; whether the kernel's own event comes with
        # it depends on how udevd synthesises it (by writing the device's
        # uevent file, or within itself), which differs between versions.
        self.assertRegex(events, rf"(?m)^UDEV +\[[\d.]+\] change +/devices/.*{path}$")
        for line in events.splitlines():
            self.assertRegex(line, rf"^(KERNEL|UDEV) *\[[\d.]+\] change +/devices/.*{path}$")

    def test_closing_a_disk_opened_for_reading_makes_no_event(self):
        self.assertEqual(self.out("read-open", status=1), "", "grep finds no event")

    def test_unprivileged_user_cannot_open_a_disk_of_group_disk(self):
        step = self.steps["user"]
        self.assertNotEqual(step.status, 0)
        self.assertIn(f"can't open '{self.node('watched')}': Permission denied", step.stderr)

    def test_strace_traces_opens_and_injects_delays(self):
        step = self.steps["strace-open"]
        self.assertEqual(step.status, 0, step.stderr)
        self.assertRegex(step.stderr, r'(?m)^\[pid +\d+\] openat\(AT_FDCWD, "/etc/group", O_RDONLY')
        step = self.steps["strace-inject"]
        watched = next(disk for disk in WIDE if disk.name == "watched")
        self.assertEqual((step.status, step.stdout), (0, f"{watched.size}\n"), step.stderr)
        self.assertRegex(step.stderr, r"(?m)^ioctl\(3, BLKGETSIZE64, \[\d+\]\) += 0 \(DELAYED\)$")
        before, after = step.stderr.split()[-2:]
        self.assertGreaterEqual(float(after) - float(before), 0.7)

    def test_disks_leave_through_sysfs(self):
        lines = self.out("removal").split()
        self.assertEqual(lines[:4], ["watched", self.node("watched"), "spare", self.node("spare")])
        remaining = lines[4:]
        self.assertEqual(sorted(remaining), sorted(
            self.guest.devices[d.name] for d in WIDE if d.name not in ("watched", "spare")))


class Refused(unittest.TestCase):
    def test_layouts_the_emulation_cannot_give_are_refused_before_booting(self):
        cases = {
            "a read-only drive only on": Disk("d", MIB << 4, readonly=True),
            "model and firmware only on": Disk("d", MIB << 4, bus="nvme", model="M"),
            "subvolumes and pools are btrfs's": Disk("d", MIB << 4, partitions=[
                Partition(8, mount="/mnt/d", subvolumes={"v": None})]),
            "pool p has a single partition": Disk("d", MIB << 4, partitions=[
                Partition(8, fs="btrfs", pool="p")]),
        }
        for message, disk in cases.items():
            with self.subTest(message):
                with self.assertRaisesRegex(ValueError, message):
                    run([system_disk(), disk], [])


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
