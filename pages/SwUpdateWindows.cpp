// The test page on Windows: diskpart through the command interpreter, and
// the hidden attribute of the marker file.

#include "pages/SwUpdatePlatform.h"

#include <QDir>
#include <QProcessEnvironment>

#include <windows.h>

void runDiskpartScript(const QString &scriptPath)
{
    // Started hidden and not waited for: the script runs on beside the page.
    const QString command = QProcessEnvironment::systemEnvironment().value(QStringLiteral("COMSPEC"))
                            + QStringLiteral(" /C diskpart /s ") + scriptPath;
    WinExec(command.toLatin1().constData(), SW_HIDE);
}

void hideFile(const QString &path)
{
    SetFileAttributesW(QDir::toNativeSeparators(path).toStdWString().c_str(), FILE_ATTRIBUTE_HIDDEN);
}
