// Takes the README's screenshots of the window on the demo fleet: the main
// window with a maker's drive, the selector's drop-down list, the SMART page,
// the firmware-detection page, the SMART page of an NVMe drive and the close
// question. Run under an X server
// (scripts/screenshots.sh). With --close-question-only only the close
// question is taken, under the name given (for an X server without a
// compositing manager). With --firmware-update the update of drive "QX M7A0
// 120G" is run instead, and its question, its progress bar and its result
// are taken as PREFIXquestion.png, PREFIXprogress.png and PREFIXresult.png
// (for a fleet whose drive answers slowly, with an image in FwUpdata beside
// the program). With --tour every page and state of the demo fleet is taken
// as the screen shows it, dialogs and the About panel included, each as
// PREFIXname.png: for looking over the layout in each language.
// Usage: quillfence-screenshots OUTPUT_DIR [--close-question-only NAME | --firmware-update PREFIX | --tour PREFIX]

#include "app/CloseSettings.h"
#include "app/MainWin.h"
#include "app/Startup.h"
#include "pages/FlashTestWindow.h"
#include "widgets/QMenuButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

void save(QWidget& window, const QString& path)
{
    QApplication::processEvents();
    QTest::qWait(400);  // let the slide animations end
    const QPixmap shot = window.screen()->grabWindow(0, window.x(), window.y(), window.width(), window.height());
    if (!shot.save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

void selectDisk(QWidget& window, const QString& model)
{
    auto* selector = window.findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
    selector->setCurrentIndex(selector->findText(model, Qt::MatchEndsWith));
}

// The list open, with the mouse over the entry of `model`.
void hoverEntry(QWidget& window, const QString& model)
{
    auto* selector = window.findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
    selector->showPopup();
    QAbstractItemView* list = selector->view();
    if (!QTest::qWaitForWindowExposed(list->window()))
        std::fprintf(stderr, "the selector's list was not shown\n");
    const QModelIndex entry = list->model()->index(selector->findText(model, Qt::MatchEndsWith), 0);
    QTest::mouseMove(list->viewport(), list->visualRect(entry).center());
}

void pressPage(QWidget& window, int index)
{
    auto* strip = window.findChild<QMenuButton*>(QStringLiteral("MenuButton"));
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6 + index * strip->width() / 3, 30));
}

// The question (answered 确定), the transfer under way and its result.
int firmwareUpdate(MainWin& window, const QDir& out, const QString& prefix)
{
    selectDisk(window, QStringLiteral("QX M7A0 120G"));
    pressPage(window, 2);
    QTest::qWait(400);
    QWidget* page = window.findChild<QWidget*>(QStringLiteral("FwUpdate"));
    QTimer::singleShot(500, [&] {
        save(window, out.filePath(prefix + "question.png"));
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return);
    });
    page->findChild<QPushButton*>(QStringLiteral("btUpdate"))->click();
    auto* bar = page->findChild<QProgressBar*>(QStringLiteral("pbTransfer"));
    if (!QTest::qWaitFor([bar] { return bar->isVisible() && bar->value() >= 2; }, 30000)) {
        std::fprintf(stderr, "the transfer did not get under way\n");
        return 1;
    }
    save(window, out.filePath(prefix + "progress.png"));
    // The result comes in a modal dialog, whose own event loop runs until it
    // is answered: it is taken and answered from a timer.
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget(); dialog && !answered) {
            answered = true;
            save(window, out.filePath(prefix + "result.png"));
            QTest::keyClick(dialog, Qt::Key_Return);
        }
    });
    poll.start(100);
    if (!QTest::qWaitFor([&answered] { return answered; }, 60000)) {
        std::fprintf(stderr, "the transfer did not end\n");
        return 1;
    }
    return 0;
}

// The whole screen, with whatever dialogs and windows are open.
void saveScreen(const QString& path)
{
    QApplication::processEvents();
    QTest::qWait(400);
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(path))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
}

// Takes the screen while the next modal dialog is open, then closes it.
void takeNextModal(const QString& path)
{
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, path] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        saveScreen(path);
        if (auto* box = qobject_cast<QDialog*>(dialog))
            box->reject();
    });
    poll->start(100);
}

