// The page selector strip: selecting, deselecting, clicks that start on one
// button and end on another, and the fourth button that is never drawn.
#include "widgets/QMenuButton.h"

#include "TextRecorder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kToolbar = QStringLiteral(":/Quillfence/Resources/3toolbar/");

// The main window's strip: 1118 wide, so slots of 372 pixels.
QPoint slotCentre(int slot)
{
    return QPoint(372 * slot + 186, 30);
}

}  // namespace

class TestMenuButton : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void clickSelectsAndDeselects();
    void clickMovesSelection();
    void pressAndReleaseOnDifferentButtons();
    void releaseOutsideEveryButton();
    void fourthButtonIsNeverDrawn();
    void addButtonRefuses_data();
    void addButtonRefuses();

private:
    void click(int slot);

    QMenuButton *m_strip = nullptr;
    QSignalSpy *m_select = nullptr;
};

void TestMenuButton::init()
{
    m_strip = new QMenuButton;
    m_strip->resize(1118, 60);
    const struct {
        const char *caption;
        const char *icon;
    } buttons[] = {
        {"S.M.A.R.T信息", "S.M.R.T_icon"},
        {"固件检测", "system-migration_icon"},
        {"固件升级", "firmware-upgrade_icon"},
        {"Flash Test", "software-update"},
    };
    int id = 0;
    for (const auto &b : buttons) {
        const QString icon = kToolbar + QLatin1String(b.icon);
        QVERIFY(m_strip->addButton(icon + ".png", icon + "_sel.png", QString::fromUtf8(b.caption), id++));
    }
    m_strip->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_strip));
    m_strip->repaint();  // the hit rectangles are set while painting
    m_select = new QSignalSpy(m_strip, &QMenuButton::select);
}

void TestMenuButton::cleanup()
{
    delete m_select;
    delete m_strip;
}

void TestMenuButton::click(int slot)
{
    QTest::mouseClick(m_strip, Qt::LeftButton, Qt::NoModifier, slotCentre(slot));
}

void TestMenuButton::clickSelectsAndDeselects()
{
    click(0);
    QCOMPARE(m_select->count(), 1);
    QCOMPARE(m_select->at(0).at(0).toInt(), 0);
    QVERIFY(m_strip->isSelected(0));

    click(0);
    QCOMPARE(m_select->count(), 2);
    QCOMPARE(m_select->at(1).at(0).toInt(), 0);
    QVERIFY(!m_strip->isSelected(0));
}

void TestMenuButton::clickMovesSelection()
{
    click(0);
    click(1);
    QCOMPARE(m_select->count(), 2);
    QCOMPARE(m_select->at(1).at(0).toInt(), 1);
    QVERIFY(m_strip->isSelected(1));
    QVERIFY(!m_strip->isSelected(0));
}

void TestMenuButton::pressAndReleaseOnDifferentButtons()
{
    click(2);
    QVERIFY(m_strip->isSelected(2));
    m_select->clear();

    QTest::mousePress(m_strip, Qt::LeftButton, Qt::NoModifier, slotCentre(0));
    QTest::mouseMove(m_strip, slotCentre(1));
    QTest::mouseRelease(m_strip, Qt::LeftButton, Qt::NoModifier, slotCentre(1));

    QCOMPARE(m_select->count(), 0);
    for (int id = 0; id < 4; ++id)
        QVERIFY(!m_strip->isSelected(id));
}

void TestMenuButton::releaseOutsideEveryButton()
{
    click(1);
    m_select->clear();

    // Press on the button, release past the strip's last slot (x 1116, 1117).
    QTest::mousePress(m_strip, Qt::LeftButton, Qt::NoModifier, slotCentre(1));
    QTest::mouseRelease(m_strip, Qt::LeftButton, Qt::NoModifier, QPoint(1117, 30));

    QCOMPARE(m_select->count(), 0);
    QVERIFY(!m_strip->isSelected(1));
}

void TestMenuButton::fourthButtonIsNeverDrawn()
{
    const QStringList drawn = TextRecorder::strings(*m_strip);
    QCOMPARE(drawn, (QStringList{QStringLiteral("S.M.A.R.T信息"), QStringLiteral("固件检测"),
                                 QStringLiteral("固件升级")}));

    // Clicking all along the strip never reaches it.
    for (int x = 0; x < m_strip->width(); x += 40)
        QTest::mouseClick(m_strip, Qt::LeftButton, Qt::NoModifier, QPoint(x + 1, 30));
    QVERIFY(!m_strip->isSelected(3));
    for (const QList<QVariant> &signal : *m_select)
        QVERIFY(signal.at(0).toInt() != 3);
}

void TestMenuButton::addButtonRefuses_data()
{
    QTest::addColumn<QString>("icon");
    QTest::addColumn<QString>("caption");
    QTest::newRow("empty caption") << kToolbar + "S.M.R.T_icon.png" << QString();
    QTest::newRow("missing icon") << kToolbar + "no_such_icon.png" << QStringLiteral("固件检测");
}

void TestMenuButton::addButtonRefuses()
{
    QFETCH(QString, icon);
    QFETCH(QString, caption);

    QMenuButton strip;
    strip.resize(1118, 60);
    QVERIFY(!strip.addButton(icon, icon, caption, 0));
    QVERIFY(TextRecorder::strings(strip).isEmpty());
}

QTEST_MAIN(TestMenuButton)
#include "tst_menubutton.moc"
