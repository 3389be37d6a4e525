#pragma once
// Notice of disks arriving and leaving, so the window can refresh its list.
// The platform's own mechanism lives in DiskNotificationsLinux.cpp or
// DiskNotificationsWindows.cpp; a simulated fleet's file changing on disk
// counts as an arrival or removal too.

#include <QByteArray>
#include <QObject>

class QTimer;
class QWidget;

class DiskNotifications : public QObject {
    Q_OBJECT
public:
    // Registers for the notifications of `window` (on Windows, its native
    // handle receives WM_DEVICECHANGE; a failed registration writes
    // "注册失败" to the debug output and the program goes on).
    explicit DiskNotifications(QWidget* window);
    ~DiskNotifications() override;

    // True for a native message that reports a disk arrival or removal
    // (WM_DEVICECHANGE with DBT_DEVICEARRIVAL or DBT_DEVICEREMOVECOMPLETE).
    static bool isDiskChange(const QByteArray& eventType, void* message);

    // True when the changes come from a simulated fleet's file: the backend
    // must be chosen anew (on the device thread) before the list is read.
    bool reloadsDevices() const { return watchesFleet_; }

signals:
    // A disk arrived or left (a burst of events gives one signal).
    void disksChanged();

private:
    void startPlatform(QWidget* window);
    void stopPlatform();
    void watchFleetFile();
    // Restarts the wait for a burst of changes to settle.
    void noteChange();

    struct Platform;
    Platform* platform_ = nullptr;
    QTimer* settle_ = nullptr;
    bool watchesFleet_ = false;
};
