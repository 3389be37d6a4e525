// The SMART page: its form, the table built from a disk record, status
// colours, the table in the installed language, the clipboard text, the
// history button and the slide animations.
#include "smart/page/Smart.h"
#include "smart/page/SmartClipboardText.h"

#include "SampleRecord.h"
#include "history/view/HealthHistoryView.h"
#include "smart/core/SmartFormat.h"
#include "smart/core/SmartTable.h"
#include "smart/samples/SmartSamples.h"
#include "widgets/MyPushButton.h"

#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPropertyAnimation>
#include <QRawFont>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableView>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <cstring>

namespace {

const QStringList kTitles = {"ID",        "Description",  "Value",    "Worst",
                             "Threshold", "CurrentValue", "RawValue", "Status"};

QTableView *tableOf(Smart &page)
{
    return page.findChild<QTableView *>(QStringLiteral("tableView"));
}

QStringList headerLabels(const QAbstractItemModel &model)
{
    QStringList labels;
    for (int c = 0; c < model.columnCount(); ++c)
        labels << model.headerData(c, Qt::Horizontal).toString();
    return labels;
}

QStringList rowTexts(const QAbstractItemModel &model, int row)
{
    QStringList texts;
    for (int c = 0; c < model.columnCount(); ++c)
        texts << model.index(row, c).data().toString();
    return texts;
}

// The row whose Status cell reads `status`, or -1.
int rowWithStatus(const QAbstractItemModel &model, const QString &status)
{
    for (int r = 0; r < model.rowCount(); ++r) {
        if (model.index(r, 7).data().toString() == status)
            return r;
    }
    return -1;
}

// Stands in for the main window: the page calls these slots by name.
class ToolbarWindow : public QWidget
{
    Q_OBJECT

public:
    int slidUp = 0;
    int slidDown = 0;

public slots:
    void toolbarSlideUp() { ++slidUp; }
    void toolbarSlideDown() { ++slidDown; }
};

}  // namespace

class TestSmartPage : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void coloursAsDrawn();
    void tableFollowsRecord_data();
    void tableFollowsRecord();
    void shorterRecordLeavesNoStaleRows();
    void recordWithoutRowsKeepsHeader();
    void emptyTableSaysWhy_data();
    void emptyTableSaysWhy();
    void rawValueFitsItsColumn();
    void rawValueToolTip();
    void statusColours_data();
    void statusColours();
    void tableInTheInstalledLanguage_data();
    void tableInTheInstalledLanguage();
    void copyTwoSelectedRows();
    void copyNvmeRows();
    void copyWithNothingSelectedKeepsClipboard();
    void clipboardText_data();
    void clipboardText();
    void historyOfTheSelectedDrive();
    void slideInAndOut();
};

