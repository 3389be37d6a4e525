// The export button of the SMART page with its real dialogs: the file dialog
// and the message dialogs are answered as a user would, through the dialogs
// themselves, the opened URL is caught, and the written workbook is read
// back with openpyxl.
#include "smart/export/SmartExport.h"
#include "smart/page/Smart.h"

#include "MessageButtons.h"
#include "ModalAnswers.h"
#include "SampleRecord.h"
#include "WorkbookReader.h"
#include "widgets/MyPushButton.h"
#include "widgets/QMessageDlg.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <functional>

namespace {

const QString kQuestion = QStringLiteral("文件已经导出，是否现在打开？");
const QString kFailure = QStringLiteral("文件未能写入：");  // followed by the path
const QString kNoOpener = QStringLiteral("未找到可以打开此文件的程序");

// One line per dialog: its kind and what it showed.
QString describe(QWidget *dialog)
{
    if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
        return QStringList({QStringLiteral("file dialog"), files->windowTitle(),
                            files->directory().absolutePath(), files->nameFilters().join(";;")})
            .join(QStringLiteral(" | "));
    }
    if (auto *message = qobject_cast<QMessageDlg *>(dialog)) {
        message->grab();  // the dialog places its text while painting
        QTextDocument text;
        text.setHtml(message->findChild<QLabel *>()->text());
        // The zero-width spaces that let a path wrap are not part of the text.
        return QStringLiteral("message | ") + text.toPlainText().remove(QChar(0x200B));
    }
    return QString::fromLatin1(dialog->metaObject()->className());
}

ModalAnswers::Answer saveAs(const QString &path)
{
    return answerIf<QFileDialog>([path](QFileDialog *files) {
        // The dialog does not take a name while its name field has the
        // focus, which it gets once its window is activated: that may come
        // before or after this answer.
        if (QWidget *focus = files->focusWidget())
            focus->clearFocus();
        files->selectFile(path);
        if (!files->selectedFiles().value(0).startsWith(path)) {
            files->reject();
            QFAIL(qPrintable(QStringLiteral("the dialog did not take the name: ") + files->selectedFiles().join(' ')));
        }
        // Queued: a question the dialog asks while accepting is then answered
        // like any other.
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    });
}

ModalAnswers::Answer cancelFileDialog()
{
    return answerIf<QFileDialog>([](QFileDialog *files) { files->reject(); });
}

// Clicks 确定 or 取消 of a message dialog.
ModalAnswers::Answer click(QMessageDlg::emBTN button)
{
    return answerIf<QMessageDlg>([button](QMessageDlg *message) { clickMessageButton(message, button); });
}

// Clicks a button of the file dialog's own question.
ModalAnswers::Answer answerQuestion(QMessageBox::StandardButton button)
{
    return answerIf<QMessageBox>([button](QMessageBox *question) {
        if (QAbstractButton *shown = question->button(button)) {
            shown->click();
            return;
        }
        question->reject();
        QFAIL("the question has no such button");
    });
}

// Receives the URLs the desktop service is asked to open.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls << url; }
};

}  // namespace

class TestExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();
    void confirmOpensWrittenWorkbook();
    void nvmeTableExportsAsShown();
    void cancelLeavesFileUnopened();
    void cancelledFileDialogDoesNothing();
    void emptyTableShowsNothing();
    void unwritableFolderIsReported_data();
    void unwritableFolderIsReported();
    void nameWithoutSuffixGetsXlsx();
    void suffixIsAddedBeforeTheReplaceQuestion();
    void missingDocumentsFolderStartsAtHome();
    void fileNoProgramOpensIsReported();
    void fileUrl_data();
    void fileUrl();
    void driveLetterPathAsTolerantUrl();

