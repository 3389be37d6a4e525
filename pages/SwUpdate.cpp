#include "pages/SwUpdate.h"

#include "files/SafeFiles.h"
#include "pages/LoaderState.h"
#include "pages/RecordText.h"
#include "pages/SwUpdatePlatform.h"
#include "widgets/QMessageDlg.h"
#include "widgets/TextFit.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

const QString kWarningIcon = QStringLiteral(":/Quillfence/Resources/icon2.png");

std::filesystem::path nativePath(const QString &path)
{
    return std::filesystem::u8path(path.toStdString());
}

// The tool's configuration for capacity index 1, 2 and 3; index 0 is "none".
const char *const kCapacityInis[] = {"/MKMPTOOL128G.ini", "/MKMPTOOL256G.ini", "/MKMPTOOL512G.ini"};
const char *const kActiveIni = "/MKMPTOOL.ini";

// The verdict of the tool's last result line: the first word it contains
// decides; a line with none of them is a failed R/W test.
struct Verdict {
    const char *word;  // nullptr: any line
    const char *text;
    const char *style;
};
const char kGood[] = "color:white;background:rgb(100,250,101);";
const char kBad[] = "color:white;background:rgb(251,85,16);";
const Verdict kVerdicts[] = {
    {"true", QT_TRANSLATE_NOOP("SwUpdate", "Flash正常"), kGood},
    {"false", QT_TRANSLATE_NOOP("SwUpdate", "Flash异常"), kBad},
    {"pass", QT_TRANSLATE_NOOP("SwUpdate", "R/W正常"), kGood},
    {nullptr, QT_TRANSLATE_NOOP("SwUpdate", "R/W异常"), kBad},
};

const char kTitleStyle[] = "font: bold 20px \"微软雅黑\";\ncolor: rgb(68, 71, 77);";
const char kCaptionStyle[] = "font: 17px \"微软雅黑\";\ncolor: rgb(68, 71, 77);";
const char kValueStyle[] = "font: 17px \"微软雅黑\";\ncolor: rgb(50, 143, 253);";
const char kButtonStyle[] =
    "QPushButton{font: 15px \"微软雅黑\"; color: white; background: rgb(50, 143, 253);"
    " border: none; border-radius: 4px;}"
    "QPushButton:hover{background: rgb(69, 64, 230);}"
    "QPushButton:disabled{background: rgb(190, 190, 204);}";
const char kSelectorStyle[] =
    "QComboBox{font: 15px \"微软雅黑\"; color: rgb(68, 71, 77); background: white;"
    " border: 1px solid rgb(200, 200, 220); border-radius: 3px; padding-left: 8px;}"
    "QComboBox::drop-down{border: none; width: 28px; background: rgb(50, 143, 253);"
    " border-top-right-radius: 3px; border-bottom-right-radius: 3px;}"
    "QComboBox::down-arrow{image: url(:/Quillfence/Resources/main/pull-down_btn.png);}";

// A modal message dialog with the warning icon; returns the button pressed.
int askUser(QWidget *parent, const QString &text, int buttonSet)
{
    QMessageDlg dialog(parent);
    dialog.resize(300, 200);
    dialog.setMessage(kWarningIcon, text, buttonSet);
    dialog.exec();
    return dialog.result();
}

QLabel *addLabel(QWidget *parent, const QString &text, const char *style, const QRect &geometry)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QString::fromUtf8(style));
    label->setGeometry(geometry);
    return label;
}

}  // namespace

SwUpdate::SwUpdate(QWidget *parent, const QString &appDir)
    : QWidget(parent),
      m_appDir(appDir.isEmpty() ? QCoreApplication::applicationDirPath() : appDir),
      m_tool(new QProcess(this))
{
    buildForm();
    connect(m_tool, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this, &SwUpdate::MPTFinished);
    QMetaObject::connectSlotsByName(this);
}

SwUpdate::~SwUpdate()
{
    // The end of a run must not reach a page that is being destroyed.
    disconnect(m_tool, nullptr, this, nullptr);
    if (m_tool->state() == QProcess::NotRunning)
        return;
    // Killing the tool could leave the drive's flash half written.
    std::fprintf(stderr, "The test tool is still running: waiting for its end\n");
    m_tool->waitForFinished(-1);
    runDiskpart(QStringLiteral("online.txt"), "online disk");
    RestoreIni();
}

bool SwUpdate::mayClose()
{
    if (!m_testActive)
        return true;
    ShowNotice(tr("正在测试，测试结束后才能关闭"));
    return false;
}