void TestSmartPage::form()
{
    Smart page;
    QCOMPARE(page.objectName(), QStringLiteral("Smart"));
    QCOMPARE(page.windowTitle(), QStringLiteral("Smart"));
    QCOMPARE(page.size(), QSize(801, 460));
    QVERIFY(page.findChild<QGridLayout *>(QStringLiteral("gridLayout")));
    QVERIFY(page.findChild<QHBoxLayout *>(QStringLiteral("horizontalLayout")));

    auto *label = page.findChild<QLabel *>(QStringLiteral("label"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("S.M.A.R.T信息"));
    QCOMPARE(label->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(label->font().pointSize(), 12);
    QVERIFY(label->font().bold());
    QCOMPARE(label->palette().color(QPalette::Active, QPalette::WindowText), QColor(68, 71, 77));
    QCOMPARE(label->palette().color(QPalette::Disabled, QPalette::WindowText),
             QColor(120, 120, 120));

    const struct {
        const char *name;
        const char *text;
    } buttons[] = {{"btCopyClipBoard", "复制到剪切板"}, {"btExport", "导出"}, {"btHistory", "历史记录"}};
    for (const auto &b : buttons) {
        auto *button = page.findChild<MyPushButton *>(QLatin1String(b.name));
        QVERIFY2(button, b.name);
        QCOMPARE(button->text(), QString::fromUtf8(b.text));
        QCOMPARE(button->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY2(!button->icon().isNull(), b.name);
    }

    QTableView *table = tableOf(page);
    QVERIFY(table);
    QCOMPARE(headerLabels(*table->model()), kTitles);
    const int widths[] = {35, 200, 100, 100, 100, 160, 130, 172};
    for (int c = 0; c < 8; ++c)
        QCOMPARE(table->columnWidth(c), widths[c]);
    QCOMPARE(table->horizontalHeader()->height(), 25);
    QVERIFY(table->verticalHeader()->isHidden());
    QCOMPARE(table->verticalHeader()->defaultSectionSize(), 25);
    QCOMPARE(table->selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(table->selectionMode(), QAbstractItemView::ExtendedSelection);
    QCOMPARE(table->editTriggers(), QAbstractItemView::NoEditTriggers);
}

void TestSmartPage::coloursAsDrawn()
{
    Smart page;
    PhyDiskInfo record = SampleRecord("m7a0-256g-healthy");
    page.GetDiskInfo(record);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));
    const QImage image = page.grab().toImage();
    QTableView *table = tableOf(page);

    // A point inside a cell, clear of its left-aligned text and grid lines.
    auto cellPixel = [&](int row) {
        const QRect cell = table->visualRect(table->model()->index(row, 2));
        const QPoint inside(cell.right() - 4, cell.center().y());
        return image.pixelColor(table->viewport()->mapTo(&page, inside));
    };

    QCOMPARE(image.pixelColor(3, 3), QColor(0xee, 0xee, 0xfb));  // page
    QCOMPARE(cellPixel(0), QColor(0xee, 0xee, 0xfb));
    QCOMPARE(cellPixel(1), QColor(0xe1, 0xe2, 0xf0));  // alternate row
    QCOMPARE(cellPixel(2), QColor(0xee, 0xee, 0xfb));
}

void TestSmartPage::tableFollowsRecord_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QList<int>>("lives");  // sendLife, in order

    QTest::newRow("M7A0 healthy") << "m7a0-256g-healthy" << QList<int>{94};
    QTest::newRow("M7B0 hot") << "m7b0-480g-hot" << QList<int>{89};
    QTest::newRow("M7A0 worn") << "m7a0-120g-worn" << QList<int>{8};
    QTest::newRow("drive limits") << "drive-limits-weak-capacitor" << QList<int>{98};
    QTest::newRow("other maker") << "other-maker" << QList<int>{};
    QTest::newRow("NVMe") << QString::fromStdString(kNvmeSample) << QList<int>{93};
}

void TestSmartPage::tableFollowsRecord()
{
    QFETCH(QString, sample);
    QFETCH(QList<int>, lives);

    Smart page;
    QSignalSpy life(&page, &Smart::sendLife);
    PhyDiskInfo record = SampleRecord(sample.toStdString());
    page.GetDiskInfo(record);

    QList<int> sent;
    for (const QList<QVariant> &args : life)
        sent << args.at(0).toInt();
    QCOMPARE(sent, lives);

    const QAbstractItemModel &model = *tableOf(page)->model();
    QCOMPARE(headerLabels(model), kTitles);
    QCOMPARE(tableOf(page)->columnWidth(1), 200);  // widths survive the rebuild
    const std::vector<smart::SmartTableRow> expected = smart::BuildSmartTable(record, nullptr);
    QCOMPARE(model.rowCount(), int(expected.size()));
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList cells;
        for (const std::string &cell : expected[r].cells)
            cells << QString::fromStdString(cell);
        QCOMPARE(rowTexts(model, r), cells);
    }
}

void TestSmartPage::shorterRecordLeavesNoStaleRows()
{
    Smart page;
    PhyDiskInfo longer = SampleRecord("other-maker");  // 18 rows
    PhyDiskInfo shorter = SampleRecord("m7a0-256g-healthy");  // 15 rows
    page.GetDiskInfo(longer);
    page.GetDiskInfo(shorter);

    const QAbstractItemModel &model = *tableOf(page)->model();
    QCOMPARE(model.rowCount(), 15);
    QCOMPARE(rowTexts(model, 0), QStringList({"09", "带电工作时间", "100", "100", "0",
                                              "4660小时", "0x00 00 00 00 12 34 ", ""}));
    QCOMPARE(rowTexts(model, 14), QStringList({"A9", "总坏块数", "100", "100", "10", "35个",
                                               "0x00 03 00 23 00 00 ", "OK(1536个)"}));
}

