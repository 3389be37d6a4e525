#!/bin/sh
# Second stage, on the system disk: mount the data partitions, run each
# command of /qf/commands/ and send its output and exit status to the host
# over the second serial port, then end the machine.
#
# Lines for the host: "QF-DISK name kernel-name", "QF-MOUNT-FAILED ...",
# "QF-READY uptime", per command "QF-BEGIN n", its stdout and stderr in
# base64 as "QF-O ..." and "QF-E ..." lines, "QF-END n status"; "QF-DONE".
export PATH=/usr/local/bin:/usr/local/sbin:/usr/bin:/usr/sbin HOME=/root
host=/dev/ttyS1

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

while read -r name dev; do
    echo "QF-DISK $name $dev" >$host
done </qf/devices

# Lines "disk-name partition-number mount-point".
while read -r name part point; do
    dev=$(awk -v n="$name" '$1 == n { print $2 }' /qf/devices)
    mkdir -p "$point"
    mount -t ext4 "/dev/$dev$part" "$point" || echo "QF-MOUNT-FAILED $name $part $point" >$host
done </qf/mounts

echo "QF-READY $(cut -d ' ' -f 1 /proc/uptime)" >$host

for command in /qf/commands/*; do
    [ -f "$command" ] || continue
    n=${command##*/}
    (cd / && sh "$command") </dev/null >/tmp/qf.out 2>/tmp/qf.err
    status=$?
    {
        echo "QF-BEGIN $n"
        base64 /tmp/qf.out | sed 's/^/QF-O /'
        base64 /tmp/qf.err | sed 's/^/QF-E /'
        echo "QF-END $n $status"
    } >$host
done
rm -f /tmp/qf.out /tmp/qf.err

echo "QF-DONE" >$host
sync
# QEMU runs with -no-reboot, so a reboot ends it.
reboot -f