void SwUpdate::buildForm()
{
    resize(1153, 460);
    setFocusPolicy(Qt::StrongFocus);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xee, 0xee, 0xfb));
    setPalette(background);
    setAutoFillBackground(true);

    addLabel(this, tr("Flash测试"), kTitleStyle, QRect(130, 49, 221, 21));

    const struct {
        const char *caption;
        const char *objectName;
        QLabel *SwUpdate::*value;
    } rows[] = {
        {QT_TR_NOOP("序列号:"), "lbSerial", &SwUpdate::m_serialValue},
        {QT_TR_NOOP("型号:"), "lbModel", &SwUpdate::m_modelValue},
        {QT_TR_NOOP("固件版本:"), "lbFirmware", &SwUpdate::m_firmwareValue},
        {QT_TR_NOOP("容量:"), "lbCapacity", &SwUpdate::m_capacityValue},
    };
    int y = 100;
    for (const auto &row : rows) {
        addLabel(this, tr(row.caption), kCaptionStyle, QRect(132, y, 100, 30));
        QLabel *value = addLabel(this, QString(), kValueStyle, QRect(232, y, 380, 30));
        value->setObjectName(QLatin1String(row.objectName));
        this->*row.value = value;
        y += 40;
    }

    addLabel(this, tr("测试容量:"), kCaptionStyle, QRect(132, 270, 100, 30));
    m_capacitySelector = new QComboBox(this);
    m_capacitySelector->setObjectName(QStringLiteral("cbCapacity"));
    m_capacitySelector->addItems({tr("请选择容量"), QStringLiteral("128G"), QStringLiteral("256G"),
                                  QStringLiteral("512G")});
    m_capacitySelector->setStyleSheet(QString::fromUtf8(kSelectorStyle));
    m_capacitySelector->setGeometry(232, 270, 160, 30);

    m_flashButton = new QPushButton(tr("Flash测试"), this);
    m_flashButton->setObjectName(QStringLiteral("btTest"));
    m_flashButton->setGeometry(132, 330, 120, 36);
    m_rwButton = new QPushButton(tr("读写测试"), this);
    m_rwButton->setObjectName(QStringLiteral("RWTest"));
    m_rwButton->setGeometry(272, 330, 120, 36);
    for (QPushButton *button : {m_flashButton, m_rwButton}) {
        button->setStyleSheet(QString::fromUtf8(kButtonStyle));
        button->setCursor(Qt::PointingHandCursor);
    }

    m_busy = new QWidget(this);
    m_busy->setObjectName(QStringLiteral("busyIndicator"));
    m_busy->setGeometry(132, 385, 420, 50);
    addLabel(m_busy, tr("正在测试，请勿断开磁盘"), kCaptionStyle, QRect(0, 0, 420, 24));
    auto *bar = new QProgressBar(m_busy);
    bar->setRange(0, 0);  // no end known: a moving bar
    bar->setTextVisible(false);
    bar->setGeometry(0, 32, 260, 10);
    m_busy->hide();

    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("lbResult"));
    m_result->setGeometry(660, 110, 400, 200);
    m_result->hide();
}

void SwUpdate::on_btTest_clicked()
{
    m_result->hide();
    const int capacityIndex = m_capacitySelector->currentIndex();
    if (!capacityAndDiskChosen(capacityIndex))
        return;
    runTool(capacityIndex, false);
}

bool SwUpdate::capacityAndDiskChosen(int capacityIndex)
{
    if (capacityIndex == 0) {
        ShowNotice(tr("请选择容量"));
        return false;
    }
    if (m_model.isEmpty()) {
        ShowNotice(tr("请连接磁盘"));
        return false;
    }
    // The tool takes the whole disk offline and may format it.
    if (m_systemDisk) {
        ShowNotice(tr("此磁盘是系统盘，不能进行测试"));
        return false;
    }
    return true;
}

void SwUpdate::on_RWTest_clicked()
{
    const int capacityIndex = m_capacitySelector->currentIndex();
    if (isLoaderState(m_model, m_capacity)) {
        ShowNotice(tr("4M盘不能进行读写测试"));
        return;
    }
    if (!capacityAndDiskChosen(capacityIndex) || !confirmFormat())
        return;
    m_result->hide();
    runTool(capacityIndex, true);
}

void SwUpdate::GetDiskInfo(PhyDiskInfo &disk)
{
    m_model = recordText(disk.model);
    m_capacity = disk.capacity;
    m_diskNum = disk.diskNum;
    m_systemDisk = disk.isSystemDisk != 0;
    setElidedText(m_serialValue, recordText(disk.serialNumber));
    setElidedText(m_modelValue, m_model);
    setElidedText(m_firmwareValue, recordText(disk.firmware));
    m_capacityValue->setText(QStringLiteral("%1G").arg(QString::number(m_capacity)));
}

