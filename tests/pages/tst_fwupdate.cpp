// The firmware-update page: its form, the identity labels, its slide, and the
// update button pressed on simulated drives, with the firmware images in the
// test's own application folder or the user's data folder, and the message
// dialog answered as a user would.
#include "pages/FwUpdate.h"
#include "PageTestSupport.h"
#include "disk/simulated/Fleet.h"
#include "disk/simulated/Sha256.h"
#include "disk/simulated/SimulatedStorage.h"
#include "disk/StorageBackend.h"
#include "firmware/FwImage.h"
#include "widgets/CjkFonts.h"
#include "widgets/QMessageDlg.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const QString kLatest = QStringLiteral("已是最新版本无需升级");
const QString kNvme = QStringLiteral("NVMe硬盘不支持固件升级");
const QString kSuccess = QStringLiteral("固件升级成功");
const QString kSizeZero = QStringLiteral("升级文件大小为0");
const QString kCommandError = QStringLiteral("固件升级命令交互出错");
const QString kSuccessIcon = QStringLiteral(":/Quillfence/Resources/icon1.png");
const QString kNoticeIcon = QStringLiteral(":/Quillfence/Resources/icon2.png");

// 10000 bytes: 20 sectors, the last one partly filled.
constexpr int kImageSize = 10000;

// Images present beside the test program: 240/256 G and 480/512 G. The
// 120/128 G image is missing on purpose.
struct ImageFile {
    const char* name;
    char fill;
};
const ImageFile kImages[] = {{"DCBFCBGC.bin", 'G'}, {"DCBFCBOC.bin", 'O'}};

QString imageDirectory()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/FwUpdata");
}

QString imagePath(const char* name)
{
    return imageDirectory() + QLatin1Char('/') + QLatin1String(name);
}

// One command as the drive received it.
struct Received {
    int features;
    int blockCount;
    int offset;
    bool operator==(const Received& o) const
    {
        return features == o.features && blockCount == o.blockCount && offset == o.offset;
    }
};

}  // namespace

Q_DECLARE_METATYPE(QList<Received>)
QT_BEGIN_NAMESPACE
namespace QTest {
template <>
char* toString(const QList<Received>& commands)
{
    QStringList parts;
    for (const Received& r : commands)
        parts << QString::asprintf("%02Xh count %d offset %d", r.features, r.blockCount, r.offset);
    return qstrdup(parts.join(QStringLiteral("; ")).toUtf8().constData());
}
}  // namespace QTest
QT_END_NAMESPACE

// Watches for the page's modal message dialog, records what it shows and
// closes it with Return (its OK).
class DialogAnswerer : public QObject {
public:
    bool seen = false;
    QWidget* parent = nullptr;
    QSize size;
    QString text;
    QImage iconArea;

    DialogAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &DialogAnswerer::poll);
        timer.start(10);
    }

private:
    void poll()
    {
        auto* dialog = qobject_cast<QMessageDlg*>(QApplication::activeModalWidget());
        if (!dialog || seen)
            return;
        seen = true;
        parent = dialog->parentWidget();
        size = dialog->size();
        text = dialog->findChild<QLabel*>()->text();
        iconArea = iconOf(*dialog);
        QTest::keyClick(dialog, Qt::Key_Return);
    }

public:
    // The icon area of a 300 x 200 message dialog.
    static QImage iconOf(QWidget& dialog) { return dialog.grab(QRect(15, 32, 120, 100)).toImage(); }

private:
    QTimer timer;
};

class TestFwUpdate : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void form();
    void metaObjectEntries();
    void getDiskInfoShowsIdentity();
    void slide();
    void buttonBeforeAnyRecord();
    void button_data();
    void button();
    void failedBusTypeQueryShowsNothing();
    void nvmeDriveIsOfferedNoUpdate();
    void imageInTheUsersDataFolder();

private:
    // Installs a simulated machine with drive 1 as described.
    SimulatedStorage& installDrive(const QString& bus, const QString& extra = QString());
    static void press(FwUpdate& page);
    static QImage referenceIcon(const QString& icon);

    SimulatedStorage* sim = nullptr;
    QTemporaryDir dataHome;  // the user's data folder, empty but for what a test puts there
};