void TestSmartPage::recordWithoutRowsKeepsHeader()
{
    Smart page;
    PhyDiskInfo full = SampleRecord("m7b0-480g-hot");
    PhyDiskInfo empty = SampleRecord("none");  // another maker's drive, empty sectors
    page.GetDiskInfo(full);
    page.GetDiskInfo(empty);

    const QAbstractItemModel &model = *tableOf(page)->model();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(headerLabels(model), kTitles);
}

void TestSmartPage::emptyTableSaysWhy_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("smart");  // "as sampled", "unread" or "revision only"
    QTest::addColumn<QString>("note");   // empty: no note, the table has rows

    const QString unreadable = QString::fromUtf8(smart::kSmartUnreadableText);
    QTest::newRow("other maker, unread") << "other-maker" << "unread" << unreadable;
    QTest::newRow("maker's drive, unread") << "m7a0-120g-worn" << "unread" << unreadable;
    QTest::newRow("no attribute") << "other-maker" << "revision only"
                                  << QString::fromUtf8(smart::kSmartNoAttributesText);
    QTest::newRow("rows") << "m7a0-256g-healthy" << "as sampled" << QString();
    QTest::newRow("NVMe, unread") << QString::fromStdString(kNvmeSample) << "unread" << unreadable;
    QTest::newRow("NVMe rows") << QString::fromStdString(kNvmeSample) << "as sampled" << QString();
}

void TestSmartPage::emptyTableSaysWhy()
{
    QFETCH(QString, sample);
    QFETCH(QString, smart);
    QFETCH(QString, note);

    Smart page;
    page.show();
    auto *label = page.findChild<QLabel *>(QStringLiteral("lbEmptyTable"));
    QVERIFY(label && label->isHidden());  // before the first record
    PhyDiskInfo record = SampleRecord(sample.toStdString());
    if (smart != "as sampled") {
        // A failed SMART READ DATA leaves the whole sector zero; an answer
        // carries at least its revision. An NVMe drive's log is read or not.
        std::memset(record.smartData, 0, sizeof record.smartData);
        std::memset(record.smartThreshold, 0, sizeof record.smartThreshold);
        record.nvmeHealthRead = 0;
        if (smart == "revision only")
            record.smartData[0] = 0x10;
    }
    page.GetDiskInfo(record);

    QCOMPARE(label->isHidden(), note.isEmpty());
    if (!note.isEmpty()) {
        QCOMPARE(label->text(), note);
        QCOMPARE(label->geometry(), tableOf(page)->geometry());  // over the table
    }
    PhyDiskInfo full = SampleRecord("m7b0-480g-hot");
    page.GetDiskInfo(full);
    QVERIFY(label->isHidden());
}

void TestSmartPage::rawValueFitsItsColumn()
{
    Smart page;
    QTableView *table = tableOf(page);
    const QFont font = table->font();
    QCOMPARE(QFontInfo(font).family(), QStringLiteral("DejaVu Sans Condensed"));
    // The face draws the degree sign of the temperatures itself.
    QVERIFY(QRawFont::fromFont(font).supportsCharacter(QChar(0x2103)));

    // Every raw value of the examples, and one made of the widest hex digit.
    QStringList texts;
    std::vector<std::string> labels = {kNvmeSample};
    for (const smart::SmartSample &sample : smart::SmartSamples())
        labels.push_back(sample.label);
    for (const std::string &label : labels) {
        PhyDiskInfo record = SampleRecord(label);
        for (const smart::SmartTableRow &row : smart::BuildSmartTable(record, nullptr))
            texts << QString::fromStdString(row.cells[smart::kColumnRawValue]);
    }
    const QFontMetrics metrics(font);
    QChar widest = QLatin1Char('0');
    for (QChar digit : QStringLiteral("0123456789ABCDEF")) {
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
            widest = digit;
    }
    texts << QStringLiteral("0x%1 %1 %1 %1 %1 %1 ").arg(QString(2, widest));
    QVERIFY(texts.size() > 50);

    // The item's text is laid out inside a margin on either side.
    const int margin = table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1;
    const int column = table->columnWidth(smart::kColumnRawValue);
    for (const QString &text : texts) {
        const int width = metrics.horizontalAdvance(text);
        QVERIFY2(width + 2 * margin <= column, qPrintable(QStringLiteral("%1: %2 px").arg(text).arg(width)));
    }
}

