// Starts like the program and prints, at its first painted window, the
// wall-clock time in nanoseconds; then quits. With --bare it shows a plain
// window of the same size instead, for comparison.
// scripts/measure-startup.sh runs it and takes the differences.

#include "app/MainWin.h"
#include "app/Startup.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Report once this paint has been delivered.
            QTimer::singleShot(0, [] {
                const auto now = std::chrono::system_clock::now().time_since_epoch();
                std::printf("%lld\n", static_cast<long long>(std::chrono::nanoseconds(now).count()));
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[])
{
    const bool bare = argc > 1 && std::strcmp(argv[1], "--bare") == 0;
    if (!bare)
        prepareProcess();
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->resize(1120, 660);
    } else {
        prepareApplication();
        window = std::make_unique<MainWin>(nullptr, false);
        window->setWindowFlags(kMainWindowFlags);
    }
    FirstPaint firstPaint;
    window->installEventFilter(&firstPaint);
    window->show();
    return app.exec();
}
