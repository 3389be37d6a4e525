#include "history/view/HealthHistoryView.h"

#include "history/view/HistoryChart.h"
#include "history/view/HistoryFonts.h"
#include "widgets/CoreText.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRunnable>
#include <QTableWidget>
#include <QThreadPool>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

constexpr int kTitleHeight = 45;
constexpr qint64 kDay = 24 * 3600;

struct RangeChoice {
    HealthHistoryView::Range range;
    const char* text;
    qint64 seconds;  // 0: everything
};

const RangeChoice kRanges[] = {
    {HealthHistoryView::Week, QT_TRANSLATE_NOOP("HealthHistoryView", "一周"), 7 * kDay},
    {HealthHistoryView::Month, QT_TRANSLATE_NOOP("HealthHistoryView", "一个月"), 30 * kDay},
    {HealthHistoryView::Year, QT_TRANSLATE_NOOP("HealthHistoryView", "一年"), 365 * kDay},
    {HealthHistoryView::Everything, QT_TRANSLATE_NOOP("HealthHistoryView", "全部"), 0},
};

const char kRangeStyle[] =
    "QPushButton{background: white; color: rgb(68, 71, 77); border: 1px solid rgb(200, 200, 220);"
    " border-radius: 3px; padding: 3px 14px;}"
    "QPushButton:hover{border-color: rgb(50, 143, 253);}"
    "QPushButton:checked{background: rgb(50, 143, 253); color: white; border-color: rgb(50, 143, 253);}";
const char kCloseStyle[] =
    "QPushButton{background: transparent; color: white; border: 0px; font-size: 20px;}"
    "QPushButton:hover{color: rgb(255, 220, 220);}";
const char kHeaderStyle[] = "QHeaderView{ background:#6e7486; }QHeaderView::section{background:#6e7486;"
                            " color: white; border: 0px; padding-left: 6px;}";
const char kTableStyle[] = "QTableWidget{alternate-background-color: #e1e2f0; border: 1px solid rgb(200, 200, 220);}"
                           "QTableWidget::item:!alternate:!selected{background-color:#eeeefb;}";

QString percent(double value, double)
{
    return QStringLiteral("%1%").arg(std::lround(value));
}

QString celsius(double value, double)
{
    return QStringLiteral("%1℃").arg(std::lround(value));
}

// Bytes in the unit that suits the largest value shown.
QString bytes(double value, double largest)
{
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB", "PB"};
    int unit = 0;
    double scale = 1;
    while (unit < 5 && largest / scale >= 1000) {
        scale *= 1000;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value / scale, 0, 'f', largest / scale < 10 ? 2 : 1).arg(QLatin1String(units[unit]));
}

}  // namespace

struct HealthHistoryView::Data {
    int generation = 0;
    bool found = false;
    QString error;
    qint64 from = 0, to = 0;
    QVector<HistoryChart::Point> life, temperature, written;
    std::vector<history::StoredEvent> events;
};

HealthHistoryView::HealthHistoryView(const history::DriveKey& drive, const QString& diskLabel, QWidget* parent,
                                     Range range)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), drive_(drive), range_(range)
{
    setObjectName(QStringLiteral("HealthHistory"));
    setWindowTitle(tr("健康历史"));
    resize(900, 660);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(0xee, 0xee, 0xfb));
    setPalette(background);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 0, 20, 16);
    layout->setSpacing(8);

    // The title bar: painted blue; the title and the close button on it.
    auto* titleRow = new QHBoxLayout;
    auto* title = new QLabel(tr("健康历史"), this);
    title->setFont(historyCaptionFont(16, true));
    title->setStyleSheet(QStringLiteral("color: white;"));
    auto* close = new QPushButton(QStringLiteral("×"), this);
    close->setObjectName(QStringLiteral("btClose"));
    close->setToolTip(tr("关闭"));
    close->setCursor(Qt::PointingHandCursor);
    close->setStyleSheet(QString::fromLatin1(kCloseStyle));
    close->setFixedSize(32, 32);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    titleRow->addWidget(title);
    titleRow->addStretch();
    titleRow->addWidget(close);
    auto* titleBar = new QWidget(this);
    titleBar->setFixedHeight(kTitleHeight);
    titleBar->setLayout(titleRow);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleBar->setAttribute(Qt::WA_TransparentForMouseEvents, false);
    layout->addWidget(titleBar);

    // The drive and the ranges.
    auto* driveRow = new QHBoxLayout;
    auto* driveName = new QLabel(tr("%1    序列号 %2").arg(diskLabel, QString::fromStdString(drive.serial)), this);
    driveName->setObjectName(QStringLiteral("lbDrive"));
    driveName->setFont(historyCaptionFont(14, true));
    driveName->setStyleSheet(QStringLiteral("color: rgb(68, 71, 77);"));
    driveRow->addWidget(driveName, 1);
    ranges_ = new QButtonGroup(this);
    for (const RangeChoice& choice : kRanges) {
        auto* button = new QPushButton(tr(choice.text), this);
        button->setCheckable(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setFont(historyCaptionFont(13));
        button->setStyleSheet(QString::fromLatin1(kRangeStyle));
        ranges_->addButton(button, choice.range);
        driveRow->addWidget(button);
    }
    ranges_->button(range_)->setChecked(true);
    connect(ranges_, &QButtonGroup::idClicked, this,
            [this](int id) { setRange(static_cast<Range>(id)); });
    layout->addLayout(driveRow);

    charts_[0] = new HistoryChart(tr("剩余寿命"), percent, this);
    charts_[1] = new HistoryChart(tr("温度"), celsius, this);
    charts_[2] = new HistoryChart(tr("写入量"), bytes, this);
    for (HistoryChart* chart : charts_)
        layout->addWidget(chart, 1);

    auto* eventsTitle = new QLabel(tr("健康警报"), this);
    eventsTitle->setFont(historyCaptionFont(13, true));
    eventsTitle->setStyleSheet(QStringLiteral("color: rgb(68, 71, 77);"));
    layout->addWidget(eventsTitle);
    events_ = new QTableWidget(0, 2, this);
    events_->setObjectName(QStringLiteral("twEvents"));
    events_->setHorizontalHeaderLabels({tr("时间"), tr("变化")});
    events_->horizontalHeader()->setStyleSheet(QString::fromLatin1(kHeaderStyle));
    events_->horizontalHeader()->setFixedHeight(25);
    events_->horizontalHeader()->setHighlightSections(false);
    events_->horizontalHeader()->setStretchLastSection(true);
    events_->setColumnWidth(0, 150);
    events_->verticalHeader()->hide();
    events_->verticalHeader()->setDefaultSectionSize(24);
    events_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    events_->setSelectionBehavior(QAbstractItemView::SelectRows);
    events_->setAlternatingRowColors(true);
    events_->setStyleSheet(QString::fromLatin1(kTableStyle));
    events_->setFont(historyValueFont(12));
    events_->setFixedHeight(130);
    layout->addWidget(events_);

    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("lbNote"));
    note_->setFont(historyCaptionFont(12));
    note_->setStyleSheet(QStringLiteral("color: rgb(120, 120, 120);"));
    layout->addWidget(note_);

    load();
}