int tour(MainWin& window, const QDir& out, const QString& prefix)
{
    const auto shot = [&](const char* name) { saveScreen(out.filePath(prefix + QLatin1String(name) + ".png")); };
    const struct {
        const char* model;
        const char* name;
    } drives[] = {
        {"QYD-M7A0-512G", "main-maker"},         {"QX M7A0 120G", "main-no-partition"},
        {"Corvid NV3 1TB", "main-nvme"},         {"Kestrel HD1000 7200", "main-other-maker"},
        {"Plain SATA SSD", "main-smart-unreadable"},
    };
    for (const auto& drive : drives) {
        selectDisk(window, QString::fromLatin1(drive.model));
        shot(drive.name);
    }
    auto* selector = window.findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
    selector->setCurrentIndex(selector->count() - 1);
    shot("main-last-entry");
    hoverEntry(window, QStringLiteral("QV-PNDX480G-M7B0"));
    shot("selector-list");
    selector->hidePopup();

    const struct {
        const char* model;
        const char* name;
    } smartPages[] = {
        {"QYD-M7A0-512G", "smart-maker"},
        {"Corvid NV3 1TB", "smart-nvme"},
        {"Generic SSD 512GB", "smart-other-maker"},
        {"Plain SATA SSD", "smart-unreadable"},
    };
    pressPage(window, 0);
    for (const auto& page : smartPages) {
        selectDisk(window, QString::fromLatin1(page.model));
        shot(page.name);
    }
    // The export's file dialog, and the history view.
    selectDisk(window, QStringLiteral("QYD-M7A0-512G"));
    QWidget* smart = window.findChild<QWidget*>(QStringLiteral("Smart"));
    takeNextModal(out.filePath(prefix + "export-dialog.png"));
    smart->findChild<QPushButton*>(QStringLiteral("btExport"))->click();
    smart->findChild<QPushButton*>(QStringLiteral("btHistory"))->click();
    shot("history");
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top != &window && top->isVisible() && top->objectName() != QLatin1String("QVMsgBox"))
            top->close();
    pressPage(window, 0);
    QTest::qWait(400);

    pressPage(window, 1);
    shot("detection");
    pressPage(window, 1);
    QTest::qWait(400);
    pressPage(window, 2);
    shot("update");
    selectDisk(window, QStringLiteral("Corvid NV3 1TB"));
    takeNextModal(out.filePath(prefix + "update-nvme-notice.png"));
    window.findChild<QWidget*>(QStringLiteral("FwUpdate"))->findChild<QPushButton*>(QStringLiteral("btUpdate"))->click();
    pressPage(window, 2);
    QTest::qWait(400);

    window.ShowHelp();
    shot("about");
    window.findChild<QWidget*>(QStringLiteral("HelpDlg"))->findChild<QPushButton*>()->click();
    QTest::qWait(400);

    FlashTestWindow flashTest(nullptr, QCoreApplication::applicationDirPath());
    flashTest.move(0, 0);
    flashTest.show();
    QTest::qWaitForWindowExposed(&flashTest);
    shot("flash-test");
    takeNextModal(out.filePath(prefix + "flash-test-notice.png"));
    flashTest.findChild<QPushButton*>(QStringLiteral("btTest"))->click();
    flashTest.hide();

    takeNextModal(out.filePath(prefix + "close-question.png"));
    window.onButtonCloseClicked();
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool closeQuestionOnly = argc == 4 && std::strcmp(argv[2], "--close-question-only") == 0;
    const bool firmware = argc == 4 && std::strcmp(argv[2], "--firmware-update") == 0;
    const bool wholeTour = argc == 4 && std::strcmp(argv[2], "--tour") == 0;
    if (argc != 2 && !closeQuestionOnly && !firmware && !wholeTour) {
        std::fprintf(stderr, "usage: quillfence-screenshots OUTPUT_DIR [--close-question-only NAME | --firmware-update "
                             "PREFIX | --tour PREFIX]\n");
        return 2;
    }
    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();
    const QDir out(QString::fromLocal8Bit(argv[1]));

    MainWin window(nullptr, false);
    window.setWindowFlags(kMainWindowFlags);
    window.move(0, 0);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown: is an X server running?\n");
        return 1;
    }
    if (!QTest::qWaitFor([&window] { return !window.readingDisks(); }, 60000)) {
        std::fprintf(stderr, "the disk list was not read\n");
        return 1;
    }
    if (firmware)
        return firmwareUpdate(window, out, QString::fromLocal8Bit(argv[3]));
    if (wholeTour)
        return tour(window, out, QString::fromLocal8Bit(argv[3]));

    selectDisk(window, QStringLiteral("QX M7A0 120G"));
    if (!closeQuestionOnly) {
        save(window, out.filePath("main-window.png"));
        hoverEntry(window, QStringLiteral("QV-PNDX480G-M7B0"));
        save(window, out.filePath("selector-list.png"));
        window.findChild<QComboBox*>(QStringLiteral("cbDiskInfo"))->hidePopup();
        pressPage(window, 0);
        save(window, out.filePath("smart-page.png"));
        pressPage(window, 1);
        save(window, out.filePath("detection-page.png"));
        pressPage(window, 1);
        QTest::qWait(400);
        selectDisk(window, QStringLiteral("Corvid NV3 1TB"));
        pressPage(window, 0);
        save(window, out.filePath("nvme-smart-page.png"));
        pressPage(window, 0);
        QTest::qWait(400);
    }

    // The close question, with the mask over the window; cancelled, so
    // nothing is written.
    if (closeSettingExists(closeSettingsPath())) {
        std::fprintf(stderr, "%s exists, so closing asks nothing: no close-question.png\n",
                     qPrintable(closeSettingsPath()));
        return 1;
    }
    QTimer::singleShot(500, [&] {
        save(window, out.filePath(closeQuestionOnly ? QString::fromLocal8Bit(argv[3]) : "close-question.png"));
        QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Escape);
    });
    window.onButtonCloseClicked();
    return 0;
}
