#include "smart/export/SmartExport.h"

#include <QAbstractItemModel>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <vector>

#include "smart/export/SmartWorkbook.h"
#include "widgets/QMessageDlg.h"

namespace {

const char kSaveCaption[] = "保存";
const char kSaveFilter[] = "Excel 文件(*.xls *.xlsx)";
const char kQuestionIcon[] = ":/Quillfence/Resources/icon3.png";
const char kWarningIcon[] = ":/Quillfence/Resources/icon2.png";
const char kOpenQuestion[] = "文件已经导出，是否现在打开？";
const char kWriteFailure[] = "未能创建 Excel 对象，请安装 Microsoft Excel";
constexpr int kButtonsOk = 0;
constexpr int kButtonsOkCancel = 1;

// Runs one message dialog the way every page does and returns the answer.
int askUser(QWidget *parent, const char *icon, const char *text, int buttonSet)
{
    QMessageDlg dialog(parent);
    dialog.resize(300, 200);
    dialog.setMessage(QString::fromUtf8(icon), QString::fromUtf8(text), buttonSet);
    dialog.exec();
    return dialog.result();
}

// The display texts of every row, as the table shows them (without colours).
std::vector<smart::SmartCells> tableTexts(const QAbstractItemModel &table)
{
    std::vector<smart::SmartCells> rows(table.rowCount());
    for (int r = 0; r < table.rowCount(); ++r) {
        for (int c = 0; c < smart::kSmartColumnCount; ++c) {
            rows[r][c] = table.index(r, c).data(Qt::DisplayRole).toString().toStdString();
        }
    }
    return rows;
}

}  // namespace

QUrl ExportedFileUrl(const QString &path)
{
    QString nativePath = QDir::toNativeSeparators(path);
    // A path that starts at the root ("/home/...") already brings the slash
    // that "file:///" ends with; a drive path ("C:\...") brings none.
    if (nativePath.startsWith(QLatin1Char('/')))
        nativePath.remove(0, 1);
    // Set as a decoded path rather than parsed from text, so that a '#' or '?'
    // in a file name does not start a fragment or a query.
    QUrl url(QStringLiteral("file:///"));
    url.setPath(url.path() + nativePath, QUrl::DecodedMode);
    return url;
}

void ExportSmartTable(QWidget *page, const QAbstractItemModel &table)
{
    if (table.rowCount() == 0)
        return;

    const QString path = QFileDialog::getSaveFileName(
        page, QString::fromUtf8(kSaveCaption),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        QString::fromUtf8(kSaveFilter));
    if (path.isEmpty())
        return;

    const QString nativePath = QDir::toNativeSeparators(path);
    if (!smart::WriteSmartWorkbook(QFile::encodeName(nativePath).toStdString(),
                                   tableTexts(table))) {
        askUser(page, kWarningIcon, kWriteFailure, kButtonsOk);
        return;
    }

    if (askUser(page, kQuestionIcon, kOpenQuestion, kButtonsOkCancel) == QMessageDlg::BtnOk)
        QDesktopServices::openUrl(ExportedFileUrl(path));
}