void SwUpdate::runTool(int capacityIndex, bool rwTest)
{
    const QString program = m_appDir + QStringLiteral("/M7A0MP/JMMassProd.exe");
    // A press during a run, or while one is prepared or ends, changes
    // nothing: the run keeps its capacity, its test and its disk.
    if (m_testActive)
        return;
    // Without the tool there is nothing to run: leave the disk and the files
    // as they are.
    if (!QFileInfo::exists(program)) {
        ShowNotice(tr("启动失败"));
        return;
    }
    setTestActive(true);
    m_capacityIndex = capacityIndex;
    m_rwTest = rwTest;
    m_runDiskNum = m_diskNum;

    // Without the configuration of the chosen capacity in place the tool
    // must not run: leave the disk and the files as they are.
    if (!SelectIni()) {
        setTestActive(false);
        ShowNotice(tr("启动失败"));
        return;
    }
    if (SetRawFlag()) {
        DiskOffline();
        m_tool->start(program, QStringList(), QIODevice::ReadWrite);
        if (m_tool->waitForStarted(2000)) {
            m_busy->show();
            return;
        }
        DiskOnline();
    }
    // The run did not start: nothing may be left behind that steers a later one.
    DelRawFlag();
    RestoreIni();
    setTestActive(false);
    ShowNotice(tr("启动失败"));
}

void SwUpdate::MPTFinished(int, QProcess::ExitStatus)
{
    if (m_tool->state() != QProcess::NotRunning)
        return;
    DiskOnline();
    m_busy->hide();
    ShowResult();
    RestoreIni();
    setTestActive(false);
}

void SwUpdate::setTestActive(bool active)
{
    m_testActive = active;
    m_flashButton->setEnabled(!active);
    m_rwButton->setEnabled(!active);
}

bool SwUpdate::SelectIni()
{
    if (m_capacityIndex < 1 || m_capacityIndex > 3)
        return false;
    const QString dir = m_appDir + QStringLiteral("/M7A0MP");
    // Fails when the capacity's file is missing or an active configuration
    // is left over from an interrupted run (it may be another capacity's).
    return QFile::rename(dir + QLatin1String(kCapacityInis[m_capacityIndex - 1]), dir + QLatin1String(kActiveIni));
}

void SwUpdate::RestoreIni()
{
    if (m_capacityIndex < 1 || m_capacityIndex > 3)
        return;
    const QString dir = m_appDir + QStringLiteral("/M7A0MP");
    QFile::rename(dir + QLatin1String(kActiveIni), dir + QLatin1String(kCapacityInis[m_capacityIndex - 1]));
}

bool SwUpdate::SetRawFlag()
{
    // Written afresh for every run: a marker kept from an earlier R/W test
    // would turn a Flash test into a format of the disk. Replaced, never
    // written through a link planted under its name.
    const QString marker = m_appDir + QStringLiteral("/raw");
    if (!files::replaceFile(nativePath(marker), m_rwTest ? "true" : "false"))
        return false;
    hideFile(marker);
    return true;
}

void SwUpdate::DelRawFlag()
{
    QFile::remove(m_appDir + QStringLiteral("/raw"));
}

void SwUpdate::DiskOffline()
{
    runDiskpart(QStringLiteral("offline.txt"), "offline disk");
}

void SwUpdate::DiskOnline()
{
    // The disk the run took offline, even if another record arrived since.
    if (runDiskpart(QStringLiteral("online.txt"), "online disk"))
        Delay(500);
}

bool SwUpdate::runDiskpart(const QString &scriptName, const char *command)
{
    // The whole file is replaced: a shorter script must not keep the tail of
    // a longer one, which diskpart would read as further commands, and a link
    // under the script's name must not lead the write elsewhere.
    const QByteArray script = QStringLiteral("select disk %1\r\n").arg(m_runDiskNum).toLatin1() + command;
    if (!files::replaceFile(nativePath(scriptName), script.toStdString()))
        return false;
    runDiskpartScript(scriptName);
    return true;
}

void SwUpdate::ShowResult()
{
    QFile file(m_appDir + QStringLiteral("/result"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QString lastLine;
    QTextStream lines(&file);
    while (!lines.atEnd())
        lastLine = lines.readLine();

    const Verdict *verdict = std::begin(kVerdicts);
    while (verdict->word && !lastLine.contains(QLatin1String(verdict->word)))
        ++verdict;
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(40);
    m_result->setFont(font);
    m_result->setText(tr(verdict->text));
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setStyleSheet(QLatin1String(verdict->style));
    m_result->show();

    file.close();
    file.remove();
}

void SwUpdate::Delay(int ms)
{
    // Qt's timers run on the monotonic clock: neither midnight nor a change
    // of the system time shortens or stretches the wait. Events go on being
    // handled meanwhile, so the window stays responsive.
    QEventLoop wait;
    QTimer::singleShot(ms, Qt::PreciseTimer, &wait, &QEventLoop::quit);
    wait.exec();
}

void SwUpdate::ShowNotice(const QString &text)
{
    askUser(this, text, 0);
}

bool SwUpdate::confirmFormat()
{
    return askUser(this, tr("R/W测试将格式化磁盘，是否继续"), 1) == QMessageDlg::BtnOk;
}