void TestSmartPage::rawValueToolTip()
{
    Smart page;
    PhyDiskInfo record = SampleRecord("m7a0-256g-healthy");
    page.GetDiskInfo(record);
    const QAbstractItemModel &model = *tableOf(page)->model();
    QCOMPARE(model.index(0, smart::kColumnRawValue).data(Qt::ToolTipRole).toString(),
             QStringLiteral("0x00 00 00 00 12 34\n十进制：4660"));
    QCOMPARE(model.index(14, smart::kColumnRawValue).data(Qt::ToolTipRole).toString(),
             QStringLiteral("0x00 03 00 23 00 00\n十进制：12887195648"));

    // An NVMe drive's data units: the count the drive keeps, shown in bytes.
    PhyDiskInfo nvme = SampleRecord(kNvmeSample);
    page.GetDiskInfo(nvme);
    QCOMPARE(model.index(6, smart::kColumnDescription).data().toString(), QStringLiteral("Host读取量"));
    QCOMPARE(model.index(6, smart::kColumnCurrentValue).data().toString(), QStringLiteral("24685228544000字节"));
    QCOMPARE(model.index(6, smart::kColumnRawValue).data(Qt::ToolTipRole).toString(),
             QStringLiteral("0x00 00 02 DF AD 59\n十进制：48213337"));
}

void TestSmartPage::statusColours_data()
{
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QColor>("colour");  // invalid: the table's own colour

    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    QTest::newRow("within limit") << "m7b0-480g-hot" << "OK(5000次)" << blue;
    QTest::newRow("over a limit") << "m7b0-480g-hot" << "#1002(70℃)" << red;
    QTest::newRow("weak capacitor") << "drive-limits-weak-capacitor" << "风险(100微法)" << red;
    QTest::newRow("no status") << "m7b0-480g-hot" << "" << QColor();
    const QString nvme = QString::fromStdString(kNvmeSample);
    QTest::newRow("NVMe critical warning") << nvme << "警告" << red;
    QTest::newRow("NVMe spare over its threshold") << nvme << "OK(10%)" << blue;
    QTest::newRow("NVMe media errors") << nvme << "警告(0个)" << red;
    QTest::newRow("NVMe, no status") << nvme << "" << QColor();
}

void TestSmartPage::statusColours()
{
    QFETCH(QString, sample);
    QFETCH(QString, status);
    QFETCH(QColor, colour);

    Smart page;
    PhyDiskInfo record = SampleRecord(sample.toStdString());
    page.GetDiskInfo(record);
    const QAbstractItemModel &model = *tableOf(page)->model();
    const int row = rowWithStatus(model, status);
    QVERIFY(row >= 0);

    const QModelIndex cell = model.index(row, 7);
    const QVariant foreground = cell.data(Qt::ForegroundRole);
    QCOMPARE(foreground.isValid(), colour.isValid());
    if (colour.isValid())
        QCOMPARE(foreground.value<QBrush>().color(), colour);
    QCOMPARE(cell.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignHCenter));
    // Only the status cell is coloured.
    QVERIFY(!model.index(row, 5).data(Qt::ForegroundRole).isValid());
}

