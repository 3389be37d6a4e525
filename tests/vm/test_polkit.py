"""The installed package's journeys through real polkit: reading drives and
updating firmware as an ordinary user, on emulated drives.

One guest: the system disk and a SATA disk with a maker's model and an
updatable revision. The package's files at their real paths (the CLI in
/usr/bin, the helper in /usr/libexec/quillfence, the polkit actions in
/usr/share/polkit-1/actions), the firmware image where the installed
program looks for it (/usr/share/quillfence/FwUpdata), Debian's pkexec
set-user-ID root, the system bus and polkitd running. A rules file decides:
qfuser may read drives and update firmware, qfother may read drives but not
update firmware.

The commands:

1. root: `list --json` and `smart N --json` (the Linux backend directly);
2. qfuser: the same two through pkexec and the helper;
3. qfuser with both test aids pointing to a program that records being run:
   the package's CLI still starts /usr/bin/pkexec and its own helper;
4. root and qfuser (through pkexec): `update-firmware N --yes` under strace;
   QEMU's drive aborts the first DOWNLOAD MICROCODE, which must be the same
   command and data from both;
5. qfother: `update-firmware N --yes` under strace: polkit refuses, nothing
   is sent, and the message says why.

Usage: test_polkit.py PACKAGE_BUILD_DIR   (holds quillfence_*.deb)
"""

import pathlib
import re
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True
from vmharness import (Disk, VmError, drive_numbers, require_qemu, run,  # noqa: E402
                       run_tests, system_disk)

MIB = 1 << 20
MODEL, SERIAL, REVISION = "QYD-M7A0-128G", "QY24PKIT0001", "V0208a"
# 20 sectors, the last one partly used: 4 commands in 8-sector blocks.
IMAGE = bytes((i * 13 + 5) & 0xFF for i in range(20 * 512 - 100))
DISKS = [system_disk(),
         Disk("maker", 64 * MIB, serial=SERIAL, model=MODEL, firmware=REVISION)]

RULES = """
polkit.addRule(function(action, subject) {
    if (action.id.indexOf("example.quillfence.") != 0)
        return polkit.Result.NOT_HANDLED;
    if (subject.user == "qfuser")
        return polkit.Result.YES;
    if (subject.user == "qfother" && action.id == "example.quillfence.read-drives")
        return polkit.Result.YES;
    return polkit.Result.NO;
});
"""
# Records that it was run, and fails.
RECORDER = b"#!/bin/sh\necho \"$0 $*\" >>/tmp/recorder-ran\nexit 1\n"

NUMBER = ("d=$(qf-dev maker) && d=${d#/dev/} && "
          "n=$(ls /sys/block | grep -E '^(sd|hd|vd)' | awk '{ print length($0), $0 }' | "
          "sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d { print NR - 1 }') && ")
# Every SG_IO with its command block and data; -u runs the program as that
# user with its set-user-ID programs (pkexec) working under the trace.
TRACE = "strace -f -v -s 65536 -e trace=ioctl -o /tmp/{0}.trace"
SHOW_TRACE = "; echo \"exit $?\"; echo '--- trace'; grep SG_IO /tmp/{0}.trace"
COMMANDS = [
    "quillfence-cli list --json",
    NUMBER + "quillfence-cli smart $n --json",
    "qf-user quillfence-cli list --json",
    NUMBER + "qf-user quillfence-cli smart $n --json",
    "qf-user env QUILLFENCE_HELPER_LAUNCHER=/usr/local/bin/qf-record QUILLFENCE_HELPER=/usr/local/bin/qf-record "
    "quillfence-cli list --json; echo \"exit $?\"; cat /tmp/recorder-ran 2>/dev/null",
    NUMBER + TRACE.format("root") + " quillfence-cli update-firmware $n --yes" + SHOW_TRACE.format("root"),
    NUMBER + "env HOME=/home/qfuser " + TRACE.format("user") + " -u qfuser quillfence-cli update-firmware $n --yes" +
    SHOW_TRACE.format("user"),
    NUMBER + "env HOME=/home/qfother " + TRACE.format("other") + " -u qfother quillfence-cli update-firmware $n --yes" +
    SHOW_TRACE.format("other"),
]


def first_download(output: str):
    """The command block and data of the first SG_IO that sent data to a drive."""
    _, _, trace = output.partition("--- trace\n")
    for line in trace.splitlines():
        if "SG_DXFER_TO_DEV" in line:
            command = re.search(r'cmdp="([^"]*)"', line)
            data = re.search(r'dxferp="([^"]*)"', line)
            if command and data:
                return command.group(1), data.group(1)
            raise AssertionError(f"strace did not show the command and its data: {line[:300]}")
    return None


