// quillfence-gallery: every self-painted widget in its main states in one
// window, laid out on the main window's background, for looking at them;
// below them the flash and read/write test page, which no other window shows.
//
//   quillfence-gallery [--screenshot FILE]
//
// With --screenshot the window is saved as a PNG once its states are set, and
// the program quits.

#include "pages/SwUpdate.h"
#include "widgets/CjkFonts.h"
#include "widgets/DiskWidget.h"
#include "widgets/MyPushButton.h"
#include "widgets/MyTitleBar.h"
#include "widgets/QMenuButton.h"
#include "widgets/QMessageDlg.h"
#include "widgets/QRoundProgressBar.h"
#include "widgets/QUsbButton.h"

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <cstdio>
#include <functional>

namespace {

const QString kRes = QStringLiteral(":/Quillfence/Resources/");

// The main window's background: a vertical gradient over the window height.
class Backdrop : public QWidget
{
protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(50, 143, 253));
        gradient.setColorAt(1, QColor(69, 64, 230));
        painter.fillRect(rect(), gradient);
    }
};

QLabel *caption(QWidget *parent, const QString &text, int x, int y)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: rgb(185, 206, 248); font: 11px \"微软雅黑\";"));
    label->move(x, y);
    return label;
}

QLabel *picture(QWidget *parent, const QString &path, int x, int y)
{
    auto *label = new QLabel(parent);
    label->setPixmap(QPixmap(path));
    label->move(x, y);
    label->adjustSize();
    return label;
}

