// smartpage-screenshot: the SMART page showing one of the example drives,
// saved as a PNG, for looking at it and for the README.
//
//   smartpage-screenshot FILE [SAMPLE]
//
// SAMPLE is a label of the example drives (default "m7a0-120g-worn", whose
// table has blue and red statuses). Run it under an X server (xvfb-run) so
// that the table gets the desktop's font, as in the program; the offscreen
// platform's default font is 12 points.
#include "smart/page/Smart.h"

#include "SampleRecord.h"
#include "widgets/CjkFonts.h"

#include <QApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installCjkFontSubstitutes();
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2 || args.size() > 3) {
        std::fprintf(stderr, "usage: smartpage-screenshot FILE [SAMPLE]\n");
        return 2;
    }
    const std::string sample = args.size() == 3 ? args[2].toStdString() : "m7a0-120g-worn";

    Smart page;
    PhyDiskInfo record = SampleRecord(sample);
    page.GetDiskInfo(record);
    // The rectangle the page slides into in the 1120-pixel-wide main window.
    page.resize(1118, 460);
    page.show();

    if (!page.grab().save(args[1])) {
        std::fprintf(stderr, "smartpage-screenshot: cannot write %s\n", qPrintable(args[1]));
        return 1;
    }
    return 0;
}
