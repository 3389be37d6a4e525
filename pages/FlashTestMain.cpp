// quillfence-flashtest: the flash and read/write test page in a window of its
// own. Run it as administrator from the folder that holds "M7A0MP"; with
// QUILLFENCE_DEVICES naming a fleet file it lists that simulated fleet instead.

#include "disk/StorageBackend.h"
#include "pages/FlashTestWindow.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installCjkFontSubstitutes();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
    selectStorageFromEnvironment();

    FlashTestWindow window;
    window.show();
    return app.exec();
}
