#pragma once
// The export button of the SMART page: asks for a file, writes the table into
// a workbook and offers to open it.

class QAbstractItemModel;
class QString;
class QUrl;
class QWidget;

// Runs the whole export on the GUI thread with `page` as the parent of its
// dialogs: nothing happens for an empty table or a cancelled file dialog; a
// name without a suffix is saved with ".xlsx"; a workbook that cannot be
// written is reported with its path instead of offered for opening; a file
// that no program opens is reported too.
void ExportSmartTable(QWidget *page, const QAbstractItemModel &table);

// The URL the exported file is opened with: "file:///" followed by the path
// with native separators. '#', '?' and '%' stay part of the file name.
QUrl ExportedFileUrl(const QString &path);
