#include "app/CloseSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

QString closeSettingsPath()
{
    return QCoreApplication::applicationDirPath() + "/" + "config";
}

std::optional<int> readCloseSetting(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return std::nullopt;
    QTextStream in(&file);
    QString last;
    while (!in.atEnd())
        last = in.readLine();
    return last.toInt(nullptr, 10);  // 0 when empty or not a number
}

bool writeCloseSetting(const QString& path, int value, bool rewrite)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Text))
        return false;
    if (rewrite)
        file.resize(0);
    QTextStream out(&file);
    out << value << '\n';  // text mode: the platform's line end
    out.flush();
    file.close();
    return true;
}
