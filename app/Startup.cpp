#include "app/Startup.h"

#include "common/UiLanguage.h"
#include "disk/StorageBackend.h"
#include "files/UserSettings.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

void prepareProcess()
{
    selectStorageFromEnvironment();
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

void installTranslations(texts::Language language)
{
    Q_INIT_RESOURCE(quillfence_translations);
    if (language == texts::Language::English) {
        // The program's own texts; Qt's dialogs are English without a file.
        auto* texts = new QTranslator(qApp);
        if (texts->load(QStringLiteral(":/translations/quillfence_en.qm")))
            QCoreApplication::installTranslator(texts);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return;
    }
    // Qt's own dialogs (the export's file dialog) speak Chinese like the rest
    // of the window, whatever the system's language.
    auto* qtTexts = new QTranslator(qApp);
    if (qtTexts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qt"), QStringLiteral("_"),
                      QLibraryInfo::location(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        std::fprintf(stderr, "Qt's Chinese translations are not installed: Qt's dialogs stay in English\n");
}

void prepareApplication()
{
    // The window's X11 class (the desktop entry's StartupWMClass) and its
    // Wayland application id (the desktop entry's file name), whatever the
    // program file is called.
    QCoreApplication::setApplicationName(QStringLiteral("quillfence"));
    QGuiApplication::setDesktopFileName(QStringLiteral("example.quillfence.Quillfence"));
    installCjkFontSubstitutes();
    const auto choice = files::readUserSetting(texts::kLanguageSetting);
    installTranslations(texts::shownLanguage(texts::choiceOfName(choice.value_or(""))));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
}