void HealthHistoryView::setRange(Range range)
{
    range_ = range;
    if (ranges_->checkedId() != range)
        ranges_->button(range)->setChecked(true);
    load();
}

QString HealthHistoryView::noteText() const
{
    return note_->text();
}

int HealthHistoryView::eventCount() const
{
    return events_->rowCount();
}

void HealthHistoryView::load()
{
    loaded_ = false;
    note_->setText(tr("正在读取历史记录…"));
    const int generation = ++generation_;
    qint64 seconds = 0;
    for (const RangeChoice& choice : kRanges) {
        if (choice.range == range_)
            seconds = choice.seconds;
    }
    QPointer<HealthHistoryView> view(this);
    const history::DriveKey drive = drive_;
    QThreadPool::globalInstance()->start(QRunnable::create([view, drive, seconds, generation] {
        auto data = std::make_shared<Data>();
        data->generation = generation;
        data->to = history::Now();
        const qint64 since = seconds ? data->to - seconds : std::numeric_limits<qint64>::min();
        std::string error;
        const auto file = history::HealthStore::DefaultFile();
        const auto store = file ? history::HealthStore::Open(*file, error) : nullptr;
        if (!store) {
            data->error = file ? QString::fromStdString(error) : tr("没有用户数据文件夹");
        } else if (const auto stored = store->DriveOf(drive)) {
            data->found = true;
            data->from = seconds ? since : stored->first;
            for (const history::SeriesPoint& point : store->Series(stored->id, since)) {
                if (point.life)
                    data->life.append({point.time, static_cast<double>(*point.life)});
                if (point.temperature)
                    data->temperature.append({point.time, static_cast<double>(*point.temperature)});
                if (point.dataWritten)
                    data->written.append({point.time, static_cast<double>(*point.dataWritten)});
            }
            data->events = store->Events(stored->id, since);
        }
        if (!data->found && data->from == 0)
            data->from = seconds ? since : data->to - 7 * kDay;
        QMetaObject::invokeMethod(
            view.data(), [view, data] {
                if (view)
                    view->showData(*data);
            },
            Qt::QueuedConnection);
    }));
}

void HealthHistoryView::showData(const Data& data)
{
    if (data.generation != generation_)
        return;  // a range chosen since
    charts_[0]->setPoints(data.life, data.from, data.to);
    charts_[1]->setPoints(data.temperature, data.from, data.to);
    charts_[2]->setPoints(data.written, data.from, data.to);
    events_->setRowCount(static_cast<int>(data.events.size()));
    int row = 0;
    // The latest first.
    for (auto stored = data.events.rbegin(); stored != data.events.rend(); ++stored, ++row) {
        events_->setItem(row, 0, new QTableWidgetItem(QDateTime::fromSecsSinceEpoch(stored->time)
                                                          .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))));
        events_->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(history::AlertText(stored->event, windowTextLookup()))));
    }
    if (!data.error.isEmpty())
        note_->setText(tr("无法读取健康历史：%1").arg(data.error));
    else if (!data.found)
        note_->setText(tr("尚无此磁盘的历史记录：程序每次读取磁盘时记下一次。"));
    else if (data.events.empty())
        note_->setText(tr("此期间没有健康警报。"));
    else
        note_->setText(tr("此期间有 %n 条健康警报。", nullptr, static_cast<int>(data.events.size())));
    loaded_ = true;
    emit loaded();
}

void HealthHistoryView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), 0);
    gradient.setColorAt(0, QColor(50, 143, 253));
    gradient.setColorAt(1, QColor(69, 64, 230));
    painter.fillRect(QRect(0, 0, width(), kTitleHeight), gradient);
    painter.setPen(QColor(QStringLiteral("#454a4d")));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

// The title bar moves the frameless dialog.
void HealthHistoryView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && event->pos().y() < kTitleHeight)
        dragFrom_ = event->globalPos() - frameGeometry().topLeft();
    else
        dragFrom_ = QPoint();
}

void HealthHistoryView::mouseMoveEvent(QMouseEvent* event)
{
    if (!dragFrom_.isNull() && (event->buttons() & Qt::LeftButton))
        move(event->globalPos() - dragFrom_);
}
