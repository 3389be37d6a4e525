#!/bin/sh
# qf-dev NAME [N]: the device node of the disk the host called NAME, e.g.
# /dev/sdb or /dev/nvme0n1, or of its partition N (/dev/sdb2, /dev/nvme0n1p2).
awk -v name="$1" -v part="$2" '
    $1 == name {
        node = "/dev/" $2
        if (part != "") node = node (node ~ /[0-9]$/ ? "p" : "") part
        print node; found = 1
    }
    END { exit !found }' /qf/devices
