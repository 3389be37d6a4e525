#include "smart/export/SmartExport.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>
#include <QUrl>

#include <vector>

#include "smart/export/SmartWorkbook.h"
#include "widgets/QMessageDlg.h"

namespace {

// The export's texts, in the SMART page's translation context.
const char* const kSaveCaption = QT_TRANSLATE_NOOP("Smart", "保存");
const char* const kSaveFilter = QT_TRANSLATE_NOOP("Smart", "Excel 文件(*.xls *.xlsx)");
const char kQuestionIcon[] = ":/Quillfence/Resources/icon3.png";
const char kWarningIcon[] = ":/Quillfence/Resources/icon2.png";
const char kSaveSuffix[] = "xlsx";
const char* const kOpenQuestion = QT_TRANSLATE_NOOP("Smart", "文件已经导出，是否现在打开？");
const char* const kWriteFailure = QT_TRANSLATE_NOOP("Smart", "文件未能写入：%1");  // the path
const char* const kNoOpener = QT_TRANSLATE_NOOP("Smart", "未找到可以打开此文件的程序");

QString translated(const char *text)
{
    return QCoreApplication::translate("Smart", text);
}
constexpr int kButtonsOk = 0;
constexpr int kButtonsOkCancel = 1;

// Runs one message dialog the way every page does and returns the answer.
// The text is rich text.
int askUser(QWidget *parent, const char *icon, const QString &text, int buttonSet)
{
    QMessageDlg dialog(parent);
    dialog.resize(300, 200);
    dialog.setMessage(QString::fromUtf8(icon), text, buttonSet);
    dialog.exec();
    return dialog.result();
}

// A path for the dialog's narrow label: escaped, and allowed to break after
// each separator (a zero-width space), since it has no blanks to break at.
QString wrappablePath(const QString &path)
{
    QString text = QDir::toNativeSeparators(path).toHtmlEscaped();
    text.replace(QLatin1Char('/'), QStringLiteral("/\u200B"));
    text.replace(QLatin1Char('\\'), QStringLiteral("\\\u200B"));
    return text;
}

// The documents folder where it exists. A missing one would be taken by the
// dialog for a file of that name in the home folder.
QString startFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

// The save dialog, which gives a file name without a suffix ".xlsx" before
// it asks whether to replace a file. Qt's own default suffix is added only
// when the whole path has no dot, so a user whose home or folder name has
// one ("/home/anna.li") would get a file without a suffix: the name alone
// is looked at here.
class SaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QFileInfo chosen(selectedFiles().value(0));
        if (!chosen.fileName().isEmpty() && !chosen.fileName().contains(QLatin1Char('.')) && !chosen.isDir()) {
            // The dialog keeps the name field as it is while that has the focus.
            if (QWidget *focus = focusWidget())
                focus->clearFocus();
            selectFile(chosen.filePath() + QLatin1Char('.') + QLatin1String(kSaveSuffix));
        }
        QFileDialog::accept();
    }
};

// The file the user chooses, "" when cancelled.
QString askForFile(QWidget *page)
{
    SaveDialog dialog(page, translated(kSaveCaption), startFolder(), translated(kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QString::fromLatin1(kSaveSuffix));
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
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

    const QString path = askForFile(page);
    if (path.isEmpty())
        return;

    const QString nativePath = QDir::toNativeSeparators(path);
    if (!smart::WriteSmartWorkbook(QFile::encodeName(nativePath).toStdString(),
                                   tableTexts(table))) {
        askUser(page, kWarningIcon, translated(kWriteFailure).arg(wrappablePath(path)), kButtonsOk);
        return;
    }

    if (askUser(page, kQuestionIcon, translated(kOpenQuestion), kButtonsOkCancel) == QMessageDlg::BtnOk
        && !QDesktopServices::openUrl(ExportedFileUrl(path)))
        askUser(page, kWarningIcon, translated(kNoOpener), kButtonsOk);
}
