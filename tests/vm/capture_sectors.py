"""Captures the IDENTIFY DEVICE, SMART READ DATA and SMART READ THRESHOLDS
sectors of an emulated SATA drive into data/sectors/ and writes the fleet file
data/qemu-captured.json that describes the drive by those files.

smartctl reads the three sectors in the guest and prints each whole sector in
its ioctl report (-r ioctl,2); none of the program's own device code takes
part, so the files are an independent record of what the drive sent.

Run by hand (it rewrites the files): python3 tests/vm/capture_sectors.py
"""

import json
import pathlib
import re
import sys

sys.dont_write_bytecode = True
from vmharness import Disk, VmError, require_qemu, run, system_disk  # noqa: E402

DATA = pathlib.Path(__file__).resolve().parents[2] / "data"
FLEET = DATA / "qemu-captured.json"
PREFIX = "qemu-qyd-m7a0"
MIB = 1 << 20

# A maker's model text; the serial right-aligned in its 20 characters and the
# firmware of odd length, so the fixture exercises trimming and byte order.
DRIVE = Disk("captured", 64 * MIB, serial="    QY24A0001234", model="QYD-M7A0-512G",
             firmware="QF1.07a")

# smartctl's name of each command -> key of the fleet file's "sectors".
SECTORS = {
    "IDENTIFY DEVICE": "identify",
    "SMART READ ATTRIBUTE VALUES": "smartData",
    "SMART READ ATTRIBUTE THRESHOLDS": "smartThresholds",
}
FILE_NAMES = {"identify": "identify", "smartData": "smart-data",
              "smartThresholds": "smart-thresholds"}

BLOCK = re.compile(r"===== \[(?P<name>[^\]]+)\] DATA START \(BASE-16\) =====\n(?P<body>.*?)"
                   r"===== \[(?P=name)\] DATA END \(512 Bytes\) =====", re.S)
LINE = re.compile(r"^\d{3}-\d{3}: ((?:[0-9a-f]{2} ){16})\|", re.M)


def sectors_in_report(report: str) -> dict:
    """Fleet key -> the 512 bytes smartctl printed for that command (the last
    print where a command was sent more than once)."""
    found = {}
    for block in BLOCK.finditer(report):
        key = SECTORS.get(block["name"])
        if key is None:
            continue
        data = bytes.fromhex("".join(LINE.findall(block["body"])))
        if len(data) != 512:
            raise VmError(f"{block['name']}: {len(data)} bytes in smartctl's report, not 512")
        found[key] = data
    missing = set(SECTORS.values()) - set(found)
    if missing:
        raise VmError(f"smartctl's report lacks {sorted(missing)}:\n{report}")
    return found


def fleet(files: dict) -> dict:
    system_bytes = 128 * MIB
    return {
        "systemDirectory": "C:\\Windows\\system32",
        "drives": [
            {"number": 0, "bus": "sata", "length": system_bytes,
             "volumes": [{"letter": "C", "total": system_bytes - MIB, "free": system_bytes // 2}]},
            {"number": 1, "bus": "sata", "length": DRIVE.size, "sectors": files},
        ],
    }


def main():
    require_qemu()
    guest = run([system_disk(), DRIVE],
                ["smartctl -r ioctl,2 -i -A $(qf-dev captured)", "smartctl -V | head -n 1",
                 "uname -r"],
                programs=["/usr/sbin/smartctl"])
    report, version, kernel = guest.results
    if report.status != 0:
        raise VmError(f"smartctl ended with {report.status}: {report.stderr}", guest.console)
    sectors = sectors_in_report(report.stdout)

    files = {}
    for key, data in sectors.items():
        relative = f"sectors/{PREFIX}-{FILE_NAMES[key]}.bin"
        (DATA / relative).parent.mkdir(exist_ok=True)
        (DATA / relative).write_bytes(data)
        files[key] = relative
    FLEET.write_text(json.dumps(fleet(dict(sorted(files.items()))), indent=2) + "\n")
    print(f"wrote {FLEET} and {sorted(files.values())}\n"
          f"  {version.stdout.strip()}; guest kernel {kernel.stdout.strip()}")


if __name__ == "__main__":
    main()
