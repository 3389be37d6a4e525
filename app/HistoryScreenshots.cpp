// The history view and a notification of the watch, on the demo fleet, for
// the README (scripts/history-screenshots.sh). Run under an X server with
// XDG_DATA_HOME naming an empty folder of its own.
//   --history FILE        a year of the demo drive "QX M7A0 120G", its
//                         history view opened from the SMART page (range
//                         一年), saved as FILE
//   --notification        the drive's previous sample says 90 % of life: the
//                         window's first reading finds 8 % and notifies;
//                         prints "notified" and stays until it is ended
// Usage: quillfence-history-screenshots (--history FILE | --notification)

#include "app/HistoryDemo.h"
#include "app/MainWin.h"
#include "app/Startup.h"
#include "app/TrayWatch.h"
#include "history/view/HealthHistoryView.h"
#include "widgets/QMenuButton.h"

#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <cstdio>
#include <cstring>

namespace {

int fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char* argv[])
{
    const bool history = argc == 3 && std::strcmp(argv[1], "--history") == 0;
    const bool notification = argc == 2 && std::strcmp(argv[1], "--notification") == 0;
    if (!history && !notification)
        return fail("usage: quillfence-history-screenshots (--history FILE | --notification)");
    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();

    std::string error;
    const auto file = history::HealthStore::DefaultFile();
    auto store = file ? history::HealthStore::Open(*file, error) : nullptr;
    if (!store || !history_demo::FillHistory(*store, history ? 365 * 24 : 2, false, error, history ? 0 : 1))
        return fail(error.c_str());
    store.reset();

    MainWin window(nullptr, false);
    window.setWindowFlags(kMainWindowFlags);
    window.move(0, 0);
    auto* watch = window.findChild<TrayWatch*>();
    QSignalSpy recorded(watch, &TrayWatch::recorded);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return fail("the window was not shown: is an X server running?");
    if (!QTest::qWaitFor([&] { return recorded.count() >= 1; }, 60000))
        return fail("the first reading was not recorded");
    auto* selector = window.findChild<QComboBox*>(QStringLiteral("cbDiskInfo"));
    selector->setCurrentIndex(selector->findText(QStringLiteral("QX M7A0 120G"), Qt::MatchEndsWith));

    if (notification) {
        std::printf("notified\n");
        std::fflush(stdout);
        return app.exec();
    }
    auto* strip = window.findChild<QMenuButton*>(QStringLiteral("MenuButton"));
    QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(strip->width() / 6, 30));
    QTest::qWait(400);  // the page's slide
    window.findChild<QPushButton*>(QStringLiteral("btHistory"))->click();
    auto* view = window.findChild<HealthHistoryView*>();
    if (!view || !QTest::qWaitForWindowExposed(view))
        return fail("the history view was not shown");
    view->setRange(HealthHistoryView::Year);
    if (!QTest::qWaitFor([&] { return view->isLoaded(); }, 20000))
        return fail("the history was not loaded");
    QTest::qWait(300);
    const QRect area = window.geometry().united(view->geometry());
    const QPixmap shot = window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    if (!shot.save(QString::fromLocal8Bit(argv[2])))
        return fail("the screenshot could not be written");
    return 0;
}
