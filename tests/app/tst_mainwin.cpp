// The main window on simulated machines: refresh cycle, selection, life and
// health, close behaviour with its settings file, tray, pages and hot-plug.

#include "app/CloseSettings.h"
#include "app/MainWin.h"
#include "disk/StorageBackend.h"
#include "disk/simulated/SimulatedStorage.h"
#include "widgets/DiskWidget.h"
#include "widgets/QMenuButton.h"
#include "widgets/QRoundProgressBar.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// A window whose end of process is recorded instead of carried out.
class TestWin : public MainWin {
public:
    explicit TestWin(bool useTray = true) : MainWin(nullptr, useTray) {}
    int exitCode = -1;

protected:
    void endProcess(int code) override { exitCode = code; }
};

QString drive(int number, const QString& model, const QString& extra = QString())
{
    const QString identity = model.isEmpty() ? QString()
                                             : QStringLiteral(", \"identity\": {\"serial\": \"S%1\", \"model\": \"%2\", "
                                                              "\"firmware\": \"F1\"}")
                                                   .arg(number)
                                                   .arg(model);
    return QStringLiteral("{\"number\": %1, \"length\": 128035676160%2%3}").arg(number).arg(identity, extra);
}

QString volumes(const QString& letters)
{
    QStringList list;
    for (QChar letter : letters)
        list << QStringLiteral("{\"letter\": \"%1\", \"total\": 10737418240, \"free\": 5368709120}").arg(letter);
    return QStringLiteral(", \"volumes\": [%1]").arg(list.join(", "));
}

const QString kSystemDrive = drive(0, QStringLiteral("System"), volumes(QStringLiteral("C")));

// Runs `answer` on the next modal widget shown.
void onNextModal(std::function<void(QWidget*)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal, "a modal dialog was expected");
        answer(modal);
    });
}

// Ticks the close-choice boxes and confirms with Return.
void answerCloseChoice(bool quit, bool remember, bool* asked = nullptr)
{
    onNextModal([=](QWidget* dialog) {
        if (asked)
            *asked = true;
        QCOMPARE(dialog->objectName(), QStringLiteral("QVMsgBox"));
        for (QCheckBox* box : dialog->findChildren<QCheckBox*>()) {
            if (box->text() == QStringLiteral("退出软件") && quit)
                box->click();
            if (box->text() == QStringLiteral("记住我的选择") && box->isChecked() != remember)
                box->click();
        }
        QTest::keyClick(dialog, Qt::Key_Return);
    });
}

}  // namespace

class MainWinTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString fleetPath;

    void save(const QByteArray& fleet)
    {
        QFile file(fleetPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(fleet);
    }
    void machine(const QStringList& drives)
    {
        save(QStringLiteral("{\"drives\": [%1]}").arg(drives.join(", ")).toUtf8());
        selectStorageFromEnvironment();
    }
    template <typename T>
    static T* child(QWidget* window, const char* name)
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no child %s", name);
        return found;
    }
    static QStringList entries(QWidget* window)
    {
        QStringList texts;
        auto* selector = child<QComboBox>(window, "cbDiskInfo");
        for (int i = 0; i < selector->count(); ++i)
            texts << selector->itemText(i);
        return texts;
    }
    static bool makerWidgetsShown(QWidget* window)
    {
        bool shown = true;
        for (const char* name : {"lbLifeRemain", "lbNameStauts", "lbNameSSD", "life", "lbPicSSD", "lbPicStatus"})
            shown = shown && !child<QWidget>(window, name)->isHidden();
        return shown;
    }
    static void writeConfig(const QByteArray& content)
    {
        QFile file(closeSettingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }
    static QByteArray readConfig()
    {
        QFile file(closeSettingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        fleetPath = dir.filePath("fleet.json");
        qputenv(kDevicesVariable, fleetPath.toUtf8());
    }
    void cleanup()
    {
        QFile::remove(closeSettingsPath());
        QDir(closeSettingsPath()).removeRecursively();
    }

    void onlyTheSystemDiskShowsTheNoDiskState()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        QVERIFY(entries(&win).isEmpty());
        QVERIFY(!child<QLabel>(&win, "lbNoPartition")->isHidden());
        QVERIFY(!makerWidgetsShown(&win));
        QTRY_COMPARE(child<QLabel>(&win, "lbNUM")->text(), QStringLiteral("0"));
    }

    void selectionIsKeptByDiskNumberAcrossRefreshes()
    {
        machine({kSystemDrive, drive(2, "Two"), drive(3, "Three"), drive(12, "Twelve")});
        TestWin win;
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two", "物理磁盘3  Three", "物理磁盘12  Twelve"}));
        selector->setCurrentIndex(1);

        // Drive 2 now fails its identity read and so loses its entry.
        machine({kSystemDrive, drive(2, QString()), drive(3, "Three"), drive(12, "Twelve")});
        win.RefreshDiskList();
        QCOMPARE(entries(&win), QStringList({"物理磁盘3  Three", "物理磁盘12  Twelve"}));
        QCOMPARE(selector->currentText(), QStringLiteral("物理磁盘3  Three"));
    }

    void receiversGetTheEmptySlotThenTheFirstThenThePreviousDisk()
    {
        machine({kSystemDrive, drive(2, "Two"), drive(12, "Twelve")});
        TestWin win;
        child<QComboBox>(&win, "cbDiskInfo")->setCurrentIndex(1);
        QStringList received;
        connect(&win, &MainWin::SendDiskInfo, this, [&](PhyDiskInfo& record) {
            received << QStringLiteral("%1:%2").arg(record.diskNum).arg(QString::fromLatin1(record.model));
        });
        win.RefreshDiskList();
        QCOMPARE(received, QStringList({"2:", "2:Two", "12:Twelve"}));

        received.clear();
        machine({kSystemDrive});
        win.RefreshDiskList();
        QCOMPARE(received, QStringList({"0:"}));  // the all-zero first slot clears the pages
        QVERIFY(!child<QLabel>(&win, "lbNoPartition")->isHidden());
        QCOMPARE(child<DiskWidget>(&win, "LogicDisk")->itemCount(), 0);
    }

    void aFailedListLeavesTheWindowAsItWas()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        QFile::remove(fleetPath);
        selectStorageFromEnvironment();  // an empty machine: no system disk
        win.RefreshDiskList();
        QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
    }

    void partitionsInOneOrTwoColumns()
    {
        machine({kSystemDrive, drive(2, "Four", volumes("DEFG")), drive(3, "Six", volumes("HIJKLM"))});
        TestWin win;
        auto* bars = child<DiskWidget>(&win, "LogicDisk");
        QCOMPARE(bars->itemCount(), 4);
        QCOMPARE(bars->columns(), 1);
        QCOMPARE(bars->fontSize(), 11);
        QVERIFY(child<QLabel>(&win, "lbNoPartition")->isHidden());
        child<QComboBox>(&win, "cbDiskInfo")->setCurrentIndex(1);
        QCOMPARE(bars->itemCount(), 6);
        QCOMPARE(bars->columns(), 2);
        QCOMPARE(bars->fontSize(), 9);
    }

    void makerWidgetsFollowTheSelectedDisk()
    {
        machine({kSystemDrive, drive(2, "QY-M7A0-256G"), drive(3, "Plain")});
        TestWin win;
        auto* selector = child<QComboBox>(&win, "cbDiskInfo");
        QVERIFY(makerWidgetsShown(&win));
        selector->setCurrentIndex(1);
        for (const char* name : {"lbLifeRemain", "lbNameStauts", "lbNameSSD", "life", "lbPicSSD", "lbPicStatus"})
            QVERIFY2(child<QWidget>(&win, name)->isHidden(), name);
    }

    void lifeSetsTheRingAndTheHealthLevel_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<QString>("text");
        QTest::newRow("29") << 29 << "健康指标：警告";
        QTest::newRow("30") << 30 << "健康指标：正常";
        QTest::newRow("79") << 79 << "健康指标：正常";
        QTest::newRow("80") << 80 << "健康指标：良好";
        QTest::newRow("101 moves only the ring") << 101 << "健康指标：优秀";
    }
    void lifeSetsTheRingAndTheHealthLevel()
    {
        QFETCH(int, percent);
        QFETCH(QString, text);
        machine({kSystemDrive});
        TestWin win;
        win.getLife(percent);
        QCOMPARE(child<QLabel>(&win, "lbNameStauts")->text(), text);
        QCOMPARE(child<QRoundProgressBar>(&win, "life")->value(), double(percent));
    }

    void copyPutsTheSelectorTextOnTheClipboard()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        win.CopyPhyDiskInf();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("物理磁盘2  Two"));
    }

    void closeBehaviour_data()
    {
        QTest::addColumn<QByteArray>("config");  // "<absent>" for no file
        QTest::addColumn<int>("answer");          // -1: no question expected
        QTest::addColumn<bool>("hidden");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("absent, hide remembered") << QByteArray("<absent>") << 0 << true << -1 << QByteArray("0\n");
        QTest::newRow("absent, quit remembered") << QByteArray("<absent>") << 1 << false << 0 << QByteArray("1\n");
        QTest::newRow("0 hides without asking") << QByteArray("0\n") << -1 << true << -1 << QByteArray("0\n");
        QTest::newRow("1 quits without asking") << QByteArray("1\n") << -1 << false << 0 << QByteArray("1\n");
        QTest::newRow("2 asks again, hide once") << QByteArray("2\n") << 2 << true << -1 << QByteArray("2\n");
        QTest::newRow("2 asks again, quit once") << QByteArray("2\n") << 3 << false << 0 << QByteArray("3\n");
        QTest::newRow("3 asks again, hide remembered") << QByteArray("3\n") << 0 << true << -1 << QByteArray("0\n");
        QTest::newRow("last line abc counts as 0") << QByteArray("1\nabc\n") << -1 << true << -1 << QByteArray("1\nabc\n");
        QTest::newRow("7 does nothing") << QByteArray("7\n") << -1 << false << -1 << QByteArray("7\n");
    }
    void closeBehaviour()
    {
        QFETCH(QByteArray, config);
        QFETCH(int, answer);
        QFETCH(bool, hidden);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, written);
        machine({kSystemDrive});
        if (config != "<absent>")
            writeConfig(config);
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        bool asked = false;
        // A question that should not come is recorded and dismissed.
        QTimer unexpected;
        connect(&unexpected, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                asked = true;
                QTest::keyClick(modal, Qt::Key_Escape);
            }
        });
        if (answer >= 0)
            answerCloseChoice(answer & 1, !(answer & 2), &asked);
        else
            unexpected.start(100);
        win.onButtonCloseClicked();
        QCOMPARE(asked, answer >= 0);
        QCOMPARE(win.exitCode, exitCode);
        if (exitCode < 0)  // a closed window is hidden anyway
            QCOMPARE(win.isHidden(), hidden);
        QCOMPARE(readConfig(), written);
    }

    void aCancelledQuestionChangesNothing()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        onNextModal([](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
        win.onButtonCloseClicked();
        QVERIFY(!win.isHidden());
        QCOMPARE(readConfig(), QByteArray("<absent>"));
    }

    void anUnreadableOrUnwritableConfigShowsTheWarning()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        QString title, text;
        auto readWarning = [&](QWidget* box) {
            title = box->windowTitle();
            text = qobject_cast<QMessageBox*>(box)->text();
            qobject_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        };
        // A folder named config cannot be read as a file.
        QVERIFY(QDir().mkpath(closeSettingsPath()));
        onNextModal(readWarning);
        win.onButtonCloseClicked();
        QCOMPARE(title, QStringLiteral("file write"));
        QCOMPARE(text, QStringLiteral("can't open"));
        QVERIFY(!win.isHidden());
        QDir(closeSettingsPath()).removeRecursively();

        // A config that points nowhere can be neither found nor created.
        QVERIFY(QFile::link(dir.filePath("missing/config"), closeSettingsPath()));
        title.clear();
        answerCloseChoice(false, true);
        QTimer::singleShot(50, [&] { onNextModal(readWarning); });
        win.onButtonCloseClicked();
        QCOMPARE(title, QStringLiteral("file write"));
        QVERIFY2(win.isHidden(), "the window action taken stands");
    }

    void trayDoubleClickRestoresAndQuitAlwaysQuits()
    {
        machine({kSystemDrive});
        writeConfig("0\n");
        TestWin win;
        win.show();
        win.onButtonCloseClicked();
        QVERIFY(win.isHidden());
        win.iconIsActived(QSystemTrayIcon::Trigger);
        QVERIFY2(win.isHidden(), "a single click does nothing");
        win.iconIsActived(QSystemTrayIcon::DoubleClick);
        QVERIFY(!win.isHidden());
        win.slotCloseAction();
        QCOMPARE(win.exitCode, 0);  // 退出 quits even with config 0
    }

    void withoutATrayHidingMinimises()
    {
        machine({kSystemDrive});
        writeConfig("0\n");
        TestWin win(false);
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        win.onButtonCloseClicked();
        QVERIFY(!win.isHidden());
        QVERIFY(win.windowState() & Qt::WindowMinimized);
    }

    void pagesOpenAndCloseWithTheStrip()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        win.show();
        QVERIFY(QTest::qWaitForWindowExposed(&win));
        auto* strip = child<QMenuButton>(&win, "MenuButton");
        const QStringList pages = {"Smart", "FmDataMigrate", "FwUpdate"};
        auto page = [&](int i) { return win.findChild<QWidget*>(pages[i]); };
        auto press = [&](int i) {
            QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + i * strip->width() / 3, 30));
        };
        for (int i = 0; i < 3; ++i)
            QVERIFY2(page(i) && page(i)->isHidden(), qPrintable(pages[i]));

        press(0);
        QVERIFY(!page(0)->isHidden());
        press(2);
        QVERIFY2(page(0)->isHidden(), "opening one page hides the other at once");
        QVERIFY(!page(2)->isHidden());
        press(2);
        QTRY_VERIFY(page(2)->isHidden());
        for (int i = 0; i < 3; ++i)
            QVERIFY(page(i)->isHidden());
    }

    void theAboutPanelDropsOnceAndHidesWithItsButton()
    {
        machine({kSystemDrive});
        TestWin win;
        win.show();
        auto* arrow = child<QLabel>(&win, "label_2");
        QWidget* panel = win.findChild<QWidget*>("HelpDlg");
        QVERIFY(panel && panel->isHidden() && arrow->isHidden());
        win.ShowHelp();
        win.ShowHelp();
        QVERIFY(!panel->isHidden());
        QVERIFY(!arrow->isHidden());
        QPushButton* close = panel->findChild<QPushButton*>();
        QVERIFY(close);
        close->click();
        QVERIFY(panel->isHidden());
        QVERIFY(arrow->isHidden());
    }

    void aChangedFleetFileRefreshesOncePerBurst()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        int refreshes = 0;
        connect(child<QComboBox>(&win, "cbDiskInfo"), QOverload<int>::of(&QComboBox::currentIndexChanged), this,
                [&](int index) { refreshes += index == -1; });
        for (int i = 0; i < 3; ++i) {
            machine({kSystemDrive, drive(2, "Two"), drive(5, "Five")});
            QTest::qWait(20);
        }
        QTRY_COMPARE(entries(&win), QStringList({"物理磁盘2  Two", "物理磁盘5  Five"}));
        QTest::qWait(500);
        QCOMPARE(refreshes, 1);

        machine({kSystemDrive, drive(5, "Five")});
        QTRY_COMPARE(entries(&win), QStringList({"物理磁盘5  Five"}));
    }

    // A fleet file saved with values of the wrong type or beyond range is read
    // again as an empty machine (with a message), the window keeps its list,
    // and the next good save is read as ever.
    void aBadFleetFileSavedWhileRunningLeavesTheWindowAsItWas()
    {
        machine({kSystemDrive, drive(2, "Two")});
        TestWin win;
        const QByteArray bad[] = {
            "{\"drives\": [{\"number\": 0, \"length\": 1, \"smart\": {\"marker\": \"yes\"}}]}",
            "{\"drives\": [{\"number\": 0, \"length\": 1e400}]}",
        };
        for (const QByteArray& fleet : bad) {
            save(fleet);
            QTRY_VERIFY(dynamic_cast<SimulatedStorage&>(storage()).fleet().drives.empty());
            QTest::qWait(400);  // the refresh after the burst settles
            QCOMPARE(entries(&win), QStringList({"物理磁盘2  Two"}));
            machine({kSystemDrive, drive(2, "Two")});
        }
        save(QStringLiteral("{\"drives\": [%1]}").arg(QStringList({kSystemDrive, drive(7, "Seven")}).join(", ")).toUtf8());
        QTRY_COMPARE(entries(&win), QStringList({"物理磁盘7  Seven"}));
    }
};

QTEST_MAIN(MainWinTest)
#include "tst_mainwin.moc"
