"""How quillfence-cli's cost grows with the machine, against smartctl, on
emulated drives under TCG. Prints the figures of the README; as the CTest
test vm.bench it also holds them to generous bounds.

One guest: a SATA system disk, five SATA and four IDE data disks, the last
one ("parts") left unpartitioned. In order:

- nine data disks: `quillfence-cli smart N --json` against `smartctl -i -A`
  on "parts", 15 interleaved runs each (medians), and the system calls of one
  `quillfence-cli list --json`;
- four disks removed through sysfs: the system calls of a list;
- four more removed, "parts" the only data disk: smart against smartctl
  again, and a list;
- 23 partitions made on "parts" (GPT), mounted 0, 1, 4, 12 and 23 at a time:
  a list's median time (against smartctl on the same disk, as a reference
  measured in the same run) and its system calls.

Usage: bench_cli.py BUILD_DIR [--check] [--cli PATH]
  The CLI measured is BUILD_DIR's unless --cli names another (the tests
  measure the package's, built for installation, not their sanitized one).
"""

import os
import re
import sys

sys.dont_write_bytecode = True
from vmharness import Disk, VmError, require_qemu, run, system_disk  # noqa: E402

MIB = 1 << 20
RUNS = 15
PARTITIONS = 23
PARTITION_STEPS = (0, 1, 4, 12, 23)
DATA = [Disk(f"d{i}", 64 * MIB, serial=f"QFBENCH{i:04d}", model="QYD-M7A0-128G") for i in range(1, 6)] + \
       [Disk(f"d{i}", 64 * MIB, bus="ide", serial=f"QFBENCH{i:04d}") for i in range(6, 9)] + \
       [Disk("parts", 160 * MIB, bus="ide", serial="QFBENCHPARTS")]
DISKS = [system_disk()] + DATA

# Drive number of "parts" at a process's first look: its place in natural order.
NUMBER = ("n=$(d=$(qf-dev parts); d=${d#/dev/}; ls /sys/block | grep -E '^(sd|hd|vd)' | "
          "awk '{ print length($0), $0 }' | sort -k1,1n -k2 | awk -v d=\"$d\" '$2 == d { print NR - 1 }'); ")
SMARTCTL = "smartctl -i -A $(qf-dev parts)"
SMART_PAIR = NUMBER + f"quillfence-vm-benchpair {RUNS} \"quillfence-cli smart $n --json\" \"{SMARTCTL}\""
LIST_PAIR = f"quillfence-vm-benchpair {RUNS} \"quillfence-cli list --json\" \"{SMARTCTL}\""
# Total system calls of one list, the last line of strace's summary.
LIST_CALLS = "strace -f -c -o /tmp/calls quillfence-cli list --json >/dev/null && tail -n1 /tmp/calls"


def remove(names):
    """Deletes the disks and waits until the kernel has let them go."""
    nodes = " ".join(f"$(basename $(qf-dev {name}))" for name in names)
    return (f"for d in {nodes}; do echo 1 > /sys/block/$d/device/delete || exit 1; done && "
            f"for i in $(seq 600); do gone=1; for d in {nodes}; do [ -e /sys/block/$d ] && gone=0; done; "
            "[ $gone = 1 ] && break; sleep 0.1; done && [ $gone = 1 ]")


MAKE_PARTITIONS = (
    "d=$(qf-dev parts) && "
    "{ echo 'label: gpt'; for i in $(seq " + str(PARTITIONS) + "); do echo 'size=6MiB'; done; } | "
    "sfdisk -q $d && for i in $(seq 600); do [ -b $d" + str(PARTITIONS) + " ] && break; sleep 0.1; done && "
    "for i in $(seq " + str(PARTITIONS) + "); do /usr/local/bin/mke2fs -q -F -t ext4 $d$i >/dev/null || exit 1; "
    "mkdir -p /mnt/p$i; done")


def mount_up_to(count, already):
    if count == already:
        return "true"
    return "d=$(qf-dev parts) && for i in $(seq " + f"{already + 1} {count}" + \
        "); do mount -t ext4 $d$i /mnt/p$i || exit 1; done"


def commands():
    steps = [("smart 9", SMART_PAIR), ("calls 9", LIST_CALLS),
             ("remove", remove(["d1", "d2", "d3", "d4"])), ("calls 5", LIST_CALLS),
             ("remove", remove(["d5", "d6", "d7", "d8"])), ("smart 1", SMART_PAIR), ("calls 1", LIST_CALLS),
             ("partition", MAKE_PARTITIONS)]
    mounted = 0
    for count in PARTITION_STEPS:
        steps += [("mount", mount_up_to(count, mounted)), (f"list {count}", LIST_PAIR),
                  (f"calls p{count}", LIST_CALLS)]
        mounted = count
    return steps