void TestFwUpdate::initTestCase()
{
    installCjkFontSubstitutes();
    QVERIFY(dataHome.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome.path()));
    QDir(imageDirectory()).removeRecursively();
    QVERIFY(QDir().mkpath(imageDirectory()));
    for (const ImageFile& image : kImages) {
        QFile file(imagePath(image.name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(QByteArray(kImageSize, image.fill)), qint64(kImageSize));
    }
}

void TestFwUpdate::cleanupTestCase()
{
    QDir(imageDirectory()).removeRecursively();
}

SimulatedStorage& TestFwUpdate::installDrive(const QString& bus, const QString& extra)
{
    const QString json = QStringLiteral("{\"drives\": [{\"number\": 0, \"length\": 256060514304},"
                                        " {\"number\": 1, \"bus\": \"%1\", \"length\": 256060514304%2}]}")
                             .arg(bus, extra);
    auto backend = std::make_unique<SimulatedStorage>(parseFleet(json.toStdString()));
    sim = backend.get();
    installStorage(std::move(backend));
    return *sim;
}

void TestFwUpdate::press(FwUpdate& page)
{
    QTest::mouseClick(page.findChild<QPushButton*>(QStringLiteral("btUpdate")), Qt::LeftButton);
}

QImage TestFwUpdate::referenceIcon(const QString& icon)
{
    QMessageDlg reference;
    reference.resize(300, 200);
    reference.setMessage(icon, QString(), 0);
    return DialogAnswerer::iconOf(reference);
}