void TestSmartPage::tableInTheInstalledLanguage_data()
{
    QTest::addColumn<bool>("english");
    QTest::addColumn<QString>("sample");
    QTest::addColumn<QStringList>("row");  // Description, CurrentValue and Status of one row
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QString>("decimal");  // in the RawValue cell's tool tip

    const QColor blue(0, 0, 255);
    const QColor red(255, 0, 0);
    const QString nvme = QString::fromStdString(kNvmeSample);
    QTest::newRow("Chinese, over a limit") << false << "m7b0-480g-hot"
                                           << QStringList{"最大温度", "74℃", "#1002(70℃)"} << red << "\n十进制：";
    QTest::newRow("English, over a limit") << true << "m7b0-480g-hot"
                                           << QStringList{"Highest temperature", "74 °C", "#1002 (70 °C)"} << red
                                           << "\nDecimal: ";
    QTest::newRow("Chinese, within a limit") << false << "m7b0-480g-hot"
                                             << QStringList{"异常掉电次数", "12次", "OK(5000次)"} << blue
                                             << "\n十进制：";
    QTest::newRow("English, within a limit") << true << "m7b0-480g-hot"
                                             << QStringList{"Unexpected power losses", "12", "OK (5000)"} << blue
                                             << "\nDecimal: ";
    QTest::newRow("Chinese, weak capacitor") << false << "drive-limits-weak-capacitor"
                                             << QStringList{"电容", "62微法", "风险(100微法)"} << red << "\n十进制：";
    QTest::newRow("English, weak capacitor") << true << "drive-limits-weak-capacitor"
                                             << QStringList{"Capacitance", "62 µF", "At risk (100 µF)"} << red
                                             << "\nDecimal: ";
    QTest::newRow("Chinese, NVMe critical warning") << false << nvme
                                                    << QStringList{"严重警告", "1项", "警告"} << red
                                                    << "\n十进制：";
    QTest::newRow("English, NVMe critical warning")
        << true << nvme << QStringList{"Critical warning", "1 active", "Warning"} << red
        << "\nDecimal: ";
}

// The catalogue's texts are shown through the installed translation: the
// English one makes the table English, and without it the table keeps its
// Chinese texts exactly. The tones follow the status, whatever its language.
void TestSmartPage::tableInTheInstalledLanguage()
{
    QFETCH(bool, english);
    QFETCH(QString, sample);
    QFETCH(QStringList, row);
    QFETCH(QColor, colour);
    QFETCH(QString, decimal);

    Q_INIT_RESOURCE(quillfence_translations);
    QTranslator translation;  // removed from the application when destroyed
    if (english) {
        QVERIFY(translation.load(QStringLiteral(":/translations/quillfence_en.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translation));
    }
    Smart page;
    PhyDiskInfo record = SampleRecord(sample.toStdString());
    page.GetDiskInfo(record);
    const QAbstractItemModel &model = *tableOf(page)->model();
    const int r = rowWithStatus(model, row.at(2));
    QVERIFY2(r >= 0, qPrintable(rowTexts(model, 0).join(QLatin1Char('|'))));
    QCOMPARE(model.index(r, smart::kColumnDescription).data().toString(), row.at(0));
    QCOMPARE(model.index(r, smart::kColumnCurrentValue).data().toString(), row.at(1));
    QCOMPARE(model.index(r, smart::kColumnStatus).data(Qt::ForegroundRole).value<QBrush>().color(), colour);
    QVERIFY(model.index(r, smart::kColumnRawValue).data(Qt::ToolTipRole).toString().contains(decimal));
    QCOMPARE(headerLabels(model), kTitles);
}

void TestSmartPage::copyTwoSelectedRows()
{
    Smart page;
    PhyDiskInfo record = SampleRecord("m7b0-480g-hot");
    page.GetDiskInfo(record);
    QTableView *table = tableOf(page);
    table->selectRow(0);
    table->selectionModel()->select(table->model()->index(9, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);

    QTest::mouseClick(page.findChild<MyPushButton *>(QStringLiteral("btCopyClipBoard")),
                      Qt::LeftButton);

    // The RawValue text ends in a blank of its own; an empty status leaves
    // three blanks before the line feed.
    QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard),
             QStringLiteral("09 带电工作时间 100 100 0 12034小时 0x00 00 00 00 2F 02   \n"
                            "BE 最大温度 55 26 0 74℃ 0x00 4A 00 15 00 2D  #1002(70℃) \n"));
}

// An NVMe drive's rows copy as any other: its empty Value, Worst and
// Threshold cells are each followed by their blank.
void TestSmartPage::copyNvmeRows()
{
    Smart page;
    PhyDiskInfo record = SampleRecord(kNvmeSample);
    page.GetDiskInfo(record);
    QTableView *table = tableOf(page);
    table->selectRow(0);
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);

    QTest::mouseClick(page.findChild<MyPushButton *>(QStringLiteral("btCopyClipBoard")),
                      Qt::LeftButton);

    QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard),
             QStringLiteral("01 严重警告    1项 0x00 00 00 00 00 04  警告 \n"
                            "01 严重警告：可靠性下降    是 0x00 00 00 00 00 04  警告 \n"));
}