private:
    QString fileDialogLine() const;
    // The page showing the example drive `sample` ("" for no record).
    void loadPage(const std::string &sample);
    void sheetHoldsTheTable(const Sheet &sheet);
    QStringList exportWith(const QList<ModalAnswers::Answer> &answers);

    QTemporaryDir m_home;
    QString m_documents;
    UrlCatcher m_opened;
    QScopedPointer<Smart> m_page;
};

void TestExport::initTestCase()
{
    QVERIFY(m_home.isValid());
    // A documents folder of the test's own, whatever the user's settings.
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
    m_documents = m_home.filePath(QStringLiteral("Documents"));
    QVERIFY(QDir().mkpath(m_documents));
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), m_documents);

    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");
}

void TestExport::init()
{
    m_opened.urls.clear();
    QDir(m_documents).removeRecursively();
    QDir().mkpath(m_documents);
}

void TestExport::cleanupTestCase()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

QString TestExport::fileDialogLine() const
{
    return QStringLiteral("file dialog | 保存 | ") + m_documents
           + QStringLiteral(" | Excel 文件(*.xls *.xlsx)");
}

void TestExport::loadPage(const std::string &sample)
{
    m_page.reset(new Smart);
    if (!sample.empty()) {
        PhyDiskInfo record = SampleRecord(sample);
        m_page->GetDiskInfo(record);
    }
    m_page->show();
}

// Presses the export button and answers the dialogs that open, one answer
// per dialog in order (one beyond them is rejected); the notes of what each
// showed.
QStringList TestExport::exportWith(const QList<ModalAnswers::Answer> &answers)
{
    QStringList seen;
    ModalAnswers dialogs(answers, [&seen](QWidget *dialog) { seen << describe(dialog); });
    QTest::mouseClick(m_page->findChild<MyPushButton *>(QStringLiteral("btExport")), Qt::LeftButton);
    return seen;
}

void TestExport::confirmOpensWrittenWorkbook()
{
    loadPage("m7b0-480g-hot");  // 17 rows, one of them over its limit
    const QString path = m_documents + QStringLiteral("/smart.xlsx");

    QCOMPARE(exportWith({saveAs(path), click(QMessageDlg::BtnOk)}),
             QStringList({fileDialogLine(), QStringLiteral("message | ") + kQuestion}));

    QCOMPARE(m_opened.urls, QList<QUrl>({QUrl(QStringLiteral("file://") + path)}));
    QCOMPARE(m_opened.urls[0].toLocalFile(), path);

    const Sheet sheet = readWorkbook(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.dimensions, QStringLiteral("A1:H18"));
    sheetHoldsTheTable(sheet);
    if (QTest::currentTestFailed())
        return;
    const QVector<SheetCell> &hottest = sheet.rows[10];  // table row 9
    QCOMPARE(hottest[1].text, QStringLiteral("最大温度"));
    QCOMPARE(hottest[6].text, QStringLiteral("0x00 4A 00 15 00 2D "));
    QCOMPARE(hottest[7].text, QStringLiteral("#1002(70℃)"));
}

// Every cell as the table shows it, centred, under the header row.
void TestExport::sheetHoldsTheTable(const Sheet &sheet)
{
    const QAbstractItemModel &table = *m_page->findChild<QTableView *>()->model();
    QCOMPARE(sheet.rows.size(), table.rowCount() + 1);
    for (int r = 0; r < sheet.rows.size(); ++r) {
        QCOMPARE(sheet.rows[r].size(), 8);
        for (int c = 0; c < 8; ++c) {
            const SheetCell &cell = sheet.rows[r][c];
            const QString expected = r == 0 ? table.headerData(c, Qt::Horizontal).toString()
                                            : table.index(r - 1, c).data().toString();
            QCOMPARE(cell.text, expected);
            QCOMPARE(cell.type, expected.isEmpty() ? QStringLiteral("n") : QStringLiteral("s"));
            QCOMPARE(cell.horizontal, QStringLiteral("center"));
            QCOMPARE(cell.vertical, QStringLiteral("center"));
        }
    }
}

