// The firmware-update page: its form, the identity labels, its slide, and the
// update button pressed on simulated drives, with the firmware images in the
// test's own application folder or the user's data folder, and the message
// dialog answered as a user would.
#include "pages/FwUpdate.h"
#include "PageTestSupport.h"
#include "disk/DiskList.h"
#include "disk/simulated/AtaSectors.h"
#include "disk/simulated/Fleet.h"
#include "disk/simulated/Sha256.h"
#include "disk/simulated/SimulatedStorage.h"
#include "disk/StorageBackend.h"
#include "firmware/FwImage.h"
#include "widgets/CjkFonts.h"
#include "widgets/QMessageDlg.h"
#include "worker/DeviceWorker.h"
#include "CommandGate.h"
#include "DialogAnswerer.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
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
    void cancelSendsNothing();
    void theDriveAskedAboutIsTheOneSent_data();
    void theDriveAskedAboutIsTheOneSent();
    void failedBusTypeQueryShowsNothing();
    void nvmeDriveIsOfferedNoUpdate();
    void imageInTheUsersDataFolder();
    void progressDuringASlowTransfer();
    void revisionReadAgainAfterSuccess_data();
    void revisionReadAgainAfterSuccess();

private:
    // Installs a simulated machine with drive 1 as described.
    SimulatedStorage& installDrive(const QString& bus, const QString& extra = QString());
    static void press(FwUpdate& page);
    static QImage referenceIcon(const QString& icon, const QSize& size = QSize(300, 200));
    // Waits until the transfer the page started has ended.
    static bool transferEnded(FwUpdate& page);

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

bool TestFwUpdate::transferEnded(FwUpdate& page)
{
    auto* button = page.findChild<QPushButton*>(QStringLiteral("btUpdate"));
    return QTest::qWaitFor([button] { return button->isEnabled(); }, 20000);
}

QImage TestFwUpdate::referenceIcon(const QString& icon, const QSize& size)
{
    QMessageDlg reference;
    reference.resize(size);
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
                            "QPushButton:hover{border:0px; border-radius:2px; color:f7fbfc;}\n"
                            "QPushButton:disabled{background-color: rgb(190, 190, 204);}"));
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
    // Wider than the label: elided with "…", whole in the tool tip.
    const QLabel* model = page.findChild<QLabel*>(QStringLiteral("lb_Model"));
    QVERIFY2(model->text().endsWith(QChar(0x2026)), qPrintable(model->text()));
    QVERIFY(model->text().size() > 1 && model->text().chopped(1) == QString(model->text().size() - 1, QLatin1Char('M')));
    QCOMPARE(model->toolTip(), QString(kTextLength, QLatin1Char('M')));
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
    QCOMPARE(answerer.dialogs.size(), 1);
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") + kLatest);
    QVERIFY(machine.openLog().empty());
}

void TestFwUpdate::button_data()
{
    QTest::addColumn<QString>("bus");
    QTest::addColumn<QString>("driveExtra");  // more keys of drive 1 in the fleet
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<QByteArray>("revision");
    QTest::addColumn<bool>("maker");
    QTest::addColumn<bool>("asked");  // the question comes before the transfer
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("image");  // the image the drive must have received; empty: none
    QTest::addColumn<QList<Received>>("commands");

    const QList<Received> none;
    // 20 sectors: with 256-sector blocks one whole command; with 8-sector
    // blocks two pieces, the remainder and the last sector alone.
    const QList<Received> whole = {{0x07, 20, 0}};
    const QList<Received> pieces = {{0x03, 8, 0}, {0x03, 8, 8}, {0x03, 3, 16}, {0x03, 1, 19}};

    QTest::newRow("SATA, model code M7B0: one command") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                                        << QByteArray("S0208A01") << true << true << kSuccess
                                                        << QByteArray("DCBFCBGC.bin") << whole;
    QTest::newRow("SATA, no model code: 8-sector pieces") << "sata" << QString() << QByteArray("QF 240G")
                                                          << QByteArray("0208a") << true << true << kSuccess
                                                          << QByteArray("DCBFCBGC.bin") << pieces;
    QTest::newRow("USB with model code M7B0: still 8-sector pieces")
        << "usb" << QString() << QByteArray("QF-512G-M7B0") << QByteArray("0208a") << true << true << kSuccess
        << QByteArray("DCBFCBOC.bin") << pieces;
    QTest::newRow("not the maker's drive") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                           << QByteArray("0208a") << false << false << kLatest << QByteArray()
                                           << none;
    QTest::newRow("latest revision, also naming 0208a") << "sata" << QString() << QByteArray("QF-256G-M7B0")
                                                        << QByteArray("0428C0208a") << true << false << kLatest
                                                        << QByteArray() << none;
    QTest::newRow("capacity in lower case") << "sata" << QString() << QByteArray("QF-256g-M7B0")
                                            << QByteArray("0208a") << true << false << kLatest << QByteArray()
                                            << none;
    // Nothing to confirm: the transfer stops before its first command.
    QTest::newRow("missing image file") << "sata" << QString() << QByteArray("QF-128G-M7B0")
                                        << QByteArray("0208a") << true << false << kSizeZero << QByteArray()
                                        << none;
    QTest::newRow("second command fails") << "sata" << QStringLiteral(", \"failCommand\": 2")
                                          << QByteArray("QF 240G") << QByteArray("0208a") << true << true
                                          << kCommandError << QByteArray() << QList<Received>{{0x03, 8, 0}};
}

