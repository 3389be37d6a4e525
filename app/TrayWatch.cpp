#include "app/TrayWatch.h"

#include "app/DesktopNotifier.h"
#include "app/MainWin.h"
#include "files/UserSettings.h"
#include "widgets/CoreText.h"
#include "worker/DeviceWorker.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>

namespace {

// The menu's texts, in the order of TrayWatch::kIntervals.
const char* const kIntervalTexts[] = {
    QT_TRANSLATE_NOOP("TrayWatch", "关闭"),  QT_TRANSLATE_NOOP("TrayWatch", "15分钟"),
    QT_TRANSLATE_NOOP("TrayWatch", "1小时"), QT_TRANSLATE_NOOP("TrayWatch", "6小时"),
    QT_TRANSLATE_NOOP("TrayWatch", "1天"),
};
static_assert(std::size(kIntervalTexts) == std::size(TrayWatch::kIntervals));

// Longer intervals than a QTimer takes are cut to this (24 days).
constexpr qint64 kLongestTimerMs = 0x7FFFFFFF;

int intervalFromSetting()
{
    const std::optional<std::string> text = files::readUserSetting(TrayWatch::kIntervalSetting);
    if (!text)
        return TrayWatch::kDefaultInterval;
    bool ok = false;
    const int seconds = QString::fromStdString(*text).toInt(&ok);
    return ok && seconds >= 0 ? seconds : TrayWatch::kDefaultInterval;
}

}  // namespace

QString driveKeyText(const history::DriveKey& drive)
{
    return QString::fromStdString(drive.model + '\n' + drive.serial + '\n' + drive.wwn);
}

TrayWatch::TrayWatch(MainWin* window, QMenu* trayMenu, QAction* before) : QObject(window), window_(window)
{
    menu_ = new QMenu(tr("检查间隔"), window);
    choices_ = new QActionGroup(menu_);
    for (size_t k = 0; k < std::size(kIntervals); ++k) {
        QAction* choice = menu_->addAction(tr(kIntervalTexts[k]));
        choice->setCheckable(true);
        choice->setChecked(kIntervals[k] == interval_);
        choices_->addAction(choice);
        const int seconds = kIntervals[k];
        connect(choice, &QAction::triggered, this, [this, seconds] { chooseInterval(seconds); });
    }
    trayMenu->insertMenu(before, menu_);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &TrayWatch::readAgain);

    context_ = new QObject;
    context_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, context_, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("history"));
    // The window's device thread exists once its construction is done.
    QTimer::singleShot(0, this, [this] {
        connect(&window_->devices(), &DeviceWorker::diskListRead, this, &TrayWatch::record);
    });
}

TrayWatch::~TrayWatch()
{
    if (!thread_.isRunning()) {
        delete context_;  // the thread never started: nothing deletes it later
        return;
    }
    thread_.quit();
    thread_.wait();
}

QList<QAction*> TrayWatch::intervalActions() const
{
    return choices_->actions();
}

// At the first reading, after the first paint: the setting, the timer and
// the history thread.
void TrayWatch::start()
{
    started_ = true;
    notifier_ = new DesktopNotifier(this, window_->findChild<QSystemTrayIcon*>());
    connect(notifier_, &DesktopNotifier::clicked, this, &TrayWatch::openDrive);
    thread_.start();
    applyInterval(intervalFromSetting());
}

void TrayWatch::applyInterval(int seconds)
{
    interval_ = seconds;
    const QList<QAction*> actions = choices_->actions();
    for (int k = 0; k < actions.size(); ++k)
        actions[k]->setChecked(kIntervals[k] == seconds);
    if (seconds == 0) {
        timer_->stop();
        return;
    }
    timer_->start(static_cast<int>(std::min<qint64>(qint64{seconds} * 1000, kLongestTimerMs)));
}

void TrayWatch::chooseInterval(int seconds)
{
    if (!files::writeUserSetting(kIntervalSetting, std::to_string(seconds)))
        std::fprintf(stderr, "quillfence: the check interval could not be saved in the settings file\n");
    if (started_)
        applyInterval(seconds);
    else
        interval_ = seconds;
}

