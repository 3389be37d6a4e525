#include "app/MainWin.h"
#include "app/SingleInstance.h"
#include "disk/StorageControl.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    selectStorageFromEnvironment();

    QApplication app(argc, argv);
    installCjkFontSubstitutes();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));

    if (!acquireSingleInstanceLock())
        return refuseSecondInstance();

    MainWin window;
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint);
    window.show();
    return app.exec();
}
