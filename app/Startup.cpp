#include "app/Startup.h"

#include "disk/StorageBackend.h"
#include "translations/Translations.h"
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
    // The window's X11 class (the desktop entry's StartupWMClass) and its
    // Wayland application id (the desktop entry's file name), whatever the
    // program file is called.
    QCoreApplication::setApplicationName(QStringLiteral("quillfence"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillfence.Quillfence"));
    installCjkFontSubstitutes();
    installTranslations(chosenLanguage());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
}
