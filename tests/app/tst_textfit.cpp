// Every text the window adds fits where it is shown, or wraps, or is elided
// with "…" and shown whole in a tool tip: in each state of the main window,
// on its pages and in every message dialog the program shows.

#include "MainWinFixture.h"
#include "TextFitCheck.h"

#include "CommandGate.h"
#include "ServedHelper.h"
#include "disk/simulated/SimulatedStorage.h"
#include "firmware/FwResult.h"
#include "pages/FwUpdateTexts.h"
#include "widgets/QMenuButton.h"

#include <QComboBox>

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

private slots:
    // The left half says why it shows no partition bars.
    void emptyStates_data()
    {
        QTest::addColumn<QStringList>("drives");
        QTest::addColumn<QString>("message");

        QTest::newRow("only the system disk, offered") << QStringList{fleetSystemDrive()} << "系统盘未列出";
        const QString refused = QStringLiteral(", \"faults\": [\"openReadWrite\"]");
        QTest::newRow("no rights") << QStringList{fleetSystemDrive(), fleetDrive(2, "Two", refused)} << "需要管理员权限";
        QTest::newRow("no partition") << QStringList{fleetSystemDrive(), fleetDrive(2, "Bare")} << "未能检测分区";
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
        QCOMPARE(child<QLabel>(&win, "lbNoPartition")->text(), QStringLiteral("正在读取磁盘…"));
        QCOMPARE(child<QPushButton>(&win, "btRefresh")->text(), QStringLiteral("刷新中"));
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
            QTRY_COMPARE(label->text(), QStringLiteral("读取磁盘需要管理员密码"));
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
        QCOMPARE(selector->currentText(), QStringLiteral("物理磁盘12  ") + kWidestModel);
        QVERIFY(child<QWidget>(&win, "life")->isVisible());
        VERIFY_TEXTS_FIT(&win);
        // The list's entry is elided by the list and whole in its tool tip.
        QCOMPARE(selector->itemData(0, Qt::ToolTipRole).toString(), selector->currentText());

        for (int page : {0, 1, 2}) {
            openPage(win, page);
            const char* names[] = {"Smart", "FmDataMigrate", "FwUpdate"};
            QWidget* shown = child<QWidget>(&win, names[page]);
            QTRY_VERIFY(shown->isVisible());
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
            QTest::addRow("firmware code %d", code) << QString::fromUtf8(FwResultMessage(code).text) << notice;
        for (const char* text : {kFwLatestText, kFwNvmeText, kFwBusyText, kFwNotAuthorisedText, kFwDriveChangedText,
                                 kFwNoAccessText, kFwNotOpenedText, kFwDisksChangingText})
            QTest::newRow(text) << QString::fromUtf8(text) << notice;
        QTest::newRow("closing during a transfer") << QStringLiteral("正在升级固件，升级结束后才能关闭") << notice;
        QTest::newRow("quitting after a transfer")
            << QStringLiteral("正在升级固件，升级结束前不能退出。是否在升级结束后退出？") << notice;
        QTest::newRow("export, long path")
            << QStringLiteral("文件未能写入：/home/anna.li/Documents/\u200bSMART-Berichte/\u200b2026/\u200b"
                              "Quartal-4/\u200bWerkstatt-Nord/\u200bsmart-QX-M7A0-120G.xlsx")
            << notice;
        QTest::newRow("export, question") << QStringLiteral("文件已经导出，是否现在打开？") << notice;
        QTest::newRow("export, no program") << QStringLiteral("未找到可以打开此文件的程序") << notice;
        QTest::newRow("flash test, closing") << QStringLiteral("正在测试，测试结束后才能关闭") << notice;
        QTest::newRow("flash test, format") << QStringLiteral("R/W测试将格式化磁盘，是否继续") << notice;
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
};

QTEST_MAIN(TextFitTest)
#include "tst_textfit.moc"
