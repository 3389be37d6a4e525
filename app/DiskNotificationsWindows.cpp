// Disk arrival and removal on Windows: the window registers for the device
// notifications of the disk interface class and then receives WM_DEVICECHANGE,
// which its nativeEvent tells apart with isDiskChange.

#include "app/DiskNotifications.h"

#include <QDebug>
#include <QWidget>

// With initguid.h first, the GUIDs of winioctl.h (which windows.h brings)
// are defined here, GUID_DEVINTERFACE_DISK among them: no GUID library needed.
#include <initguid.h>
#include <windows.h>

#include <dbt.h>

struct DiskNotifications::Platform {
    HDEVNOTIFY registration;
};

void DiskNotifications::startPlatform(QWidget* window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = GUID_DEVINTERFACE_DISK;
    const HDEVNOTIFY registration = RegisterDeviceNotificationW(reinterpret_cast<HWND>(window->winId()), &filter,
                                                                DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!registration) {
        // Without notifications the disks are refreshed by the buttons only.
        qDebug() << "注册失败";
        return;
    }
    platform_ = new Platform{registration};
}

void DiskNotifications::stopPlatform()
{
    if (!platform_)
        return;
    UnregisterDeviceNotification(platform_->registration);
    delete platform_;
    platform_ = nullptr;
}

bool DiskNotifications::isDiskChange(const QByteArray& eventType, void* message)
{
    if (eventType != "windows_generic_MSG")
        return false;
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_DEVICECHANGE &&
           (msg->wParam == DBT_DEVICEARRIVAL || msg->wParam == DBT_DEVICEREMOVECOMPLETE);
}