void TrayWatch::readAgain()
{
    window_->devices().readDiskList(false, false, true);
}

void TrayWatch::post(std::function<void()> work)
{
    QMetaObject::invokeMethod(context_, std::move(work), Qt::QueuedConnection);
}

void TrayWatch::record(const DiskListReading& reading)
{
    if (!started_)
        start();
    drives_.clear();
    std::vector<history::HealthSample> samples;
    const int64_t now = history::Now();
    for (const DiskReading& disk : reading.disks) {
        if (disk.record.valid)
            drives_[disk.record.diskNum] = history::DriveKeyOf(disk.record);
        // A drive left in standby was not read: it adds no sample.
        if (disk.skipped)
            continue;
        if (auto sample = history::SampleOf(disk.record, disk.powerMode, now))
            samples.push_back(std::move(*sample));
    }
    post([this, samples = std::move(samples)] {
        std::string error;
        if (!store_) {
            if (const auto file = history::HealthStore::DefaultFile())
                store_ = history::HealthStore::Open(*file, error);
            else
                error = "no data folder: neither XDG_DATA_HOME nor HOME is set";
        }
        std::vector<std::pair<history::DriveKey, history::AlertEvent>> alerts;
        int stored = 0;
        for (const history::HealthSample& sample : samples) {
            if (!store_)
                break;
            const auto events = store_->Record(sample, error);
            if (!events)
                continue;
            ++stored;
            for (const history::AlertEvent& event : *events)
                alerts.emplace_back(sample.drive, event);
        }
        QString setAside, failure;
        if (store_) {
            if (const auto aside = store_->TakeSetAside())
                setAside = QString::fromStdString(aside->string());
        }
        if (!store_ || stored < static_cast<int>(samples.size()))
            failure = QString::fromStdString(error);
        QMetaObject::invokeMethod(
            this, [this, stored, alerts, setAside, failure] { finishRecording(stored, alerts, setAside, failure); },
            Qt::QueuedConnection);
    });
}

void TrayWatch::finishRecording(int samples,
                                const std::vector<std::pair<history::DriveKey, history::AlertEvent>>& alerts,
                                const QString& setAside, const QString& failure)
{
    for (const auto& [drive, event] : alerts)
        notifier_->notify(QString::fromStdString(history::DriveTitle(drive, windowTextLookup())),
                          QString::fromStdString(history::AlertText(event, windowTextLookup())), driveKeyText(drive));
    // A damaged database is said each time one is set aside (once for each
    // file); a history that cannot be written, once a run.
    if (!setAside.isEmpty()) {
        notifier_->notify(QStringLiteral("SSD Quillfence"),
                          tr("健康历史数据库已损坏，已改名为 %1 保留，并已新建数据库。").arg(setAside), QString());
        std::fprintf(stderr, "quillfence: the health history was damaged: set aside as %s, a new one started\n",
                     setAside.toLocal8Bit().constData());
    }
    if (!failure.isEmpty() && !storeFailed_) {
        storeFailed_ = true;
        notifier_->notify(QStringLiteral("SSD Quillfence"), tr("无法写入健康历史：%1").arg(failure), QString());
        std::fprintf(stderr, "quillfence: the health history could not be written: %s\n",
                     failure.toLocal8Bit().constData());
    }
    emit recorded(samples);
}

// Shows the window with the drive selected, where it is still listed.
void TrayWatch::openDrive(const QString& key)
{
    if (window_->isHidden() || window_->windowState() == Qt::WindowMinimized)
        window_->slotClicked();
    window_->raise();
    window_->activateWindow();
    auto* selector = window_->findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
    if (!selector || key.isEmpty())
        return;
    for (int i = 0; i < selector->count(); ++i) {
        const std::optional<int> diskNum = diskNumberOfEntry(selector->itemText(i));
        const auto drive = diskNum ? drives_.find(*diskNum) : drives_.end();
        if (drive != drives_.end() && driveKeyText(drive->second) == key) {
            selector->setCurrentIndex(i);
            return;
        }
    }
}
