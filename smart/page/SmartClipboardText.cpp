#include "smart/page/SmartClipboardText.h"

#include <QVariant>

QString SmartClipboardText(const QModelIndexList &cells, int columnCount)
{
    QString text;
    int written = 0;
    for (const QModelIndex &cell : cells) {
        text += cell.data(Qt::DisplayRole).toString() + QLatin1Char(' ');
        if (++written % columnCount == 0)
            text += QLatin1Char('\n');
    }
    return text;
}