void sendMouse(QWidget *widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void click(QWidget *widget, QPoint pos)
{
    sendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

// A message dialog as the pages configure it, drawn into a picture (the
// dialog itself is a separate window).
void addDialogPicture(QWidget *parent, int x, int y, const std::function<void(QMessageDlg &)> &setUp)
{
    QMessageDlg dialog;
    dialog.resize(300, 200);
    setUp(dialog);
    auto *label = new QLabel(parent);
    label->setPixmap(dialog.grab());
    label->setGeometry(x, y, 300, 200);
}

void addDialogs(QWidget *parent, int y)
{
    struct Sample {
        const char *title;
        std::function<void(QMessageDlg &)> setUp;
    };
    const QVector<Sample> samples = {
        {"set 0", [](QMessageDlg &d) { d.setMessage(kRes + "icon1.png", "固件升级成功，请重新上电", 0); }},
        {"set 1, 确定 hovered",
         [](QMessageDlg &d) {
             d.setMessage(kRes + "icon3.png", "文件已经导出，是否现在打开？", 1);
             sendMouse(&d, QEvent::MouseMove, QPoint(75, 180), Qt::NoButton);
         }},
        {"set 2, 否 pressed",
         [](QMessageDlg &d) {
             d.setMessage(kRes + "icon2.png", "R/W测试将格式化磁盘，是否继续", 2);
             sendMouse(&d, QEvent::MouseButtonPress, QPoint(225, 180), Qt::LeftButton);
         }},
        {"set 3", [](QMessageDlg &d) { d.setMessage(kRes + "icon2.png", "请勿断开磁盘", 3); }},
        {"close choice", [](QMessageDlg &d) { d.setCloseChoice(1); }},
    };
    int x = 10;
    for (const Sample &s : samples) {
        caption(parent, QString::fromUtf8(s.title), x, y - 16);
        addDialogPicture(parent, x, y, s.setUp);
        x += 310;
    }
}

void addRings(QWidget *parent, int x, int y)
{
    const struct {
        double value;
        int side;
        int ringWidth;
    } rings[] = {{0, 41, 2}, {87.4, 41, 2}, {100, 41, 2}, {87.4, 150, 6}};
    caption(parent, QStringLiteral("ring 0, 87.4, 100; large 87.4"), x, y - 16);
    int left = x;
    for (const auto &r : rings) {
        auto *ring = new QRoundProgressBar(parent);
        ring->setMaximum(100.0);
        ring->setRingWidth(r.ringWidth);
        ring->setValue(r.value);
        const int top = r.side == 41 ? y : y + 45;
        ring->setGeometry(r.side == 41 ? left : x, top, r.side, r.side);
        left += 55;
    }
}

// The status picture with the widgets the main window lays over it.
void addStatusPanel(QWidget *parent, int x, int y)
{
    picture(parent, kRes + "add/refresh_circle2x.png", x, y);
    auto *life = new QLabel(QStringLiteral("剩余寿命"), parent);
    life->setStyleSheet(QStringLiteral("color: rgb(185, 206, 248); font: 14px \"微软雅黑\";"));
    life->setGeometry(x + 93, y + 12, 141, 21);
    auto *ring = new QRoundProgressBar(parent);
    ring->setMaximum(100.0);
    ring->setRingWidth(2);
    ring->setValue(87.4);
    ring->setGeometry(x + 104, y + 39, 41, 41);
    auto *refresh = new QUsbButton(parent);
    refresh->move(x + 107, y + 94);
    refresh->setToolTip(QStringLiteral("点我刷新"));
    refresh->applyRefreshStyle();
    picture(parent, kRes + "main/SSD.png", x + 60, y + 256);
    auto *name = new QLabel(QStringLiteral("QuorventaSSD"), parent);
    name->setStyleSheet(QStringLiteral("color: rgb(185, 206, 248); font: 14px \"微软雅黑\";"));
    name->setGeometry(x + 48, y + 299, 181, 21);
    auto *health = new QLabel(parent);
    health->setScaledContents(true);
    health->setPixmap(QPixmap(kRes + "main/excellent_icon.png"));
    health->setGeometry(x + 296, y + 203, 50, 50);
    auto *level = new QLabel(QStringLiteral("健康指标：良好"), parent);
    level->setStyleSheet(QStringLiteral("color: rgb(185, 206, 248); font: 14px \"微软雅黑\";"));
    level->setGeometry(x + 263, y + 259, 191, 21);
}

DiskWidget *addPartitions(QWidget *parent, int x, int y, int count, int columns, const QString &title)
{
    caption(parent, title, x, y - 16);
    auto *bars = new DiskWidget(parent);
    bars->setGeometry(x, y, 451, 361);
    bars->setColumns(columns);
    bars->setFontSize(columns == 1 ? 11 : 9);
    const float totals[] = {119.24f, 465.76f, 931.51f, 59.99f, 238.47f, 14.65f, 1863.01f, 476.94f, 100.0f};
    const float usedShare[] = {0.42f, 0.95f, 0.18f, 0.90f, 0.63f, 0.99f, 0.05f, 0.77f, 0.91f};
    for (int i = 0; i < count; ++i) {
        bars->addItem(kRes + "main/disk_small.png", QString(QChar('C' + i)), totals[i] * usedShare[i],
                      totals[i]);
    }
    return bars;
}

// The flash and read/write test page with a sample record. The gallery's
// folder holds no test tool, so a press on a test button ends in "启动失败"
// before any disk or file is touched.
void addTestPage(QWidget *parent, int x, int y)
{
    caption(parent, QStringLiteral("flash and R/W test page: a sample record, 512G chosen"), x, y - 16);
    auto *page = new SwUpdate(parent);
    page->move(x, y);
    PhyDiskInfo disk{};
    disk.diskNum = 1;
    disk.capacity = 476.94;
    qstrncpy(disk.serialNumber, "QV7A1H08430091", kTextLength);
    qstrncpy(disk.model, "QYM-M7A0-512G", kTextLength);
    qstrncpy(disk.firmware, "0428c", kTextLength);
    page->GetDiskInfo(disk);
    page->findChild<QComboBox *>(QStringLiteral("cbCapacity"))->setCurrentIndex(3);
}

}  // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installCjkFontSubstitutes();
    QApplication::setWindowIcon(QIcon(kRes + "ICON.png"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                        QStringLiteral("Save the window as a PNG and quit."),
                                        QStringLiteral("file"));
    parser.addOption(screenshot);
    parser.process(app);

    Backdrop window;
    window.setWindowTitle(QStringLiteral("SSD Quillfence widget gallery"));
    window.setFixedSize(1880, 1710);

    auto *titleBar = new MyTitleBar(&window);
    titleBar->setTitleIcon(kRes + "main/SSD-Quillfence_logo.png");
    titleBar->setGeometry(0, 0, 1880, 45);

    caption(&window, QStringLiteral("page strip: 0 selected, 1 hovered, 3 never drawn"), 10, 54);
    auto *strip = new QMenuButton(&window);
    strip->setGeometry(10, 70, 1118, 60);
    const struct {
        const char *caption;
        const char *icon;
    } pages[] = {
        {"S.M.A.R.T信息", "S.M.R.T_icon"},
        {"固件检测", "system-migration_icon"},
        {"固件升级", "firmware-upgrade_icon"},
        {"Flash Test", "software-update"},
    };
    for (int id = 0; id < 4; ++id) {
        const QString icon = kRes + "3toolbar/" + QLatin1String(pages[id].icon);
        strip->addButton(icon + ".png", icon + "_sel.png", QString::fromUtf8(pages[id].caption), id);
    }
    picture(&window, kRes + "3toolbar/toolbar_bg.png", 10, 135);

    caption(&window, QStringLiteral("push buttons: 刷新 hovered, 刷新, copy, export hovered"), 1150, 54);
    const struct {
        const char *text;
        const char *icon;
        bool white;
        bool hovered;
    } pushButtons[] = {
        {"刷新", "刷新", true, true},
        {"刷新", "刷新", true, false},
        {"复制", "smart_copy", false, false},
        {"导出", "smart_export", false, true},
    };
    auto *card = new QWidget(&window);  // the SMART page's white
    card->setGeometry(1340, 70, 200, 60);
    card->setStyleSheet(QStringLiteral("background: white;"));
    int bx = 1150;
    for (const auto &b : pushButtons) {
        auto *button = new MyPushButton(b.white ? static_cast<QWidget *>(&window) : card);
        const QString icon = kRes + QString::fromUtf8(b.icon);
        button->setButtonStyle(icon + ".png", icon + "_sel.png", b.white, b.white);
        button->setText(QString::fromUtf8(b.text));
        button->setFont(QFont(QStringLiteral("宋体"), 10));
        button->setGeometry(b.white ? bx : bx - 1340, b.white ? 84 : 84 - 70, 75, 31);
        if (b.hovered) {
            QEvent enter(QEvent::Enter);
            QApplication::sendEvent(button, &enter);
        }
        bx += b.white ? 90 : 95;
    }

    addDialogs(&window, 200);
    addRings(&window, 1570, 200);

    addPartitions(&window, 10, 440, 3, 1, QStringLiteral("3 entries, one column"));
    addPartitions(&window, 471, 440, 5, 2, QStringLiteral("5 entries, two columns"));
    DiskWidget *pagedOne = addPartitions(&window, 932, 440, 5, 1, QStringLiteral("5 entries, one column: paging"));
    DiskWidget *scrolled = addPartitions(&window, 1393, 440, 9, 2,
                                         QStringLiteral("9 entries, two columns, scrolled one row"));

    caption(&window, QStringLiteral("no disk / status picture with its widgets"), 10, 806);
    picture(&window, kRes + "main/trouble.png", 10, 822);
    addStatusPanel(&window, 380, 822);
    int ix = 760;
    for (const char *icon : {"main/bad_icon.png", "main/fine_icon.png", "main/excellent_icon.png", "icon1.png",
                             "icon2.png", "icon3.png", "ICON.png", "main/SSD.png", "main/disk_select_icon.png",
                             "add/qr-code2x.png"}) {
        const QLabel *label = picture(&window, kRes + icon, ix, 840);
        ix += label->width() + 14;
    }

    addTestPage(&window, 10, 1236);

    window.show();

    // States that come from the mouse are set once the widgets have painted,
    // since their hit rectangles are computed while painting.
    QTimer::singleShot(300, [&] {
        strip->repaint();
        click(strip, QPoint(186, 30));
        sendMouse(strip, QEvent::MouseMove, QPoint(372 + 186, 30), Qt::NoButton);
        pagedOne->repaint();
        scrolled->repaint();
        click(scrolled, scrolled->downArrowRect().center());
        window.update();
    });
    if (parser.isSet(screenshot)) {
        QTimer::singleShot(800, [&] {
            const QString file = parser.value(screenshot);
            if (!window.grab().save(file)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                QApplication::exit(1);
                return;
            }
            QApplication::quit();
        });
    }
    return app.exec();
}
