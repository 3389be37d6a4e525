#include "WorkbookReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

// The Python of the system, where the Debian package python3-openpyxl lives,
// not whichever python3 comes first on the PATH.
const QString kPython = QStringLiteral("/usr/bin/python3");

SheetCell toCell(const QJsonObject &json)
{
    return {json.value(QStringLiteral("value")).toVariant().toString(),
            json.value(QStringLiteral("type")).toString(),
            json.value(QStringLiteral("horizontal")).toString(),
            json.value(QStringLiteral("vertical")).toString()};
}

}  // namespace

Sheet readWorkbook(const QString &path)
{
    Sheet sheet;
    QProcess reader;
    reader.start(kPython, {QStringLiteral(QUILLFENCE_READ_WORKBOOK_SCRIPT), path});
    if (!reader.waitForFinished(60000) || reader.exitStatus() != QProcess::NormalExit
        || reader.exitCode() != 0) {
        sheet.error = QString::fromLocal8Bit(reader.readAllStandardError()) + reader.errorString();
        return sheet;
    }
    const QJsonObject json = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
    sheet.dimensions = json.value(QStringLiteral("dimensions")).toString();
    for (const QJsonValue &row : json.value(QStringLiteral("rows")).toArray()) {
        QVector<SheetCell> cells;
        for (const QJsonValue &cell : row.toArray())
            cells << toCell(cell.toObject());
        sheet.rows << cells;
    }
    return sheet;
}
