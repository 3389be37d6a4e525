#include "app/MainWin.h"
#include "app/SingleInstance.h"
#include "app/Startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    prepareProcess();
    QApplication app(argc, argv);
    prepareApplication();

    if (!acquireSingleInstanceLock())
        return refuseSecondInstance();

    MainWin window;
    window.setWindowFlags(kMainWindowFlags);
    window.show();
    return app.exec();
}