// An NVMe drive's table goes out as any other, its empty cells empty.
void TestExport::nvmeTableExportsAsShown()
{
    loadPage(kNvmeSample);  // 18 rows: 17 fields, one warning bit
    const QString path = m_documents + QStringLiteral("/nvme.xlsx");
    QCOMPARE(exportWith({saveAs(path), click(QMessageDlg::BtnCancel)}),
             QStringList({fileDialogLine(), QStringLiteral("message | ") + kQuestion}));
    const Sheet sheet = readWorkbook(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.dimensions, QStringLiteral("A1:H20"));
    sheetHoldsTheTable(sheet);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(sheet.rows[2][1].text, QStringLiteral("严重警告：可靠性下降"));
    QCOMPARE(sheet.rows[2][7].text, QStringLiteral("警告"));
}

void TestExport::cancelLeavesFileUnopened()
{
    loadPage("m7a0-256g-healthy");
    const QString path = m_documents + QStringLiteral("/kept.xlsx");

    QCOMPARE(exportWith({saveAs(path), click(QMessageDlg::BtnCancel)}),
             QStringList({fileDialogLine(), QStringLiteral("message | ") + kQuestion}));

    QVERIFY(m_opened.urls.isEmpty());
    const Sheet sheet = readWorkbook(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.dimensions, QStringLiteral("A1:H16"));  // 15 rows and the header
}

void TestExport::cancelledFileDialogDoesNothing()
{
    loadPage("m7a0-256g-healthy");

    QCOMPARE(exportWith({cancelFileDialog()}), QStringList({fileDialogLine()}));

    QVERIFY(m_opened.urls.isEmpty());
    QVERIFY(QDir(m_documents).isEmpty());
}

void TestExport::emptyTableShowsNothing()
{
    loadPage("");  // before the first record
    QCOMPARE(exportWith({}), QStringList());

    loadPage("none");  // a record without rows
    QCOMPARE(exportWith({}), QStringList());
    QVERIFY(m_opened.urls.isEmpty());
}

void TestExport::unwritableFolderIsReported_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("readOnly");

    QTest::newRow("missing folder") << "missing" << false;
    QTest::newRow("read-only folder") << "locked" << true;
}

void TestExport::unwritableFolderIsReported()
{
    QFETCH(QString, folder);
    QFETCH(bool, readOnly);
    const QString folderPath = m_documents + QLatin1Char('/') + folder;
    if (readOnly) {
        QVERIFY(QDir().mkpath(folderPath));
        QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::ExeOwner);
        if (QFileInfo(folderPath).isWritable())
            QSKIP("the folder stays writable for this user (root)");
    }
    loadPage("m7a0-120g-worn");
    const QString path = folderPath + QStringLiteral("/smart.xlsx");

    const QStringList seen = exportWith({saveAs(path)});
    if (readOnly)
        QFile::setPermissions(folderPath, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(seen, QStringList({fileDialogLine(), QStringLiteral("message | ") + kFailure + path}));
    QVERIFY(!QFile::exists(path));
    QVERIFY(m_opened.urls.isEmpty());
}

void TestExport::nameWithoutSuffixGetsXlsx()
{
    loadPage("m7a0-256g-healthy");
    const QString path = m_documents + QStringLiteral("/smart");

    QCOMPARE(exportWith({saveAs(path), click(QMessageDlg::BtnOk)}),
             QStringList({fileDialogLine(), QStringLiteral("message | ") + kQuestion}));

    QVERIFY(!QFile::exists(path));
    const Sheet sheet = readWorkbook(path + QStringLiteral(".xlsx"));
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(m_opened.urls, QList<QUrl>({QUrl::fromLocalFile(path + QStringLiteral(".xlsx"))}));
}

