#include "app/InstanceCalls.h"
#include "app/MainWin.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"
#include "common/ProgramInfo.h"
#include "disk/simulated/DeviceLog.h"
#include "disk/StorageBackend.h"

#include <QApplication>

namespace {

std::string helpText()
{
    return std::string("usage: quillfence [--help | --version] [Qt options]\n"
                       "\n"
                       "SSD Quillfence: the physical disks of this machine with their partitions, the\n"
                       "SMART table, health and remaining life of the maker's solid-state drives, and\n"
                       "their firmware update. Reading drives needs administrator rights.\n"
                       "\n"
                       "  --help     print this help and exit\n"
                       "  --version  print the version and exit\n"
                       "\n"
                       "Set ") +
           kDevicesVariable + " to a fleet file to show a simulated machine, and\n" + kDeviceLogVariable +
           " to a file to log every command its drives receive.\n"
           "A second start while the window runs shows a warning, brings the running\n"
           "window back and exits with 1.\n";
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before anything touches a display or a drive.
    if (const auto answered = answerHelpOrVersion(argc, argv, "quillfence", helpText()))
        return *answered;

    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();

    // A second start says so, then brings the running window back (after the
    // box, which would otherwise take the focus from it).
    if (!acquireSingleInstanceLock()) {
        const int code = refuseSecondInstance();
        callRunningInstance();
        return code;
    }
    InstanceCalls calls;

    MainWin window;
    QObject::connect(&calls, &InstanceCalls::showRequested, &window, &MainWin::bringBack);
    window.setWindowFlags(kMainWindowFlags);
    window.show();
    return app.exec();
}
