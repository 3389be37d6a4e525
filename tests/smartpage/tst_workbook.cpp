// The workbook writer, read back with openpyxl: layout, texts kept as texts,
// centring, and the failures that must not pass for success.
#include "smart/export/SmartWorkbook.h"

#include "WorkbookReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <string>
#include <vector>

namespace {

const smart::SmartCells kOkRow = {
    "09", "带电工作时间", "100", "100", "0", "4660小时", "0x00 00 00 00 12 34 ", "",
};
const smart::SmartCells kAlertRow = {
    "BE", "最大温度", "55", "26", "0", "74℃", "0x00 4A 00 15 00 2D ", "#1002(70℃)",
};

QStringList cellTexts(const QVector<SheetCell> &cells)
{
    QStringList list;
    for (const SheetCell &cell : cells)
        list << cell.text;
    return list;
}

QStringList cellTexts(const smart::SmartCells &cells)
{
    QStringList list;
    for (const std::string &cell : cells)
        list << QString::fromStdString(cell);
    return list;
}

}  // namespace

class TestWorkbook : public QObject
{
    Q_OBJECT

private slots:
    void rowsReadBackAsTexts();
    void headerOnlyWithoutRows();
    void failuresAreReported_data();
    void failuresAreReported();

private:
    QTemporaryDir m_dir;
};

void TestWorkbook::rowsReadBackAsTexts()
{
    const QString path = m_dir.filePath(QStringLiteral("smart.xlsx"));
    QVERIFY(smart::WriteSmartWorkbook(QFile::encodeName(path).toStdString(), {kOkRow, kAlertRow}));

    const Sheet sheet = readWorkbook(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.dimensions, QStringLiteral("A1:H3"));
    QCOMPARE(cellTexts(sheet.rows[0]),
             QStringList({"ID", "Description", "Value", "Worst", "Threshold", "CurrentValue",
                          "RawValue", "Status"}));
    QCOMPARE(cellTexts(sheet.rows[1]), cellTexts(kOkRow));
    QCOMPARE(cellTexts(sheet.rows[2]), cellTexts(kAlertRow));
    QCOMPARE(sheet.rows[2][6].text, QStringLiteral("0x00 4A 00 15 00 2D "));
    QCOMPARE(sheet.rows[2][7].text, QStringLiteral("#1002(70℃)"));

    for (const QVector<SheetCell> &row : sheet.rows) {
        for (const SheetCell &cell : row) {
            // Numbers stay texts; only the empty status is a blank cell.
            QCOMPARE(cell.type, cell.text.isEmpty() ? QStringLiteral("n") : QStringLiteral("s"));
            QCOMPARE(cell.horizontal, QStringLiteral("center"));
            QCOMPARE(cell.vertical, QStringLiteral("center"));
        }
    }
}

void TestWorkbook::headerOnlyWithoutRows()
{
    const QString path = m_dir.filePath(QStringLiteral("empty.xlsx"));
    QVERIFY(smart::WriteSmartWorkbook(QFile::encodeName(path).toStdString(), {}));

    const Sheet sheet = readWorkbook(path);
    QVERIFY2(sheet.error.isEmpty(), qPrintable(sheet.error));
    QCOMPARE(sheet.dimensions, QStringLiteral("A1:H1"));
    QCOMPARE(sheet.rows.size(), 1);
}

void TestWorkbook::failuresAreReported_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("cellLength");  // length of one status text
    QTest::addColumn<bool>("leavesNoFile");

    QTest::newRow("missing folder") << m_dir.filePath(QStringLiteral("missing/smart.xlsx")) << 2
                                    << true;
    QTest::newRow("full disk") << QStringLiteral("/dev/full") << 2 << false;
    QTest::newRow("text too long for a cell")
        << m_dir.filePath(QStringLiteral("long.xlsx")) << 40000 << true;
}

void TestWorkbook::failuresAreReported()
{
    QFETCH(QString, path);
    QFETCH(int, cellLength);
    QFETCH(bool, leavesNoFile);
    if (path == QLatin1String("/dev/full") && !QFile::exists(path))
        QSKIP("no /dev/full on this system");

    smart::SmartCells row = kAlertRow;
    row[smart::kColumnStatus] = std::string(cellLength, 'x');
    QVERIFY(!smart::WriteSmartWorkbook(QFile::encodeName(path).toStdString(), {row}));
    if (leavesNoFile)
        QVERIFY(!QFile::exists(path));
}

QTEST_GUILESS_MAIN(TestWorkbook)
#include "tst_workbook.moc"
