// Disk arrival and removal on Linux: a udev monitor on the "udev" source,
// filtered to whole block-device disks, read through a socket notifier.

#include "app/DiskNotifications.h"

#include <QDebug>
#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>

struct DiskNotifications::Platform {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
};

void DiskNotifications::startPlatform(QWidget*)
{
    udev* context = udev_new();
    udev_monitor* monitor = context ? udev_monitor_new_from_netlink(context, "udev") : nullptr;
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "block", "disk") < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        // Without notifications the disks are refreshed by the buttons only.
        qDebug() << "注册失败";
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
        return;
    }
    platform_ = new Platform{context, monitor};
    auto* notifier = new QSocketNotifier(udev_monitor_get_fd(monitor), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        udev_device* device = udev_monitor_receive_device(platform_->monitor);
        if (!device)
            return;
        const char* action = udev_device_get_action(device);
        if (action && (std::strcmp(action, "add") == 0 || std::strcmp(action, "remove") == 0))
            noteChange();
        udev_device_unref(device);
    });
}

void DiskNotifications::stopPlatform()
{
    if (!platform_)
        return;
    udev_monitor_unref(platform_->monitor);
    udev_unref(platform_->context);
    delete platform_;
    platform_ = nullptr;
}

bool DiskNotifications::isDiskChange(const QByteArray&, void*)
{
    return false;  // Linux reports disks through udev, not window messages
}
