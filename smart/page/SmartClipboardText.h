#pragma once
// The text the SMART page puts on the clipboard for the selected cells.

#include <QModelIndexList>
#include <QString>

// Every cell's display text followed by one blank, in the order given, with a
// line feed after every columnCount-th cell. No header line.
QString SmartClipboardText(const QModelIndexList &cells, int columnCount);