void TestExport::suffixIsAddedBeforeTheReplaceQuestion()
{
    loadPage("m7a0-256g-healthy");
    const QString existing = m_documents + QStringLiteral("/smart.xlsx");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();

    // "smart" names the existing "smart.xlsx": the dialog asks before it
    // replaces it; "No" returns to the dialog, which is then cancelled.
    QCOMPARE(exportWith({saveAs(m_documents + QStringLiteral("/smart")), answerQuestion(QMessageBox::No),
                         cancelFileDialog()}),
             QStringList({fileDialogLine(), QStringLiteral("QMessageBox"), fileDialogLine()}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
}

void TestExport::missingDocumentsFolderStartsAtHome()
{
    QVERIFY(QDir(m_documents).removeRecursively());
    loadPage("m7a0-256g-healthy");

    // Nothing is named yet: the dialog would otherwise offer "Documents" as
    // the file's name.
    QStringList offered;
    const ModalAnswers::Answer cancel = answerIf<QFileDialog>([&offered](QFileDialog *files) {
        offered = files->selectedFiles();
        files->reject();
    });
    QCOMPARE(exportWith({cancel}),
             QStringList({QStringLiteral("file dialog | 保存 | ") + m_home.path()
                          + QStringLiteral(" | Excel 文件(*.xls *.xlsx)")}));
    QCOMPARE(offered, QStringList({m_home.path()}));
    QVERIFY(!QFileInfo::exists(m_documents));

    const QString path = m_home.filePath(QStringLiteral("smart.xlsx"));
    QCOMPARE(exportWith({saveAs(path), click(QMessageDlg::BtnCancel)}).value(1),
             QStringLiteral("message | ") + kQuestion);
    QVERIFY(QFileInfo(path).isFile());
    QVERIFY(!QFileInfo::exists(m_documents));
    QFile::remove(path);
}

void TestExport::fileNoProgramOpensIsReported()
{
    loadPage("m7a0-256g-healthy");
    const QString path = m_documents + QStringLiteral("/smart.xlsx");
    // No handler for files, and no launcher (xdg-open, a browser) to be found.
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    const QByteArray searchPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_home.path()));
    qunsetenv("BROWSER");
    qunsetenv("DEFAULT_BROWSER");
    const QStringList seen = exportWith({saveAs(path), click(QMessageDlg::BtnOk), click(QMessageDlg::BtnOk)});
    qputenv("PATH", searchPath);
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_opened, "open");

    QCOMPARE(seen, QStringList({fileDialogLine(), QStringLiteral("message | ") + kQuestion,
                                QStringLiteral("message | ") + kNoOpener}));
    QVERIFY(QFile::exists(path));
}

void TestExport::fileUrl_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("url");  // as text

    QTest::newRow("plain") << "/home/user/Documents/smart.xlsx"
                           << "file:///home/user/Documents/smart.xlsx";
    QTest::newRow("blank and Chinese") << "/home/user/文档/smart 1.xlsx"
                                       << "file:///home/user/文档/smart 1.xlsx";
    QTest::newRow("fragment and query marks") << "/tmp/#1?.xlsx" << "file:///tmp/%231%3F.xlsx";
    QTest::newRow("percent sign") << "/tmp/100%25.xlsx" << "file:///tmp/100%2525.xlsx";
}

void TestExport::fileUrl()
{
    QFETCH(QString, path);
    QFETCH(QString, url);

    const QUrl opened = ExportedFileUrl(path);
    QCOMPARE(opened.toString(), url);
    QCOMPARE(opened.toLocalFile(), path);
}

void TestExport::driveLetterPathAsTolerantUrl()
{
    // A Windows path, as the file dialog returns it there after the
    // separators were made native, gives the URL parsed from "file:///" and it.
    const QString path = QStringLiteral("C:\\Users\\u\\文档\\smart 1.xlsx");
    QCOMPARE(ExportedFileUrl(path), QUrl(QStringLiteral("file:///") + path, QUrl::TolerantMode));
}

QTEST_MAIN(TestExport)
#include "tst_export.moc"
