#include "app/Startup.h"

#include "disk/StorageBackend.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QIcon>

void prepareProcess()
{
    selectStorageFromEnvironment();
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

void prepareApplication()
{
    installCjkFontSubstitutes();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
}
