#include "pages/FwUpdateTexts.h"

#include "pages/RecordText.h"

#include <QCoreApplication>
#include <QFileInfo>

// In the page's translation context.
QString FwUpdateQuestion(const FwUpdateTarget& target)
{
    const QString lines[] = {
        QCoreApplication::translate("FwUpdate", "即将升级此磁盘的固件："),
        QCoreApplication::translate("FwUpdate", "型号：%1").arg(target.model.toHtmlEscaped()),
        QCoreApplication::translate("FwUpdate", "序列号：%1").arg(target.serial.toHtmlEscaped()),
        QCoreApplication::translate("FwUpdate", "当前固件版本：%1").arg(target.revision.toHtmlEscaped()),
        QCoreApplication::translate("FwUpdate", "容量：%1 GB").arg(target.capacity, 0, 'f', 2),
        QCoreApplication::translate("FwUpdate", "升级文件：%1（%2 字节）")
            .arg(QFileInfo(target.imagePath).fileName().toHtmlEscaped())
            .arg(target.imageBytes),
        QCoreApplication::translate("FwUpdate", "升级过程中请勿关闭电源或拔出磁盘。是否继续？"),
    };
    QString text;
    for (const QString& line : lines)
        text += (text.isEmpty() ? QString() : QStringLiteral("<br>")) + line;
    return text;
}

QString FwRevisionNote(const QString& revisionBefore, const std::optional<DiskReading>& reread)
{
    if (!reread || !reread->record.valid)
        return QCoreApplication::translate("FwUpdate", "未能重新读取磁盘的固件版本；新固件可能要在磁盘断电并重新上电后才会生效");
    const QString now = recordText(reread->record.firmware);
    if (now == revisionBefore)
        return QCoreApplication::translate("FwUpdate", "磁盘报告的固件版本仍为 %1：新固件可能要在磁盘断电并重新上电后才会生效").arg(now);
    return QCoreApplication::translate("FwUpdate", "磁盘现在报告的固件版本为 %1").arg(now);
}
