#include "app/CloseSettings.h"

#include "files/SafeFiles.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextStream>

namespace {

// Far more than one line of digits; a larger file is not this program's.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

std::filesystem::path nativePath(const QString& path)
{
    return std::filesystem::u8path(path.toStdString());
}

}  // namespace

QString closeSettingsPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/quillfence/config";
}

QString legacyCloseSettingsPath()
{
    return QCoreApplication::applicationDirPath() + "/" + "config";
}

void adoptLegacyCloseSetting()
{
    const QString path = closeSettingsPath();
    if (closeSettingExists(path))
        return;
    if (const std::optional<int> value = readCloseSetting(legacyCloseSettingsPath()))
        writeCloseSetting(path, *value);
}

bool closeSettingExists(const QString& path)
{
    return files::pathTaken(nativePath(path));
}

std::optional<int> readCloseSetting(const QString& path)
{
    const std::optional<std::string> content = files::readRegularFile(nativePath(path), kMaxSettingsBytes);
    if (!content)
        return std::nullopt;
    QTextStream in(QByteArray::fromStdString(*content));
    QString last;
    while (!in.atEnd())
        last = in.readLine();
    return last.toInt(nullptr, 10);  // 0 when empty or not a number
}

bool writeCloseSetting(const QString& path, int value)
{
    QBuffer line;
    line.open(QIODevice::WriteOnly | QIODevice::Text);  // text mode: the platform's line end
    QTextStream out(&line);
    out << value << '\n';
    out.flush();
    QDir().mkpath(QFileInfo(path).absolutePath());
    return files::replaceFile(nativePath(path), line.data().toStdString());
}
