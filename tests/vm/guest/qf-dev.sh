#!/bin/sh
# qf-dev NAME: the device node of the disk the host called NAME, e.g. /dev/sdb.
awk -v name="$1" '$1 == name { print "/dev/" $2; found = 1 } END { exit !found }' /qf/devices
