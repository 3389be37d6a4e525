#pragma once
// The watch over the drives while the program runs, in the tray or not: it
// reads every listed drive again at the interval the user chose in the tray
// menu (leaving drives in standby asleep), stores a sample of every drive
// each reading brings (at start, on 刷新, on hot-plug and at the interval
// alike) in the health history, and notifies the desktop of each change for
// the worse since a drive's previous sample. A click on a notification opens
// the window on that drive.
//
// The history is written on a thread of its own, and nothing of it starts
// before the first disk list arrives, after the window's first paint.

#include "history/HealthStore.h"
#include "worker/DiskReading.h"

#include <QObject>
#include <QThread>

#include <functional>
#include <map>
#include <vector>
#include <memory>

class DesktopNotifier;
class MainWin;
class QAction;
class QActionGroup;
class QMenu;
class QTimer;

class TrayWatch : public QObject {
    Q_OBJECT
public:
    // The choices of the tray menu, in seconds; 0 is off.
    static constexpr int kIntervals[] = {0, 15 * 60, 3600, 6 * 3600, 24 * 3600};
    static constexpr int kDefaultInterval = 3600;
    // The user setting that keeps the choice (seconds; 0 off).
    static constexpr const char* kIntervalSetting = "watch-interval";

    // Adds the interval menu to `trayMenu` before `before`.
    TrayWatch(MainWin* window, QMenu* trayMenu, QAction* before);
    ~TrayWatch() override;

    // Seconds between two readings; 0 while the watch is off.
    int interval() const { return interval_; }
    // The interval menu's actions, in the order of kIntervals.
    QList<QAction*> intervalActions() const;

signals:
    // The samples of one reading are stored (or could not be), and their
    // notifications sent.
    void recorded(int samples);

private:
    void start();
    void applyInterval(int seconds);
    void chooseInterval(int seconds);
    void readAgain();
    void record(const DiskListReading& reading);
    // `setAside`: where a damaged database was put; `failure`: why samples
    // could not be stored.
    void finishRecording(int samples, const std::vector<std::pair<history::DriveKey, history::AlertEvent>>& alerts,
                         const QString& setAside, const QString& failure);
    void openDrive(const QString& key);
    // Runs `work` on the history thread.
    void post(std::function<void()> work);

    MainWin* window_;
    QMenu* menu_ = nullptr;
    QActionGroup* choices_ = nullptr;
    QTimer* timer_ = nullptr;
    DesktopNotifier* notifier_ = nullptr;
    int interval_ = kDefaultInterval;
    bool started_ = false;
    // The drives of the last reading, by disk number.
    std::map<int, history::DriveKey> drives_;

    QThread thread_;
    QObject* context_ = nullptr;                    // lives on thread_
    std::unique_ptr<history::HealthStore> store_;   // used on thread_ only
    bool storeFailed_ = false;                      // the store could not be opened: said once
};

// The key a notification carries for its drive, and back.
QString driveKeyText(const history::DriveKey& drive);