def program_output(output: str) -> str:
    return output.partition("--- trace\n")[0]


class PolkitJourneys(unittest.TestCase):
    guest = None

    @classmethod
    def setUpClass(cls):
        packages = sorted(pathlib.Path(PACKAGE_BUILD).glob("quillfence_*.deb"))
        if not packages:
            raise VmError(f"no package in {PACKAGE_BUILD}: run scripts/package.sh {PACKAGE_BUILD}")
        cls.unpacked = tempfile.TemporaryDirectory(prefix="quillfence-deb-")
        unpacked = pathlib.Path(cls.unpacked.name)
        subprocess.run(["dpkg-deb", "-x", str(packages[-1]), str(unpacked)], check=True)
        installed = {path: str(unpacked / path.lstrip("/")) for path in
                     ("/usr/bin/quillfence-cli", "/usr/libexec/quillfence/quillfence-helper")}
        policy = "/usr/share/polkit-1/actions/example.quillfence.policy"
        files = {policy: str(unpacked / policy.lstrip("/")),
                 "/usr/share/quillfence/FwUpdata/DCBFCBCC.bin": IMAGE,
                 "/usr/local/bin/qf-record": RECORDER}
        cls.guest = run(DISKS, COMMANDS, programs=["/usr/bin/strace"], installed=installed, files=files,
                        polkit_rules=RULES, timeout=300)
        (cls.root_list, cls.root_smart, cls.user_list, cls.user_smart, cls.aided, cls.root_update,
         cls.user_update, cls.other_update) = cls.guest.results
        cls.number = drive_numbers(cls.guest.devices)["maker"]
        print(f"guest ready after {cls.guest.boot_seconds:.1f} s, QEMU ran {cls.guest.vm_seconds:.1f} s; "
              f"disks {cls.guest.devices}", file=sys.stderr)

    @classmethod
    def tearDownClass(cls):
        cls.unpacked.cleanup()

    def test_the_user_lists_and_reads_smart_through_pkexec_as_root_does_directly(self):
        self.assertEqual(self.root_list.status, 0, self.root_list.stderr)
        self.assertIn(f'"serialNumber":"{SERIAL}"', self.root_list.stdout)
        self.assertEqual(self.user_list.status, 0, self.user_list.stderr)
        self.assertEqual(self.user_list.stdout, self.root_list.stdout)
        self.assertIn(f'"diskNum":{self.number}', self.root_smart.stdout)
        self.assertEqual(self.user_smart.stdout, self.root_smart.stdout)
        self.assertEqual(self.user_smart.status, self.root_smart.status, self.user_smart.stderr)

    def test_the_installed_program_takes_no_test_aid(self):
        listing, _, recorded = self.aided.stdout.partition("exit ")
        self.assertEqual(listing, self.root_list.stdout, self.aided.stderr)
        self.assertEqual(recorded, "0\n", "the recorder was never run")

    def test_the_user_sends_the_same_first_download_microcode_as_root(self):
        for update in (self.root_update, self.user_update):
            self.assertEqual(program_output(update.stdout),
                             f'PhysicalDrive{self.number}  model "{MODEL}"  serial "{SERIAL}"  firmware "{REVISION}"\n'
                             "image /usr/share/quillfence//FwUpdata//DCBFCBCC.bin\n"
                             "sent 1 of 4 commands\n"
                             "固件升级命令交互出错\n"
                             "exit 1\n", update.stderr)
        root = first_download(self.root_update.stdout)
        self.assertIsNotNone(root, self.root_update.stdout)
        # ATA PASS-THROUGH (16) carrying DOWNLOAD MICROCODE (92h), features 03h, 8 blocks at offset 0.
        self.assertTrue(root[0].startswith("\\x85"), root[0])
        self.assertIn("\\x92", root[0])
        self.assertEqual(first_download(self.user_update.stdout), root)

    def test_a_refused_update_sends_nothing_and_says_why(self):
        self.assertEqual(program_output(self.other_update.stdout),
                         f'PhysicalDrive{self.number}  model "{MODEL}"  serial "{SERIAL}"  firmware "{REVISION}"\n'
                         "image /usr/share/quillfence//FwUpdata//DCBFCBCC.bin\n"
                         "升级固件需要管理员密码，未获授权，没有发送任何数据\n"
                         "exit 1\n", self.other_update.stderr)
        self.assertIsNone(first_download(self.other_update.stdout), self.other_update.stdout)
        self.assertIn("SG_DXFER_FROM_DEV", self.other_update.stdout, "the drive was read, through the reading helper")


if __name__ == "__main__":
    require_qemu()
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    PACKAGE_BUILD = sys.argv.pop()
    run_tests(PolkitJourneys)