void TestFwUpdate::form()
{
    FwUpdate page;
    QCOMPARE(page.size(), QSize(852, 497));
    QCOMPARE(page.windowTitle(), QStringLiteral("FwUpdate"));
    QCOMPARE(page.palette().color(QPalette::Window), QColor(0xee, 0xee, 0xfb));
    QVERIFY(page.autoFillBackground());
    QVERIFY(page.isHidden());

    const QString field = QStringLiteral("font: 15px \"微软雅黑\";\ncolor: rgb(68, 71, 77);");
    const QColor text(68, 71, 77);
    struct Expected {
        const char* name;
        QString text;
        QRect geometry;
        bool caption;
    };
    const Expected labels[] = {
        {"label", QStringLiteral("序列号"), {130, 108, 181, 21}, true},
        {"lb_Sn", QStringLiteral("N/A"), {310, 108, 421, 21}, false},
        {"label_4", QStringLiteral("型号"), {130, 149, 181, 21}, true},
        {"lb_Model", QStringLiteral("N/A"), {310, 149, 421, 21}, false},
        {"label_6", QStringLiteral("固件版本"), {130, 190, 181, 21}, true},
        {"lb_FW", QStringLiteral("N/A"), {310, 190, 461, 21}, false},
    };
    for (const Expected& e : labels) {
        auto* label = page.findChild<QLabel*>(QLatin1String(e.name));
        QVERIFY2(label, e.name);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->geometry(), e.geometry);
        QCOMPARE(label->styleSheet(), field);
        if (e.caption) {
            QCOMPARE(label->palette().color(QPalette::WindowText), text);
            QCOMPARE(label->alignment() & (Qt::AlignLeft | Qt::AlignVCenter), Qt::AlignLeft | Qt::AlignVCenter);
        }
    }

    auto* title = page.findChild<QLabel*>(QStringLiteral("label_2"));
    QVERIFY(title);
    QCOMPARE(title->text(), QStringLiteral("固件升级"));
    QCOMPARE(title->geometry(), QRect(130, 42, 571, 21));
    QCOMPARE(title->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(title->font().pixelSize(), 17);
    QCOMPARE(title->font().weight(), 75);
    QCOMPARE(title->palette().color(QPalette::WindowText), text);

    auto* button = page.findChild<QPushButton*>(QStringLiteral("btUpdate"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("固件升级"));
    QCOMPARE(button->geometry(), QRect(130, 244, 155, 41));
    QCOMPARE(button->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(button->font().pointSize(), 12);
    QCOMPARE(button->styleSheet(),
             QStringLiteral("QPushButton{border:0px;border-radius:2px;color:#f7fbfc; background-color: #2486f9;}\n"
                            "QPushButton:hover{border:0px; border-radius:2px; color:f7fbfc;}"));
}

void TestFwUpdate::metaObjectEntries()
{
    const QMetaObject& meta = FwUpdate::staticMetaObject;
    QCOMPARE(ownMethods(meta),
             (QStringList{QStringLiteral("GetDiskInfo(PhyDiskInfo&)"), QStringLiteral("on_btUpdate_clicked()")}));
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        QCOMPARE(meta.method(i).methodType(), QMetaMethod::Slot);
}

void TestFwUpdate::getDiskInfoShowsIdentity()
{
    FwUpdate page;
    PhyDiskInfo info = makeRecord(3, 238.47, "QF-256G-M7B0", "QF2024\xE9" "0017", "0208A", true);
    std::memset(info.model, 'M', kTextLength);  // a model filling the whole field, no NUL
    page.GetDiskInfo(info);

    QCOMPARE(page.findChild<QLabel*>(QStringLiteral("lb_Sn"))->text(), QStringLiteral("QF2024é0017"));
    QCOMPARE(page.findChild<QLabel*>(QStringLiteral("lb_Model"))->text(), QString(kTextLength, QLatin1Char('M')));
    QCOMPARE(page.findChild<QLabel*>(QStringLiteral("lb_FW"))->text(), QStringLiteral("0208A"));
    const QFont font = page.findChild<QPushButton*>(QStringLiteral("btUpdate"))->font();
    QCOMPARE(font.family(), QStringLiteral("微软雅黑"));
    QCOMPARE(font.pixelSize(), 16);
}

void TestFwUpdate::slide()
{
    FakeMainWindow window;
    window.resize(854, 700);
    FwUpdate page(&window);
    window.show();
    checkPageSlide(window, page, 497);
}

void TestFwUpdate::buttonBeforeAnyRecord()
{
    SimulatedStorage& machine = installDrive(QStringLiteral("sata"));
    FwUpdate page;
    DialogAnswerer answerer;
    press(page);
    QVERIFY(answerer.seen);
    QCOMPARE(answerer.text, QStringLiteral("<p style='line-height:24px'>") + kLatest);
    QVERIFY(machine.openLog().empty());
}

void TestFwUpdate::button_data()
{
    QTest::addColumn<QString>("bus");
    QTest::addColumn<QString>("driveExtra");  // more keys of drive 1 in the fleet
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QByteArray>("revision");
    QTest::addColumn<bool>("maker");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("image");  // the image the drive must have received; empty: none
    QTest::addColumn<QList<Received>>("commands");

    const QList<Received> none;
    // 20 sectors: with 256-sector blocks one whole command; with 8-sector
    // blocks two pieces, the remainder and the last sector alone.
    const QList<Received> whole = {{0x07, 20, 0}};
    const QList<Received> pieces = {{0x03, 8, 0}, {0x03, 8, 8}, {0x03, 3, 16}, {0x03, 1, 19}};

    QTest::newRow("SATA, model code M7B0: one command") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                                        << QByteArray("S0208A01") << true << kSuccess
                                                        << QByteArray("DCBFCBGC.bin") << whole;
    QTest::newRow("SATA, no model code: 8-sector pieces") << "sata" << QString() << QByteArray("QF 240G")
                                                          << QByteArray("0208a") << true << kSuccess
                                                          << QByteArray("DCBFCBGC.bin") << pieces;
    QTest::newRow("USB with model code M7B0: still 8-sector pieces")
        << "usb" << QString() << QByteArray("QF-512G-M7B0") << QByteArray("0208a") << true << kSuccess
        << QByteArray("DCBFCBOC.bin") << pieces;
    QTest::newRow("not the maker's drive") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                           << QByteArray("0208a") << false << kLatest << QByteArray() << none;
    QTest::newRow("latest revision, also naming 0208a") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                                        << QByteArray("0428C0208a") << true << kLatest
                                                        << QByteArray() << none;
    QTest::newRow("capacity in lower case") << "sata" << QString() << QByteArray("QF-256g-M7B0")
                                            << QByteArray("0208a") << true << kLatest << QByteArray() << none;
    QTest::newRow("missing image file") << "sata" << QString() << QByteArray("QF-128G-M7B0")
                                        << QByteArray("0208a") << true << kSizeZero << QByteArray() << none;
    QTest::newRow("second command fails") << "sata" << QStringLiteral(", \"failCommand\": 2")
                                          << QByteArray("QF 240G") << QByteArray("0208a") << true << kCommandError
                                          << QByteArray() << QList<Received>{{0x03, 8, 0}};
}

void TestFwUpdate::button()
{
    QFETCH(QString, bus);
    QFETCH(QString, driveExtra);
    QFETCH(QByteArray, model);
    QFETCH(QByteArray, revision);
    QFETCH(bool, maker);
    QFETCH(QString, message);
    QFETCH(QByteArray, image);
    QFETCH(QList<Received>, commands);

    SimulatedStorage& machine = installDrive(bus, driveExtra);
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 238.47, model.constData(), "QF20240017", revision.constData(), maker);
    page.GetDiskInfo(info);

    DialogAnswerer answerer;
    press(page);

    QVERIFY(answerer.seen);
    QCOMPARE(answerer.parent, &page);
    QCOMPARE(answerer.size, QSize(300, 200));
    QCOMPARE(answerer.text, QStringLiteral("<p style='line-height:24px'>") + message);
    QCOMPARE(answerer.iconArea, referenceIcon(message == kSuccess ? kSuccessIcon : kNoticeIcon));

    const SimulatedDrive& drive = machine.driveState(1);
    QList<Received> received;
    for (const DownloadSegment& segment : drive.downloads())
        received.append({segment.features, segment.blockCount, segment.offset});
    QCOMPARE(received, commands);
    if (!image.isEmpty()) {
        // The data of the commands, one after the other, are the prepared image.
        FwImage prepared;
        QCOMPARE(PrepareFwImage(imagePath(image.constData()).toStdString(), prepared), kFwOk);
        QCOMPARE(drive.downloadedBytes(), uint64_t(prepared.buffer.size()));
        QCOMPARE(QString::fromStdString(Sha256Hex(drive.downloadedSha256())),
                 QString::fromStdString(Sha256Hex(prepared.buffer.data(), prepared.buffer.size())));
    }
    QVERIFY(machine.driveState(0).downloads().empty());
    QCOMPARE(machine.openHandles(), size_t(0));
}

void TestFwUpdate::failedBusTypeQueryShowsNothing()
{
    SimulatedStorage& machine = installDrive(QStringLiteral("sata"), QStringLiteral(", \"faults\": [\"busType\"]"));
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 238.47, "QF-256G-M7B0", "QF20240017", "0208a", true);
    page.GetDiskInfo(info);

    DialogAnswerer answerer;
    press(page);
    QTest::qWait(50);  // time for a dialog that should not come
    QVERIFY(!answerer.seen);
    QCOMPARE(machine.driveState(1).commandsReceived(), 0);
}

