#include "translations/Translations.h"

#include "files/UserSettings.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>

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

texts::Language chosenLanguage()
{
    return texts::shownLanguage(texts::choiceOfName(files::readUserSetting(texts::kLanguageSetting).value_or("")));
}
