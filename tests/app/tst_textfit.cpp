// Every text the window adds fits where it is shown, or wraps, or is elided
// with "…" and shown whole in a tool tip: in each state of the main window,
// on its pages, in the flash-test window and in every dialog the program
// shows. In Chinese, or in English where QUILLFENCE_TEST_LANGUAGE is "en"
// (ctest runs both).

#include "MainWinFixture.h"
#include "TextFitCheck.h"

#include "CommandGate.h"
#include "ServedHelper.h"
#include "app/Startup.h"
#include "common/UiLanguage.h"
#include "disk/simulated/SimulatedStorage.h"
#include "firmware/FwResult.h"
#include "pages/FlashTestWindow.h"
#include "pages/FwUpdateTexts.h"
#include "widgets/QMenuButton.h"
#include "worker/DeviceWorker.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPropertyAnimation>

namespace {

// The widest identity a drive can report: 40 characters of model (a
// maker's model, so the ring and the health level show), 20 of serial
// number, 8 of firmware revision, all of the widest Latin letter.
const QString kWidestModel = QStringLiteral("QX M7A0 ") + QString(32, QLatin1Char('W'));
QString widestDrive(int number)
{
    return QStringLiteral("{\"number\": %1, \"length\": 128035676160, \"identity\": {\"serial\": \"%2\", \"model\": "
                          "\"%3\", \"firmware\": \"%4\"}%5%6}")
        .arg(number)
        .arg(QString(20, QLatin1Char('W')), kWidestModel, QString(8, QLatin1Char('W')), fleetVolumes("DE"),
             kFleetLife89);
}

// What the disk selector draws: its own text, when it says what it draws.
QString selectorText(QComboBox* combo)
{
    const QVariant shown = combo->property("shownText");
    return shown.isValid() ? shown.toString() : combo->currentText();
}

QStringList unfit(QWidget* root)
{
    return textfit::unfitTexts(root, selectorText);
}

// A text as the window shows it in the language under test.
QString shown(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

// Drive 2 qualifies for a firmware update: a maker's 120G drive of
// revision 0208A.
const QString kUpdatable = fleetDrive(2, QStringLiteral("QX M7A0 120G"), QString(), QStringLiteral("0208A"));

// Fails with every text of `root` that does not fit.
#define VERIFY_TEXTS_FIT(root)                                      \
    do {                                                            \
        const QStringList unfitTexts = unfit(root);                 \
        QVERIFY2(unfitTexts.isEmpty(), qPrintable(unfitTexts.join(QStringLiteral("; ")))); \
    } while (false)

}  // namespace

class TextFitTest : public QObject {
    Q_OBJECT

    FleetMachine machine;

    static void openPage(MainWin& win, int index)
    {
        auto* strip = child<QMenuButton>(&win, "MenuButton");
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + index * strip->width() / 3, 30));
    }
    // Opens the page and waits until it has slid in: measured at its size.
    static QWidget* openedPage(MainWin& win, int index, const char* name)
    {
        openPage(win, index);
        QWidget* page = child<QWidget>(&win, name);
        if (!QTest::qWaitFor([page] { return page->isVisible() && !page->findChild<QPropertyAnimation*>(); }))
            qWarning("the page %s did not slide in", name);
        return page;
    }