// The question names the drive, the image and its size and warns; 确定
// sends the image, then the outcome comes in its own message.
void TestFwUpdate::button()
{
    QFETCH(QString, bus);
    QFETCH(QString, driveExtra);
    QFETCH(QByteArray, model);
    QFETCH(QByteArray, revision);
    QFETCH(bool, maker);
    QFETCH(bool, asked);
    QFETCH(QString, message);
    QFETCH(QByteArray, image);
    QFETCH(QList<Received>, commands);

    SimulatedStorage& machine = installDrive(bus, driveExtra);
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 238.47, model.constData(), "QF20240017", revision.constData(), maker);
    page.GetDiskInfo(info);

    DialogAnswerer answerer;
    press(page);
    QVERIFY(transferEnded(page));
    QTRY_COMPARE(answerer.dialogs.size(), asked ? 2 : 1);

    if (asked) {
        const DialogAnswerer::Seen& question = answerer.dialogs.first();
        QCOMPARE(question.parent, &page);
        QCOMPARE(question.size, QSize(520, 400));
        QCOMPARE(question.iconArea, referenceIcon(QStringLiteral(":/Quillfence/Resources/icon3.png"), question.size));
        for (const QString& part : {QString::fromLatin1(model), QStringLiteral("QF20240017"),
                                    QString::fromLatin1(revision), QStringLiteral("238.47 GB"),
                                    QStringLiteral("（10000 字节）"), QStringLiteral("请勿关闭电源或拔出磁盘")})
            QVERIFY2(question.text.contains(part), qPrintable(part + " not in " + question.text));
        const QString imageName = bus == "usb" ? "DCBFCBOC.bin" : "DCBFCBGC.bin";
        QVERIFY2(question.text.contains(imageName), qPrintable(question.text));
    }
    const DialogAnswerer::Seen& outcome = answerer.last();
    QCOMPARE(outcome.parent, &page);
    QCOMPARE(outcome.size, QSize(300, 200));
    QCOMPARE(outcome.text, QStringLiteral("<p style='line-height:24px'>") + message);
    QCOMPARE(outcome.iconArea, referenceIcon(message == kSuccess ? kSuccessIcon : kNoticeIcon));

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
    QVERIFY(page.findChild<QProgressBar*>(QStringLiteral("pbTransfer"))->isHidden());
}

// 取消, or the question closed without a button (by the window manager):
// no drive is opened, nothing follows the question.
void TestFwUpdate::cancelSendsNothing()
{
    const DialogAnswerer::Answer cancels[] = {
        [](QMessageDlg* dialog) { clickMessageButton(dialog, QMessageDlg::BtnCancel); },
        [](QMessageDlg* dialog) { dialog->reject(); },
    };
    for (const DialogAnswerer::Answer& cancel : cancels) {
        SimulatedStorage& machine = installDrive(QStringLiteral("sata"));
        FwUpdate page;
        PhyDiskInfo info = makeRecord(1, 238.47, "QF 240G", "QF20240017", "0208a", true);
        page.GetDiskInfo(info);
        DialogAnswerer answerer;
        answerer.answers = {cancel};
        press(page);
        // Anything after the question would come from a transfer, queued on
        // the device thread by the press; none was.
        auto* devices = page.findChild<DeviceWorker*>();
        QVERIFY(devices);
        QVERIFY(!devices->transferring());
        QCOMPARE(answerer.dialogs.size(), 1);
        QVERIFY(answerer.last().text.contains(QStringLiteral("是否继续")));
        QVERIFY(machine.openLog().empty());
        QVERIFY(machine.received().empty());
        QVERIFY(page.findChild<QProgressBar*>(QStringLiteral("pbTransfer"))->isHidden());
        QVERIFY(page.findChild<QPushButton*>(QStringLiteral("btUpdate"))->isEnabled());
    }
}