// The maker's images are for its SATA drives: the button says so for an NVMe
// drive that would otherwise qualify, and touches no device.
void TestFwUpdate::nvmeDriveIsOfferedNoUpdate()
{
    SimulatedStorage& machine = installDrive(QStringLiteral("nvme"));
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 238.47, "QF-256G-M7B0", "QF20240017", "0208a", true);
    info.isNvme = 1;
    page.GetDiskInfo(info);

    DialogAnswerer answerer;
    press(page);
    QVERIFY(answerer.seen);
    QCOMPARE(answerer.text, QStringLiteral("<p style='line-height:24px'>") + kNvme);
    QCOMPARE(answerer.iconArea, referenceIcon(kNoticeIcon));
    QVERIFY(machine.openLog().empty());
}

// An installed program finds the image the user put into their own data
// folder when its own folder has none.
void TestFwUpdate::imageInTheUsersDataFolder()
{
    const QString userImages = dataHome.path() + QStringLiteral("/quillfence/FwUpdata");
    QVERIFY(QDir().mkpath(userImages));
    QFile file(userImages + QStringLiteral("/DCBFCBCC.bin"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(QByteArray(kImageSize, 'C')), qint64(kImageSize));
    file.close();

    SimulatedStorage& machine = installDrive(QStringLiteral("sata"));
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 119.24, "QF-128G-M7B0", "QF20240017", "0208a", true);
    page.GetDiskInfo(info);
    DialogAnswerer answerer;
    press(page);
    QVERIFY(QDir(dataHome.path() + QStringLiteral("/quillfence")).removeRecursively());

    QVERIFY(answerer.seen);
    QCOMPARE(answerer.text, QStringLiteral("<p style='line-height:24px'>") + kSuccess);
    const std::vector<uint8_t>& stream = machine.driveState(1).downloadedSample();  // the first 64 KiB
    const QByteArray sent(reinterpret_cast<const char*>(stream.data()), int(stream.size()));
    QCOMPARE(sent.left(142), QByteArray(142, 'C'));
    QCOMPARE(sent.size(), 20 * 512);
}

QTEST_MAIN(TestFwUpdate)
#include "tst_fwupdate.moc"
