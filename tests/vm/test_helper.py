"""quillfence-cli as an unprivileged user, through the privileged helper, on
emulated drives with the real Linux backend.

One guest: the system disk, a maker's SATA disk with a mounted partition, an
ordinary SATA disk and a USB disk. quillfence-vm-launch, installed
set-user-ID root in the guest, stands in for pkexec. The commands:

1. as root: `quillfence-cli list --json` and `smart N --json`, read directly;
2. as the user qfuser with the launcher: the same two commands, through a
   helper running as root;
3. as qfuser without a launcher (no pkexec in the guest): the message that
   reading drives needs the administrator's password;
4. as root under strace: a client asking a helper in its read mode for a
   DOWNLOAD MICROCODE, then for an IDENTIFY DEVICE.

Usage: test_helper.py PATH-TO-BUILD-DIR
"""

import os
import sys
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, Partition, VmError, drive_numbers, require_qemu, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
DISKS = [
    system_disk(),
    Disk("maker", 96 * MIB, serial="QY24HELP0001", model="QYD-M7A0-128G", firmware="V0208a",
         partitions=[Partition(48, mount="/mnt/maker")]),
    Disk("plain", 64 * MIB, serial="QFPLAIN0002", model="QF PLAIN"),
    Disk("stick", 64 * MIB, bus="usb", serial="QFUSB0003"),
]
BIN = "/usr/local/bin"
THROUGH_HELPER = (f"qf-user env QUILLFENCE_HELPER_LAUNCHER={BIN}/quillfence-vm-launch "
                  f"QUILLFENCE_HELPER={BIN}/quillfence-helper quillfence-cli")
NUMBER = ("n=$(d=$(qf-dev maker); d=${d#/dev/}; ls /sys/block | grep -E '^(sd|hd|vd)' | "
          "awk '{ print length($0), $0 }' | sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d { print NR - 1 }'); ")
COMMANDS = [
    f"chown root:root {BIN}/quillfence-vm-launch && chmod 4755 {BIN}/quillfence-vm-launch",
    "quillfence-cli list --json",
    NUMBER + "quillfence-cli smart $n --json",
    f"{THROUGH_HELPER} list --json",
    NUMBER + f"{THROUGH_HELPER} smart $n --json",
    "qf-user quillfence-cli list --json",
    NUMBER + f"strace -f -v -e trace=ioctl -o /tmp/probe.trace quillfence-vm-helper-probe {BIN}/quillfence-helper $n"
    " && echo '--- trace' && cat /tmp/probe.trace",
]


class HelperOnARealKernel(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        programs = [os.path.join(BUILD, path) for path in
                    ("cli/quillfence-cli", "helper/quillfence-helper", "tests/vm/quillfence-vm-launch",
                     "tests/vm/quillfence-vm-helper-probe")] + ["/usr/bin/strace"]
        cls.guest = run(DISKS, COMMANDS, programs=programs)
        (cls.setup, cls.root_list, cls.root_smart, cls.user_list, cls.user_smart, cls.refused,
         cls.probe) = cls.guest.results
        if cls.setup.status != 0:
            raise VmError(f"the launcher could not be set up: {cls.setup.stderr}", cls.guest.console)
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    def test_the_user_lists_through_the_helper_what_root_lists_directly(self):
        # Exit status 1 for both: the stick's bridge answers no ATA command.
        self.assertEqual(self.root_list.status, 1, self.root_list.stderr)
        self.assertEqual(self.user_list.status, 1, self.user_list.stderr)
        self.assertIn('"serialNumber":"QY24HELP0001"', self.root_list.stdout)
        self.assertEqual(self.user_list.stdout, self.root_list.stdout)

    def test_the_user_reads_smart_through_the_helper_as_root_does(self):
        self.assertEqual(self.root_smart.status, 0, self.root_smart.stderr)
        self.assertIn(f'"diskNum":{drive_numbers(self.guest.devices)["maker"]}', self.root_smart.stdout)
        self.assertEqual(self.user_smart.stdout, self.root_smart.stdout)
        self.assertEqual(self.user_smart.status, self.root_smart.status)

    def test_without_an_authorised_helper_the_user_is_told_why(self):
        self.assertEqual(self.refused.status, 1)
        self.assertIn("administrator's password", self.refused.stderr)

    def test_the_reading_helper_refuses_download_microcode(self):
        self.assertEqual(self.probe.status, 0, self.probe.stderr)
        said, _, trace = self.probe.stdout.partition("--- trace\n")
        self.assertEqual(said, "download refused\nidentify accepted\n")
        self.assertIn("refused: DOWNLOAD MICROCODE without the firmware update's authorisation", self.probe.stderr)
        sent = [line for line in trace.splitlines() if "SG_IO" in line]
        self.assertTrue(any("SG_DXFER_FROM_DEV" in line for line in sent), trace)
        self.assertFalse(any("SG_DXFER_TO_DEV" in line for line in sent), trace)


if __name__ == "__main__":
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    BUILD = sys.argv.pop()
    run_tests(HelperOnARealKernel)