// The list is read again while the question is open, and the page gets the
// record of its disk anew: the same device goes on to the transfer; another
// device under the same number and model (the drive was replaced) is sent
// nothing, and the user is told to try again.
void TestFwUpdate::theDriveAskedAboutIsTheOneSent_data()
{
    QTest::addColumn<quint64>("sequenceAfter");
    QTest::addColumn<bool>("sent");
    QTest::newRow("the same device") << quint64(0) << true;
    QTest::newRow("another device") << quint64(7) << false;
}

void TestFwUpdate::theDriveAskedAboutIsTheOneSent()
{
    QFETCH(quint64, sequenceAfter);
    QFETCH(bool, sent);
    SimulatedStorage& machine = installDrive(QStringLiteral("sata"));
    FwUpdate page;
    PhyDiskInfo asked = makeRecord(1, 238.47, "QF-256G-M7B0", "QF20240017", "0208a", true);
    PhyDiskInfo after = asked;
    after.device.sequence = sequenceAfter;
    page.GetDiskInfo(asked);

    DialogAnswerer answerer;
    answerer.answers = {[&](QMessageDlg* question) {
        page.GetDiskInfo(after);
        clickMessageButton(question, QMessageDlg::BtnOk);
    }};
    press(page);
    QVERIFY(transferEnded(page));
    QTRY_COMPARE(answerer.dialogs.size(), 2);
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") +
                                       (sent ? kSuccess : QStringLiteral("正在读取磁盘信息，固件未发送，请稍后再试")));
    QCOMPARE(machine.driveState(1).downloads().empty(), !sent);
    if (!sent)
        QVERIFY2(machine.openLog().empty(), "not even opened");
}

void TestFwUpdate::failedBusTypeQueryShowsNothing()
{
    SimulatedStorage& machine = installDrive(QStringLiteral("sata"), QStringLiteral(", \"faults\": [\"busType\"]"));
    FwUpdate page;
    PhyDiskInfo info = makeRecord(1, 238.47, "QF-256G-M7B0", "QF20240017", "0208a", true);
    page.GetDiskInfo(info);

    DialogAnswerer answerer;
    press(page);
    // The outcome's message, had there been one, came before the end.
    QVERIFY(transferEnded(page));
    QCOMPARE(answerer.dialogs.size(), 1);  // the question only
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
    QTRY_COMPARE(answerer.dialogs.size(), 1);
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") + kNvme);
    QCOMPARE(answerer.last().iconArea, referenceIcon(kNoticeIcon));
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
    QVERIFY(transferEnded(page));
    QVERIFY(QDir(dataHome.path() + QStringLiteral("/quillfence")).removeRecursively());

    QTRY_COMPARE(answerer.dialogs.size(), 2);
    QVERIFY2(answerer.dialogs.first().text.contains(QStringLiteral("DCBFCBCC.bin")), "the question names the image");
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") + kSuccess);
    const std::vector<uint8_t>& stream = machine.driveState(1).downloadedSample();  // the first 64 KiB
    const QByteArray sent(reinterpret_cast<const char*>(stream.data()), int(stream.size()));
    QCOMPARE(sent.left(142), QByteArray(142, 'C'));
    QCOMPARE(sent.size(), 20 * 512);
}

