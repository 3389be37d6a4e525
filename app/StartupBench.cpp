// Starts like the program and prints "paint NS", the wall-clock time in
// nanoseconds at its first painted window, and "list NS" once the disk list
// read after it is painted; then, idle, "pss KB", its proportional set size
// (Linux), and quits. With --bare it shows a plain window of the same size
// instead and prints "paint" and "pss", for comparison.
// scripts/measure-startup.sh runs it and takes the differences.

#include "app/MainWin.h"
#include "app/Startup.h"
#include "worker/DeviceWorker.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

namespace {

void printNow(const char* what)
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("%s %lld\n", what, static_cast<long long>(std::chrono::nanoseconds(now).count()));
    std::fflush(stdout);
}

// The process's proportional set size, where the system tells it, then quits.
void printMemoryAndQuit()
{
    if (std::FILE* rollup = std::fopen("/proc/self/smaps_rollup", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, rollup)) {
            long kb = 0;
            if (std::sscanf(line, "Pss: %ld kB", &kb) == 1) {
                std::printf("pss %ld\n", kb);
                break;
            }
        }
        std::fclose(rollup);
    }
    std::fflush(stdout);
    QCoreApplication::quit();
}

// Runs `then` once the next paint of the watched window has been delivered.
class NextPaint : public QObject {
public:
    void await(std::function<void()> then) { then_ = std::move(then); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && then_)
            QTimer::singleShot(0, std::exchange(then_, nullptr));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> then_;
};

}  // namespace

int main(int argc, char* argv[])
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
    if (!bare)
        prepareProcess();
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    NextPaint paint;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->resize(1120, 660);
        paint.await([] {
            printNow("paint");
            QTimer::singleShot(0, printMemoryAndQuit);
        });
    } else {
        prepareApplication();
        auto* main = new MainWin(nullptr, false);
        window.reset(main);
        window->setWindowFlags(kMainWindowFlags);
        // First paint; then the list, once it is shown and painted.
        paint.await([&paint, main] {
            printNow("paint");
            QObject::connect(&main->devices(), &DeviceWorker::diskListRead, main, [&paint] {
                paint.await([] {
                    printNow("list");
                    QTimer::singleShot(0, printMemoryAndQuit);
                });
            });
        });
    }
    window->installEventFilter(&paint);
    window->show();
    return app.exec();
}