void TestSmartPage::copyWithNothingSelectedKeepsClipboard()
{
    Smart page;
    PhyDiskInfo record = SampleRecord("m7b0-480g-hot");
    page.GetDiskInfo(record);
    QGuiApplication::clipboard()->setText(QStringLiteral("kept"));

    QTest::mouseClick(page.findChild<MyPushButton *>(QStringLiteral("btCopyClipBoard")),
                      Qt::LeftButton);

    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("kept"));
}

void TestSmartPage::clipboardText_data()
{
    QTest::addColumn<QList<QPoint>>("cells");  // (column, row) in selection order
    QTest::addColumn<QString>("text");

    QTest::newRow("one row") << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}} << "a0 b0 c0 \n";
    QTest::newRow("rows in selection order")
        << QList<QPoint>{{0, 1}, {1, 1}, {2, 1}, {0, 0}, {1, 0}, {2, 0}}
        << "a1 b1 c1 \na0 b0 c0 \n";
    QTest::newRow("line feed after every third cell only")
        << QList<QPoint>{{1, 0}, {1, 1}, {1, 2}, {2, 2}} << "b0 b1 b2 \nc2 ";
    QTest::newRow("nothing") << QList<QPoint>{} << "";
}

void TestSmartPage::clipboardText()
{
    QFETCH(QList<QPoint>, cells);
    QFETCH(QString, text);

    QStandardItemModel model(3, 3);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c)
            model.setItem(r, c, new QStandardItem(QChar('a' + c) + QString::number(r)));
    }
    QModelIndexList indexes;
    for (const QPoint &cell : cells)
        indexes << model.index(cell.y(), cell.x());

    QCOMPARE(SmartClipboardText(indexes, model.columnCount()), text);
}

void TestSmartPage::historyOfTheSelectedDrive()
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    QWidget window;
    auto *page = new Smart(&window);
    auto *button = page->findChild<MyPushButton *>(QStringLiteral("btHistory"));
    QVERIFY(!button->isEnabled());  // no drive yet

    PhyDiskInfo record = SampleRecord("m7a0-256g-healthy");
    record.valid = 1;
    record.diskNum = 3;
    std::strcpy(record.serialNumber, "QV7A2H10520017");
    page->GetDiskInfo(record);
    QVERIFY(button->isEnabled());
    button->click();
    auto *view = window.findChild<HealthHistoryView *>();
    QVERIFY(view);
    QVERIFY(view->isVisible());
    QCOMPARE(view->findChild<QLabel *>(QStringLiteral("lbDrive"))->text(),
             QStringLiteral("物理磁盘3  %1    序列号 QV7A2H10520017").arg(QString::fromLatin1(record.model)));
    QVERIFY(QTest::qWaitFor([&] { return view->isLoaded(); }, 20000));
    QCOMPARE(view->noteText(), QStringLiteral("尚无此磁盘的历史记录：程序每次读取磁盘时记下一次。"));
    view->reject();
    QTRY_VERIFY(!window.findChild<HealthHistoryView *>());  // deleted once closed

    // A drive whose identity was not read has no history to show.
    record.valid = 0;
    page->GetDiskInfo(record);
    QVERIFY(!button->isEnabled());
}

void TestSmartPage::slideInAndOut()
{
    ToolbarWindow window;
    window.resize(803, 620);
    auto *page = new Smart(&window);
    page->hide();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const int y = 560;

    page->SlideIn(y);
    QCOMPARE(window.slidUp, 1);  // the toolbar starts moving with the page
    QVERIFY(page->isVisible());
    QCOMPARE(page->geometry(), QRect(1, y, 801, 0));
    QTRY_COMPARE(page->geometry(), QRect(1, y - 460, 801, 460));
    QTRY_VERIFY(page->findChildren<QPropertyAnimation *>().isEmpty());

    page->SlideOut(y);
    QCOMPARE(window.slidDown, 1);
    QVERIFY(page->isVisible());
    QTRY_VERIFY(page->isHidden());
    QCOMPARE(page->geometry(), QRect(1, y, 801, 0));
    QTRY_VERIFY(page->findChildren<QPropertyAnimation *>().isEmpty());
    QCOMPARE(window.slidUp, 1);
}

QTEST_MAIN(TestSmartPage)
#include "tst_smartpage.moc"
