#!/bin/busybox sh
# First stage, from the initramfs: load the drivers, wait for the disks, find
# each by the tag the host wrote 1 MiB - 512 bytes into it, mount the system
# disk's first partition and make it the root.
/bin/busybox --install -s /bin
export PATH=/bin

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

for module in $(cat /modules/order); do
    insmod /modules/$module || echo "qf: insmod $module failed"
done

for arg in $(cat /proc/cmdline); do
    case $arg in
        qf_disks=*) want=${arg#*=} ;;
        qf_root=*) root=${arg#*=} ;;
        qf_rootfs=*) rootfs=${arg#*=} ;;
    esac
done

# Whole disks: SCSI-type (SATA, IDE, USB, virtio-scsi) and NVMe namespaces.
disks() { ls /sys/block | grep -E '^(sd[a-z]+|nvme[0-9]+n[0-9]+)$' ; }

tries=0
while [ "$(disks | wc -l)" -lt "$want" ] && [ $tries -lt 300 ]; do
    usleep 100000
    tries=$((tries + 1))
done
echo "qf: $(disks | wc -l) of $want disks after $tries waits"

: >/tmp/devices
for dev in $(disks); do
    tag=$(dd if=/dev/$dev bs=512 skip=2047 count=1 2>/dev/null | head -n 1)
    case $tag in
        QFVMTAG:*) echo "${tag#QFVMTAG:} $dev" >>/tmp/devices ;;
    esac
done

rootdev=$(awk -v t="$root" '$1 == t { print $2 }' /tmp/devices)
# NVMe partitions are "nvme0n1p1", the others "sda1".
case $rootdev in
    *[0-9]) rootpart=${rootdev}p1 ;;
    *) rootpart=${rootdev}1 ;;
esac
if [ -z "$rootdev" ] || ! mount -t "$rootfs" /dev/$rootpart /newroot; then
    echo "qf: cannot mount the system disk '$root' (found: $(cat /tmp/devices))"
    reboot -f
fi
cp /tmp/devices /newroot/qf/devices

umount /dev /sys /proc
exec switch_root /newroot /bin/sh /qf/system-init.sh