// A drive that takes its time over every command: the page keeps painting,
// the bar counts the commands up as they are sent, and goes when they are.
// Each command waits until the bar has shown the one before: a page waiting
// for the drive would make the gate give up.
void TestFwUpdate::progressDuringASlowTransfer()
{
    SimulatedStorage& machine = installDrive(QStringLiteral("sata"), QStringLiteral(", \"delayMs\": 600"));
    FwUpdate page;
    int shown = -1;  // the highest count the bar showed
    CommandGate gate(machine, [&](int) {
        const int sent = int(machine.driveState(1).downloads().size());
        return sent == 0 || shown >= sent - 1;
    });
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    PhyDiskInfo info = makeRecord(1, 238.47, "QF 240G", "QF20240017", "0208a", true);
    page.GetDiskInfo(info);
    auto* bar = page.findChild<QProgressBar*>(QStringLiteral("pbTransfer"));
    auto* note = page.findChild<QLabel*>(QStringLiteral("lbUpdateNote"));
    auto* button = page.findChild<QPushButton*>(QStringLiteral("btUpdate"));

    QList<int> values;
    bool noteShown = false;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, [&] {
        if (bar->isVisible() && bar->maximum() > 0 && (values.isEmpty() || values.last() != bar->value())) {
            values << bar->value();
            gate.update([&](int) { shown = std::max(shown, bar->value()); });
        }
        noteShown = noteShown || (note->isVisible() && note->text() == QStringLiteral("正在升级固件，请勿关闭电源或拔出磁盘"));
        QVERIFY(!bar->isVisible() || !button->isEnabled());
    });
    DialogAnswerer answerer;
    ticks.start(5);
    press(page);
    QVERIFY(transferEnded(page));
    ticks.stop();
    QCOMPARE(answerer.dialogs.size(), 2);
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") + kSuccess);
    // Sent 0, 1, 2 and 3 of 4 seen on the way; the last step may come with the end.
    QCOMPARE(values.mid(0, 4), (QList<int>{0, 1, 2, 3}));
    QCOMPARE(bar->value(), 4);
    QCOMPARE(bar->maximum(), 4);
    QVERIFY(noteShown);
    QVERIFY(bar->isHidden());
    QVERIFY2(!gate.forced(), "the page waited for the drive");
}

void TestFwUpdate::revisionReadAgainAfterSuccess_data()
{
    QTest::addColumn<QString>("after");  // the revision the drive reports after the last command
    QTest::addColumn<QString>("note");
    QTest::newRow("new revision at once") << "0428c" << "磁盘现在报告的固件版本为 0428c";
    QTest::newRow("old revision until a power cycle")
        << "0208a" << "磁盘报告的固件版本仍为 0208a：新固件可能要在磁盘断电并重新上电后才会生效";
}

// After the last command the drive is read again; the page shows what it
// reports, and says so where the revision did not change.
void TestFwUpdate::revisionReadAgainAfterSuccess()
{
    QFETCH(QString, after);
    QFETCH(QString, note);
    const QString json = QStringLiteral(
        "{\"drives\": [{\"number\": 0, \"length\": 256060514304, \"volumes\": [{\"letter\": \"C\", \"total\": 1000,"
        " \"free\": 10}]}, {\"number\": 1, \"length\": 256060514304, \"identity\": {\"serial\": \"QV1\","
        " \"model\": \"QX-M7A0-240G\", \"firmware\": \"0208a\"}}]}");
    auto backend = std::make_unique<SimulatedStorage>(parseFleet(json.toStdString()));
    SimulatedStorage& machine = *backend;
    installStorage(std::move(backend));
    // The drive takes the new firmware with the last of the four commands.
    machine.afterEachCommand([&machine, after] {
        if (machine.driveState(1).downloads().size() == 4)
            machine.fleet().drives[1].behaviour.identify =
                buildIdentifySector("QV1", "QX-M7A0-240G", after.toStdString());
    });

    FwUpdate page;
    PhyDiskInfo before{};
    bool found = false;
    QCOMPARE(ReadOneDisk(1, false, before, found), DiskListStatus::Listed);
    QVERIFY(found);
    page.GetDiskInfo(before);
    DialogAnswerer answerer;
    press(page);
    QVERIFY(transferEnded(page));
    QTRY_COMPARE(answerer.dialogs.size(), 2);
    QCOMPARE(answerer.last().text, QStringLiteral("<p style='line-height:24px'>") + kSuccess);
    QCOMPARE(page.findChild<QLabel*>(QStringLiteral("lb_FW"))->text(), after);
    auto* shown = page.findChild<QLabel*>(QStringLiteral("lbUpdateNote"));
    QVERIFY(!shown->isHidden());
    QCOMPARE(shown->text(), note);

    // Another disk's record takes the note away.
    PhyDiskInfo other = makeRecord(2, 100, "Other");
    page.GetDiskInfo(other);
    QVERIFY(shown->isHidden());
}

QTEST_MAIN(TestFwUpdate)
#include "tst_fwupdate.moc"
