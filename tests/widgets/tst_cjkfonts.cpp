// The Windows font names of the interface resolve to an installed CJK font
// that has a glyph for every Chinese character the widgets draw.
#include "widgets/CjkFonts.h"

#include <QFontInfo>
#include <QRawFont>
#include <QtTest>

class TestCjkFonts : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void familyRendersChinese_data();
    void familyRendersChinese();
};

void TestCjkFonts::initTestCase()
{
    installCjkFontSubstitutes();
    installCjkFontSubstitutes();  // a second call must change nothing
}

void TestCjkFonts::familyRendersChinese_data()
{
    QTest::addColumn<QString>("family");
    QTest::newRow("微软雅黑") << QStringLiteral("微软雅黑");
    QTest::newRow("黑体") << QStringLiteral("黑体");
    QTest::newRow("宋体") << QStringLiteral("宋体");
}

void TestCjkFonts::familyRendersChinese()
{
    QFETCH(QString, family);

    // Unmapped, the family falls back to a Latin default font.
    const QFont font(family);
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(QFont::substitutes(family).contains(resolved, Qt::CaseInsensitive),
             qPrintable(family + " -> " + resolved));

    // The resolved font itself, not a fallback, must carry the glyphs.
    const QRawFont raw = QRawFont::fromFont(font);
    QVERIFY(raw.isValid());
    const QString texts = QStringLiteral(
        "确定取消是否最小化到任务栏退出软件记住我的选择关于我们关闭分区可用共剩余寿命健康指标优秀良好正常警告"
        "固件检测升级信息硬盘数刷新未能物理磁盘复制到剪贴板点我显示隐藏");
    for (const QChar c : texts)
        QVERIFY2(raw.supportsCharacter(c), qPrintable(QString(c)));
}

QTEST_MAIN(TestCjkFonts)
#include "tst_cjkfonts.moc"
