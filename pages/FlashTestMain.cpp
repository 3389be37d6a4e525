// quillfence-flashtest: the flash and read/write test page in a window of its
// own. Run it as administrator from the folder that holds "M7A0MP"; with
// QUILLFENCE_DEVICES naming a fleet file it lists that simulated fleet instead.

#include "common/ProgramInfo.h"
#include "disk/StorageBackend.h"
#include "pages/FlashTestWindow.h"
#include "translations/Translations.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QIcon>

namespace {

std::string helpText()
{
    return std::string("usage: quillfence-flashtest [--help | --version] [Qt options]\n"
                       "\n"
                       "The flash and read/write test of the maker's drives through the maker's\n"
                       "mass-production tool. Keep this program in the folder that holds M7A0MP and\n"
                       "start it as administrator from a writable working directory.\n"
                       "\n"
                       "  --help     print this help and exit\n"
                       "  --version  print the version and exit\n"
                       "\n"
                       "Set ") +
           kDevicesVariable + " to a fleet file to list a simulated machine's disks.\n";
}

}  // namespace

int main(int argc, char *argv[])
{
    if (const auto answered = answerHelpOrVersion(argc, argv, "quillfence-flashtest", helpText()))
        return *answered;

    QApplication app(argc, argv);
    installCjkFontSubstitutes();
    // The main window's language: the user's choice or the system's.
    installTranslations(chosenLanguage());
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
    selectStorageFromEnvironment();

    FlashTestWindow window;
    window.show();
    return app.exec();
}