def pair(text):
    """(A median, B median, ratio) of quillfence-vm-benchpair's output."""
    medians = dict(re.findall(r"^([AB]) median=([0-9.]+)", text, re.M))
    ratio = re.search(r"^ratio=([0-9.]+)", text, re.M)
    return float(medians["A"]), float(medians["B"]), float(ratio.group(1))


def calls(text):
    """The calls column of strace's "total" line (% time, seconds, usecs/call, calls, ...)."""
    return int(text.strip().splitlines()[-1].split()[3])


def main():
    require_qemu()
    arguments = sys.argv[1:]
    if not arguments or arguments[0].startswith("-"):
        sys.exit(__doc__)
    build, arguments = arguments[0], arguments[1:]
    check = "--check" in arguments
    if check:
        arguments.remove("--check")
    cli = os.path.join(build, "cli/quillfence-cli")
    if arguments[:1] == ["--cli"] and len(arguments) == 2:
        cli, arguments = arguments[1], []
    if arguments:
        sys.exit(__doc__)
    steps = commands()
    guest = run(DISKS, [command for _, command in steps], timeout=1200,
                programs=[cli,
                          os.path.join(build, "tests/vm/quillfence-vm-benchpair"),
                          "/usr/sbin/smartctl", "/usr/bin/strace", "/usr/sbin/sfdisk", "/usr/sbin/mke2fs"])
    out = {}
    for (name, _), result in zip(steps, guest.results):
        if result.status != 0:
            raise VmError(f"step '{name}' failed ({result.status}): {result.stdout} {result.stderr}",
                          guest.console)
        out[name] = result.stdout

    print(f"guest ready after {guest.boot_seconds:.1f} s, QEMU ran {guest.vm_seconds:.1f} s")
    print("\nquillfence-cli smart N --json against smartctl -i -A, same drive, "
          f"medians of {RUNS} interleaved runs:")
    smart = {}
    for disks in (9, 1):
        ours, theirs, ratio = pair(out[f"smart {disks}"])
        smart[disks] = ratio
        print(f"  {disks} data disks: {ours:7.1f} ms against {theirs:7.1f} ms, ratio {ratio:.2f}")

    print("\nquillfence-cli list --json, system calls by data disks (no partition mounted):")
    disk_calls = {disks: calls(out[f"calls {disks}"]) for disks in (1, 5, 9)}
    for disks, count in sorted(disk_calls.items()):
        print(f"  {disks} data disks: {count} calls")

    print(f"\nquillfence-cli list --json with partitions mounted on one disk (medians of {RUNS}; "
          "smartctl -i -A on that disk as the run's reference):")
    list_times, part_calls = {}, {}
    for count in PARTITION_STEPS:
        ours, reference, _ = pair(out[f"list {count}"])
        list_times[count] = (ours, reference)
        part_calls[count] = calls(out[f"calls p{count}"])
        print(f"  {count:2d} partitions: {ours:7.1f} ms (reference {reference:7.1f} ms), "
              f"{part_calls[count]} calls")
    # The list's time relative to the reference of its own step, so that a
    # machine getting slower or faster during the run does not count.
    growth = (list_times[23][0] / list_times[23][1]) / (list_times[1][0] / list_times[1][1])
    print(f"  23 partitions against 1: {growth:.2f}x")

    per_disk = [(disk_calls[5] - disk_calls[1]) / 4, (disk_calls[9] - disk_calls[5]) / 4]
    per_partition = [(part_calls[b] - part_calls[a]) / (b - a) for a, b in ((1, 4), (4, 12), (12, 23))]
    print(f"\nsystem calls per added disk: {per_disk[0]:.1f}, {per_disk[1]:.1f}; "
          f"per added partition: " + ", ".join(f"{x:.1f}" for x in per_partition))

    if not check:
        return 0
    # Generous bounds: the README's figures are the measured ones.
    failures = []
    if max(smart.values()) > 0.8:
        failures.append(f"smart against smartctl: {smart}")
    if growth > 2.5:
        failures.append(f"list with 23 partitions against 1: {growth:.2f}")
    for name, steps in (("disk", per_disk), ("partition", per_partition)):
        if max(steps) > 1.5 * min(steps) + 5:
            failures.append(f"calls per {name} do not grow linearly: {steps}")
    for failure in failures:
        print("FAILED:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
