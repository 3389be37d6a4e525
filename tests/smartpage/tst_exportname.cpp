// The name an export is saved under, when the user's folders have dots in
// their names ("/home/anna.li/Documents"): a name given without a suffix is
// saved with ".xlsx" however it reached the file dialog, and an existing
// file of that name is not replaced without the dialog's question.
#include "smart/page/Smart.h"

#include "SampleRecord.h"
#include "widgets/MyPushButton.h"
#include "widgets/QMessageDlg.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

// Answers the modal dialogs that open while it exists, one answer per
// dialog in order, each through the dialog itself; a dialog beyond the
// answers is rejected. Notes the class of every dialog it saw.
class Answers : public QObject
{
public:
    using Answer = std::function<void(QWidget *)>;

    explicit Answers(QList<Answer> answers) : m_answers(std::move(answers))
    {
        connect(&m_poll, &QTimer::timeout, this, [this] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (dialog == nullptr || dialog == m_answered)
                return;
            m_answered = dialog;
            seen << QString::fromLatin1(dialog->metaObject()->className());
            if (m_answers.isEmpty())
                qobject_cast<QDialog *>(dialog)->reject();
            else
                m_answers.takeFirst()(dialog);
        });
        m_poll.start(10);
    }
    QStringList seen;

private:
    QList<Answer> m_answers;
    QTimer m_poll;
    QPointer<QWidget> m_answered;
};

// The dialog as a T; any other dialog is rejected, so that the test goes
// on, and the test fails.
template <typename T>
T *expected(QWidget *dialog)
{
    if (auto *wanted = qobject_cast<T *>(dialog))
        return wanted;
    qobject_cast<QDialog *>(dialog)->reject();
    QTest::qFail(qPrintable(QStringLiteral("unexpected dialog ") + dialog->metaObject()->className()),
                 __FILE__, __LINE__);
    return nullptr;
}

// Types `name` into the file dialog's name field, as a user does, and
// presses its Save button. Queued, so that a question the dialog asks while
// accepting is answered like any other dialog.
Answers::Answer typeName(const QString &name)
{
    return [name](QWidget *dialog) {
        auto *files = expected<QFileDialog>(dialog);
        if (!files)
            return;
        files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
        QPushButton *save = files->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Save);
        QMetaObject::invokeMethod(save, "click", Qt::QueuedConnection);
    };
}

// Chooses the file by its whole path.
Answers::Answer choosePath(const QString &path)
{
    return [path](QWidget *dialog) {
        auto *files = expected<QFileDialog>(dialog);
        if (!files)
            return;
        // The dialog takes no name while its name field has the focus.
        if (QWidget *focus = files->focusWidget())
            focus->clearFocus();
        files->selectFile(path);
        QMetaObject::invokeMethod(files, "accept", Qt::QueuedConnection);
    };
}

// Rejects the question whether to open the file: nothing is opened.
Answers::Answer dismiss()
{
    return [](QWidget *dialog) {
        if (auto *question = expected<QMessageDlg>(dialog))
            question->reject();
    };
}

// The replace question of the file dialog, answered "No".
Answers::Answer keepExisting()
{
    return [](QWidget *dialog) {
        if (auto *box = expected<QMessageBox>(dialog))
            box->button(QMessageBox::No)->click();
    };
}

}  // namespace

class TestExportName : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void nameWithoutSuffixInADottedFolder_data();
    void nameWithoutSuffixInADottedFolder();
    void aNameWithItsOwnSuffixIsKept();
    void anExistingFileIsNotReplacedUnasked();

private:
    QStringList exportWith(const QList<Answers::Answer> &answers);

    QTemporaryDir m_root;
    QString m_documents;
    QScopedPointer<Smart> m_page;
};

void TestExportName::initTestCase()
{
    QVERIFY(m_root.isValid());
    // A home folder whose path has a dot in it, as "/home/anna.li" has.
    const QString home = m_root.filePath(QStringLiteral("x.y/home"));
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    m_documents = home + QStringLiteral("/Documents");
    QVERIFY(QDir().mkpath(m_documents));
    QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), m_documents);
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestExportName::init()
{
    QDir(m_documents).removeRecursively();
    QDir().mkpath(m_documents);
    m_page.reset(new Smart);
    PhyDiskInfo record = SampleRecord("m7a0-256g-healthy");
    m_page->GetDiskInfo(record);
    m_page->show();
}

QStringList TestExportName::exportWith(const QList<Answers::Answer> &answers)
{
    Answers dialogs(answers);
    QTest::mouseClick(m_page->findChild<MyPushButton *>(QStringLiteral("btExport")), Qt::LeftButton);
    return dialogs.seen;
}

void TestExportName::nameWithoutSuffixInADottedFolder_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<QString>("name");  // as typed or chosen
    QTest::addColumn<QString>("path");  // under the documents folder

    QTest::newRow("typed name") << true << "smart" << "smart";
    QTest::newRow("typed path into a folder with a dot") << true << "v1.2/smart" << "v1.2/smart";
    QTest::newRow("typed from the home folder") << true << "~/Documents/smart" << "smart";
    QTest::newRow("typed whole path") << true << "<documents>/smart" << "smart";
    QTest::newRow("whole path chosen") << false << "<documents>/smart" << "smart";
}

void TestExportName::nameWithoutSuffixInADottedFolder()
{
    QFETCH(bool, typed);
    QFETCH(QString, name);
    QFETCH(QString, path);
    name.replace(QStringLiteral("<documents>"), m_documents);
    path = m_documents + QLatin1Char('/') + path;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));

    const QStringList seen = exportWith({typed ? typeName(name) : choosePath(name), dismiss()});

    QCOMPARE(seen, QStringList({"QFileDialog", "QMessageDlg"}));
    QVERIFY2(!QFileInfo::exists(path), "saved without a suffix");
    QVERIFY(QFileInfo(path + QStringLiteral(".xlsx")).isFile());
}

void TestExportName::aNameWithItsOwnSuffixIsKept()
{
    const QString path = m_documents + QStringLiteral("/smart.xls");
    QCOMPARE(exportWith({choosePath(path), dismiss()}), QStringList({"QFileDialog", "QMessageDlg"}));
    QVERIFY(QFileInfo(path).isFile());
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".xlsx")));
}

// "smart" names the existing "smart.xlsx": the dialog asks before it is
// replaced; "No" returns to the dialog, which is then cancelled.
void TestExportName::anExistingFileIsNotReplacedUnasked()
{
    const QString existing = m_documents + QStringLiteral("/smart.xlsx");
    QFile file(existing);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("kept");
    file.close();

    QCOMPARE(exportWith({choosePath(m_documents + QStringLiteral("/smart")), keepExisting()}),
             QStringList({"QFileDialog", "QMessageBox", "QFileDialog"}));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("kept"));
}

QTEST_MAIN(TestExportName)
#include "tst_exportname.moc"
