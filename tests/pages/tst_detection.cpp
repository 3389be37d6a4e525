// The firmware-detection page: the loader verdicts, the label cleared by an
// empty model, the form, and the page's slide.
#include "pages/FmDataMigrate.h"
#include "PageTestSupport.h"
#include "widgets/CjkFonts.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString kAbnormalStyle = QStringLiteral("font: 20px \"微软雅黑\";\ncolor: rgb(255,85,0);");
const QString kNormalStyle = QStringLiteral("font: 20px \"微软雅黑\";\ncolor: rgb(65,205,82);");
const char kLoader[] = "Generic FCR SATA Loader Loader Device";

QLabel* status(FmDataMigrate& page)
{
    return page.findChild<QLabel*>(QStringLiteral("label"));
}

}  // namespace

class TestDetection : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installCjkFontSubstitutes(); }
    void verdict_data();
    void verdict();
    void emptyModelClearsTextKeepsColour();
    void form();
    void metaObjectHasOnlyGetDiskInfo();
    void slide();
};

void TestDetection::verdict_data()
{
    QTest::addColumn<QByteArray>("model");
    QTest::addColumn<double>("capacity");
    QTest::addColumn<bool>("abnormal");

    QTest::newRow("ordinary drive") << QByteArray("QF 256G-2280-M7B0") << 238.47 << false;
    QTest::newRow("exactly 4 MB") << QByteArray("QF 256G-2280-M7B0") << 0.00390625 << false;
    QTest::newRow("just under 4 MB") << QByteArray("QF 256G-2280-M7B0") << 0.0039 << true;
    QTest::newRow("capacity 0") << QByteArray("QF 256G-2280-M7B0") << 0.0 << true;
    QTest::newRow("loader model, large") << QByteArray(kLoader) << 476.94 << true;
    QTest::newRow("loader model, 4 MB") << QByteArray(kLoader) << 0.00390625 << true;
    QTest::newRow("loader name must match whole") << QByteArray("Generic FCR SATA Loader Loader Device 2") << 1.0
                                                  << false;
    QTest::newRow("loader name is case-sensitive") << QByteArray("generic fcr sata loader loader device") << 1.0
                                                   << false;
}

void TestDetection::verdict()
{
    QFETCH(QByteArray, model);
    QFETCH(double, capacity);
    QFETCH(bool, abnormal);

    FmDataMigrate page;
    PhyDiskInfo info = makeRecord(1, capacity, model.constData());
    page.GetDiskInfo(info);
    QCOMPARE(status(page)->text(), abnormal ? QStringLiteral("异常") : QStringLiteral("正常"));
    QCOMPARE(status(page)->styleSheet(), abnormal ? kAbnormalStyle : kNormalStyle);
}

void TestDetection::emptyModelClearsTextKeepsColour()
{
    FmDataMigrate page;
    QVERIFY(status(page)->text().isEmpty());

    PhyDiskInfo loader = makeRecord(1, 0.001, "QF 128G");
    page.GetDiskInfo(loader);
    QCOMPARE(status(page)->text(), QStringLiteral("异常"));

    PhyDiskInfo noModel = makeRecord(2, 500.0, "");
    page.GetDiskInfo(noModel);
    QVERIFY(status(page)->text().isEmpty());
    QCOMPARE(status(page)->styleSheet(), kAbnormalStyle);

    PhyDiskInfo normal = makeRecord(3, 500.0, "QF 512G");
    page.GetDiskInfo(normal);
    QCOMPARE(status(page)->text(), QStringLiteral("正常"));
    QCOMPARE(status(page)->styleSheet(), kNormalStyle);
}

void TestDetection::form()
{
    FmDataMigrate page;
    QCOMPARE(page.size(), QSize(1153, 460));
    QCOMPARE(page.windowTitle(), QStringLiteral("FmDataMigrate"));
    QCOMPARE(page.focusPolicy(), Qt::StrongFocus);
    QVERIFY(page.autoFillBackground());
    QCOMPARE(page.palette().color(QPalette::Window), QColor(0xee, 0xee, 0xfb));
    QVERIFY(page.isHidden());

    struct Expected {
        const char* name;
        QString text;
        QRect geometry;
        QString styleSheet;
    };
    const Expected labels[] = {
        {"label_5", QStringLiteral("固件检测"), {130, 49, 221, 21}, QStringLiteral("font: bold 20px \"微软雅黑\";\n")},
        {"label_1", QStringLiteral("固件状态:"), {132, 125, 81, 61},
         QStringLiteral("font: 17px \"微软雅黑\";\ncolor: rgb(68, 71, 77);")},
        {"label", QString(), {215, 115, 121, 81}, QString()},
    };
    for (const Expected& e : labels) {
        auto* label = page.findChild<QLabel*>(QLatin1String(e.name));
        QVERIFY2(label, e.name);
        QCOMPARE(label->text(), e.text);
        QCOMPARE(label->geometry(), e.geometry);
        QCOMPARE(label->styleSheet(), e.styleSheet);
    }

    auto* title = page.findChild<QLabel*>(QStringLiteral("label_5"));
    QCOMPARE(title->font().family(), QStringLiteral("微软雅黑"));
    QCOMPARE(title->font().pointSize(), 12);
    QCOMPARE(title->font().weight(), 75);
    const QPalette palette = title->palette();
    QCOMPARE(palette.color(QPalette::Active, QPalette::WindowText), QColor(68, 71, 77));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::WindowText), QColor(68, 71, 77));
    QCOMPARE(palette.color(QPalette::Disabled, QPalette::WindowText), QColor(120, 120, 120));
}

void TestDetection::metaObjectHasOnlyGetDiskInfo()
{
    QCOMPARE(ownMethods(FmDataMigrate::staticMetaObject), QStringList{QStringLiteral("GetDiskInfo(PhyDiskInfo&)")});
}

void TestDetection::slide()
{
    FakeMainWindow window;
    window.resize(1155, 700);
    FmDataMigrate page(&window);
    window.show();
    QVERIFY(page.isHidden());
    checkPageSlide(window, page, 460);
}

QTEST_MAIN(TestDetection)
#include "tst_detection.moc"
