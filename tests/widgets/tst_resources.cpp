// Every image the program names is in the compiled-in bundle, at the size the
// widget geometry expects where that size matters.
#include <QImage>
#include <QtTest>

class TestResources : public QObject
{
    Q_OBJECT

private slots:
    void imageIsBundled_data();
    void imageIsBundled();
    void refreshButtonHasTransparentCorners();
};

void TestResources::imageIsBundled_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");  // invalid: any size

    const QSize any;
    const struct {
        const char *path;
        QSize size;
    } images[] = {
        {"ICON.png", any},
        {"icon1.png", any},
        {"icon2.png", any},
        {"icon3.png", any},
        {"line.png", any},
        {"刷新.png", any},
        {"刷新_sel.png", any},
        {"smart_copy.png", any},
        {"smart_copy_sel.png", any},
        {"smart_export.png", any},
        {"smart_export_sel.png", any},
        {"0topbar/min_nor.png", QSize(16, 16)},
        {"0topbar/min_click.png", QSize(16, 16)},
        {"0topbar/close_nor.png", QSize(16, 16)},
        {"0topbar/close_click.png", QSize(16, 16)},
        {"3toolbar/S.M.R.T_icon.png", any},
        {"3toolbar/S.M.R.T_icon_sel.png", any},
        {"3toolbar/system-migration_icon.png", any},
        {"3toolbar/system-migration_icon_sel.png", any},
        {"3toolbar/firmware-upgrade_icon.png", any},
        {"3toolbar/firmware-upgrade_icon_sel.png", any},
        {"3toolbar/software-update.png", any},
        {"3toolbar/software-update_sel.png", any},
        {"3toolbar/toolbar_bg.png", QSize(1118, 35)},
        {"add/checkbox_def2x.png", any},
        {"add/checkbox_che2x.png", any},
        {"add/refresh_def2x.png", QSize(61, 51)},
        {"add/refresh_hov2x.png", QSize(61, 51)},
        {"add/refresh_pre2x.png", QSize(61, 51)},
        {"add/refresh_circle2x.png", QSize(357, 369)},
        {"add/qr-code2x.png", any},
        {"add/box_arrow_up2x.png", QSize(20, 10)},
        {"main/SSD-Quillfence_logo.png", any},
        {"main/SSD.png", QSize(36, 36)},
        {"main/trouble.png", QSize(357, 369)},
        {"main/bad_icon.png", QSize(50, 50)},
        {"main/fine_icon.png", QSize(50, 50)},
        {"main/excellent_icon.png", QSize(50, 50)},
        {"main/disk_small.png", any},
        {"main/disk_select_icon.png", QSize(24, 24)},
        {"main/pull-down_btn.png", any},
    };
    for (const auto &image : images) {
        const QString path = QStringLiteral(":/Quillfence/Resources/") + QString::fromUtf8(image.path);
        QTest::newRow(image.path) << path << image.size;
    }
}

void TestResources::imageIsBundled()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);

    QVERIFY2(QFile::exists(path), qPrintable(path));
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    if (size.isValid())
        QCOMPARE(image.size(), size);
}

void TestResources::refreshButtonHasTransparentCorners()
{
    // The button's clickable mask is cut from the corner colour.
    const QImage image(QStringLiteral(":/Quillfence/Resources/add/refresh_def2x.png"));
    const QPoint corners[] = {{0, 0}, {60, 0}, {0, 50}, {60, 50}};
    for (const QPoint &corner : corners)
        QCOMPARE(qAlpha(image.pixel(corner)), 0);
    QCOMPARE(qAlpha(image.pixel(30, 25)), 255);
}

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