private slots:
    void initTestCase()
    {
        const bool english = qgetenv("QUILLFENCE_TEST_LANGUAGE") == "en";
        installTranslations(english ? texts::Language::English : texts::Language::Chinese);
        // The English run measures English, not the Chinese a missing
        // translation would fall back to.
        QCOMPARE(shown("MainWin", "刷新"), english ? QStringLiteral("Refresh") : QStringLiteral("刷新"));
        // A firmware image the update page offers to the updatable drive.
        const QString images = machine.folder(QStringLiteral("data-home/quillfence/FwUpdata"));
        QVERIFY(QDir().mkpath(images));
        QFile image(images + QStringLiteral("/DCBFCBCC.bin"));
        QVERIFY(image.open(QIODevice::WriteOnly));
        image.write(QByteArray(10000, 'C'));
    }

    // The left half says why it shows no partition bars.
    void emptyStates_data()
    {
        QTest::addColumn<QStringList>("drives");
        QTest::addColumn<QString>("message");

        QTest::newRow("only the system disk, offered")
            << QStringList{fleetSystemDrive()} << shown("MainWin", "系统盘未列出");
        const QString refused = QStringLiteral(", \"faults\": [\"openReadWrite\"]");
        QTest::newRow("no rights") << QStringList{fleetSystemDrive(), fleetDrive(2, "Two", refused)}
                                   << shown("MainWin", "需要管理员权限");
        QTest::newRow("no partition") << QStringList{fleetSystemDrive(), fleetDrive(2, "Bare")}
                                      << shown("MainWin", "未能检测分区");
    }
    void emptyStates()
    {
        QFETCH(QStringList, drives);
        QFETCH(QString, message);
        machine.use(drives);
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QCOMPARE(child<QLabel>(&win, "lbNoPartition")->text(), message);
        VERIFY_TEXTS_FIT(&win);
    }

    void whileTheListIsRead()
    {
        machine.use({fleetSystemDrive(), fleetDrive(2, "Two")});
        TestWin win;
        auto* sim = dynamic_cast<SimulatedStorage*>(&storage());
        QVERIFY(sim);
        bool released = false;
        CommandGate gate(*sim, [&](int) { return released; });
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        int commands = 0;
        QTRY_VERIFY((gate.update([&](int count) { commands = count; }), commands == 1));
        QCOMPARE(child<QLabel>(&win, "lbNoPartition")->text(), shown("MainWin", "正在读取磁盘…"));
        QCOMPARE(child<QPushButton>(&win, "btRefresh")->text(), shown("MainWin", "刷新中"));
        VERIFY_TEXTS_FIT(&win);
        gate.update([&](int) { released = true; });
        QVERIFY(listed(win));
    }

    void withoutThePassword()
    {
        SimulatedStorage sim(parseFleet(
            QStringLiteral("{\"drives\": [%1, %2]}").arg(fleetSystemDrive(), fleetDrive(2, "Two")).toStdString()));
        ServedHelpers helpers(sim);
        helpers.refused = {helper::kReadMode};
        installStorage(std::make_unique<HelperStorage>(helpers.starter()));
        {
            TestWin win;
            win.show();
            QVERIFY(QTest::qWaitForWindowExposed(&win));
            auto* label = child<QLabel>(&win, "lbNoPartition");
            QTRY_COMPARE(label->text(), shown("MainWin", "读取磁盘需要管理员密码"));
            VERIFY_TEXTS_FIT(&win);
        }
        installStorage(nullptr);  // the helpers end with their client
    }

    // The widest identity in the selector, its list, and on every page.
    void theWidestIdentity()
    {
        machine.use({fleetSystemDrive(), widestDrive(12)});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QCOMPARE(selector->currentText(), shown("MainWin", "物理磁盘%1  %2").arg(12).arg(kWidestModel));
        QVERIFY(child<QWidget>(&win, "life")->isVisible());
        VERIFY_TEXTS_FIT(&win);
        // The list's entry is elided by the list and whole in its tool tip.
        QCOMPARE(selector->itemData(0, Qt::ToolTipRole).toString(), selector->currentText());

        for (int page : {0, 1, 2}) {
            const char* names[] = {"Smart", "FmDataMigrate", "FwUpdate"};
            QWidget* shown = openedPage(win, page, names[page]);
            VERIFY_TEXTS_FIT(shown);
            openPage(win, page);
            QTRY_VERIFY(shown->isHidden());
        }
        win.ShowHelp();
        QWidget* about = child<QWidget>(&win, "HelpDlg");
        QTRY_COMPARE(about->height(), 376);  // dropped down
        VERIFY_TEXTS_FIT(about);
    }

    // Every text the program shows in its message dialog fits the dialog
    // at the size its callers give it.
    void messageDialogs_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        const QSize notice(300, 200);
        for (int code : {kFwOk, kFwPathEmpty, kFwSizeZero, kFwOpenFailed, kFwNoMemory, kFwReadFailed,
                         kFwCommandFailed, kFwTooLarge, kFwDriveChanged})
            QTest::addRow("firmware code %d", code) << shown("firmware", FwResultMessage(code).text) << notice;
        for (const char* text : {kFwLatestText, kFwNvmeText, kFwBusyText, kFwNotAuthorisedText, kFwDriveChangedText,
                                 kFwNoAccessText, kFwNotOpenedText})
            QTest::newRow(text) << shown("firmware", text) << notice;
        QTest::newRow(kFwDisksChangingText) << shown("FwUpdate", kFwDisksChangingText) << notice;
        QTest::newRow("closing during a transfer") << shown("MainWin", "正在升级固件，升级结束后才能关闭") << notice;
        QTest::newRow("quitting after a transfer")
            << shown("MainWin", "正在升级固件，升级结束前不能退出。是否在升级结束后退出？") << notice;
        QTest::newRow("setting not kept") << shown("MainWin", "设置未能保存，下次启动时需要重新选择") << notice;
        QTest::newRow("export, long path")
            << shown("Smart", "文件未能写入：%1")
                   .arg(QStringLiteral("/home/anna.li/Documents/\u200bSMART-Berichte/\u200b2026/\u200b"
                                       "Quartal-4/\u200bWerkstatt-Nord/\u200bsmart-QX-M7A0-120G.xlsx"))
            << notice;
        QTest::newRow("export, question") << shown("Smart", "文件已经导出，是否现在打开？") << notice;
        QTest::newRow("export, no program") << shown("Smart", "未找到可以打开此文件的程序") << notice;
        for (const char* text : {"正在测试，测试结束后才能关闭", "R/W测试将格式化磁盘，是否继续", "请选择容量", "请连接磁盘",
                                 "此磁盘是系统盘，不能进行测试", "4M盘不能进行读写测试", "启动失败"})
            QTest::newRow(text) << shown("SwUpdate", text) << notice;
        const FwUpdateTarget target{kWidestModel, QString(20, QLatin1Char('W')), QString(8, QLatin1Char('W')),
                                    4096.0, QStringLiteral("/usr/share/quillfence/FwUpdata/DCBFCBCC.bin"), 1048576};
        QTest::newRow("update question") << FwUpdateQuestion(target) << QSize(520, 400);
    }
    void messageDialogs()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QMessageDlg dialog;
        dialog.resize(size);
        dialog.setMessage(QStringLiteral(":/Quillfence/Resources/icon2.png"), text, 1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        VERIFY_TEXTS_FIT(&dialog);
        // The buttons keep their band at the bottom, below the text.
        QLabel* label = dialog.findChild<QLabel*>();
        QVERIFY(label->geometry().bottom() < 5 * (dialog.height() / 6));
    }
    // The SMART page and the window beside it, for each kind of drive.
    void smartPage_data()
    {
        QTest::addColumn<QString>("drive");
        const QString nvme = QStringLiteral(", \"bus\": \"nvme\"");
        QTest::newRow("the maker's drive") << widestDrive(2);
        QTest::newRow("an NVMe drive")
            << fleetDrive(2, QStringLiteral("Corvid NV3 1TB"),
                          nvme + fleetVolumes("D") + QStringLiteral(", \"health\": {\"percentageUsed\": 23}"));
        QTest::newRow("an NVMe drive without SMART")
            << fleetDrive(2, QStringLiteral("Corvid NV3 4TB"), nvme + QStringLiteral(", \"faults\": [\"smart\"]"));
        QTest::newRow("another maker's drive")
            << fleetDrive(2, QStringLiteral("Kestrel SSD 960G"),
                          fleetVolumes("DE") + QStringLiteral(", \"smart\": {\"attributes\": [{\"id\": 5, \"value\": "
                                                              "100, \"raw\": 0}, {\"id\": 9, \"value\": 99, \"raw\": "
                                                              "12345}, {\"id\": 194, \"value\": 64, \"raw\": 36}]}"));
    }
    void smartPage()
    {
        QFETCH(QString, drive);
        machine.use({fleetSystemDrive(), drive});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        VERIFY_TEXTS_FIT(&win);
        QWidget* page = openedPage(win, 0, "Smart");
        QVERIFY(page->height() > 0);
        VERIFY_TEXTS_FIT(page);
    }

    // The firmware page: the question before anything is sent, the page
    // while the transfer runs, the outcome and what the page says after it.
    void firmwareUpdate()
    {
        machine.use({fleetSystemDrive(), kUpdatable});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QWidget* page = openedPage(win, 2, "FwUpdate");
        QVERIFY(page->height() > 0);
        VERIFY_TEXTS_FIT(page);

        // The drive takes its first DOWNLOAD MICROCODE, then waits.
        auto* sim = dynamic_cast<SimulatedStorage*>(&storage());
        QVERIFY(sim);
        bool released = false;
        size_t downloads = 0;
        CommandGate gate(
            *sim, [&](int) { return released || downloads == 0; },
            [&] { downloads = sim->driveState(2).downloads().size(); });
        QStringList dialogsUnfit;
        const auto measure = [&](MessageLog::Answer answer) {
            return [&dialogsUnfit, answer](QMessageDlg* dialog) {
                dialogsUnfit << unfit(dialog);
                answer(dialog);
            };
        };
        MessageLog messages;
        messages.answers = {measure(confirm()), measure([](QMessageDlg* dialog) { dialog->accept(); })};
        QTest::mouseClick(child<QPushButton>(page, "btUpdate"), Qt::LeftButton);
        QTRY_VERIFY(win.devices().transferring());
        QTRY_VERIFY(child<QLabel>(page, "lbUpdateNote")->isVisible());
        QCOMPARE(messages.seen.size(), 1);
        QVERIFY(messages.seen[0].startsWith(shown("FwUpdate", "即将升级此磁盘的固件：")));
        VERIFY_TEXTS_FIT(page);

        gate.update([&](int) { released = true; });
        QTRY_VERIFY_WITH_TIMEOUT(!win.devices().transferring(), 20000);
        QTRY_COMPARE(messages.seen.size(), 2);
        QCOMPARE(messages.seen[1], shown("firmware", "固件升级成功"));
        QVERIFY2(dialogsUnfit.isEmpty(), qPrintable(dialogsUnfit.join(QStringLiteral("; "))));
        // What the drive reports after the update.
        QVERIFY(child<QLabel>(page, "lbUpdateNote")->isVisible());
        VERIFY_TEXTS_FIT(page);
    }

    // quillfence-flashtest's window, idle and while a test runs.
    void flashTestWindow()
    {
        machine.use({fleetSystemDrive(),
                     fleetDrive(2, kWidestModel.left(40), QString(), QString(8, QLatin1Char('W'))),
                     fleetDrive(3, QStringLiteral("QYD-M7A0-512G"))});
        FlashTestWindow window(nullptr, machine.folder(QStringLiteral("app")));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        VERIFY_TEXTS_FIT(&window);
        // The note shown while the tool runs.
        child<QWidget>(&window, "busyIndicator")->show();
        VERIFY_TEXTS_FIT(&window);
    }

    // The question the close button asks.
    void closeQuestion()
    {
        QMessageDlg dialog;
        dialog.resize(300, 200);
        dialog.setCloseChoice(1);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QCOMPARE(dialog.findChildren<QCheckBox*>().size(), 3);
        VERIFY_TEXTS_FIT(&dialog);
    }

    // The export's file dialog, opened from the SMART page.
    void exportDialog()
    {
        machine.use({fleetSystemDrive(), widestDrive(2)});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(listed(win));
        QWidget* page = openedPage(win, 0, "Smart");
        QVERIFY(page->height() > 0);
        QStringList dialogUnfit;
        QString title;
        bool seen = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &poll, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            poll.stop();
            seen = true;
            title = dialog->windowTitle();
            dialogUnfit = unfit(dialog);
            dialog->reject();
        });
        poll.start(10);
        QTest::mouseClick(child<QPushButton>(page, "btExport"), Qt::LeftButton);
        QTRY_VERIFY(seen);
        QCOMPARE(title, shown("Smart", "保存"));
        QVERIFY2(dialogUnfit.isEmpty(), qPrintable(dialogUnfit.join(QStringLiteral("; "))));
    }
};

QTEST_MAIN(TextFitTest)
#include "tst_textfit.moc"
