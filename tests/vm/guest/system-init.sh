#!/bin/sh
# Second stage, on the system disk: run the host's setup steps (mounts,
# write protection, udevd ...), then each command of /qf/commands/, sending
# outputs and exit statuses to the host over the second serial port; then
# end the machine.
#
# Lines for the host: "QF-DISK name kernel-name"; "QF-SETUP-FAILED n" with
# the failed step's stderr in base64 on the same line (the commands are then
# skipped); "QF-READY uptime"; per command "QF-BEGIN n", its stdout and
# stderr in base64 as "QF-O ..." and "QF-E ..." lines, "QF-END n status";
# "QF-DONE".
export PATH=/usr/local/bin:/usr/local/sbin:/usr/bin:/usr/sbin HOME=/root
# Programs of a sanitized build keep their other checks here; LeakSanitizer
# cannot work under strace, which the commands use, and leaks are the host
# suite's to find.
export ASAN_OPTIONS=detect_leaks=0
host=/dev/ttyS1

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

# The image tools copy the host's file owners; a tree built by an ordinary
# user belongs to root here all the same.
if [ "$(stat -c %u /usr/bin/busybox)" != 0 ]; then
    for path in /*; do
        case $path in /proc|/sys|/dev|/run) ;; *) chown -hR 0:0 "$path" ;; esac
    done
fi
chown 1000:1000 /home/qfuser
chown 1001:1001 /home/qfother

while read -r name dev; do
    echo "QF-DISK $name $dev" >$host
done </qf/devices

# run_file FILE: the shell commands of FILE from "/", output in /tmp/qf.out
# and /tmp/qf.err.
run_file() {
    (cd / && sh "$1") </dev/null >/tmp/qf.out 2>/tmp/qf.err
}

failed=
for step in /qf/setup/*; do
    [ -f "$step" ] || continue
    if ! run_file "$step"; then
        echo "QF-SETUP-FAILED ${step##*/} $(base64 -w 0 /tmp/qf.err)" >$host
        failed=1
        break
    fi
    # On the console, to see where boot time goes.
    read -r uptime _ </proc/uptime
    echo "qf: setup step ${step##*/} done at $uptime"
done

echo "QF-READY $(cut -d ' ' -f 1 /proc/uptime)" >$host

for command in /qf/commands/*; do
    [ -f "$command" ] && [ -z "$failed" ] || continue
    n=${command##*/}
    run_file "$command"
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
