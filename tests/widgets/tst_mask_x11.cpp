// Under a real X server, once without and once with a compositing manager
// (mask-x11.sh runs it both ways): while a message dialog is open the window
// under it is dimmed, not black, and so are the dialog's rounded-off corners;
// once it closes, the window is as before.
#include "widgets/MaskWidget.h"
#include "widgets/QMessageDlg.h"
#include "widgets/WindowTranslucency.h"

#include <QElapsedTimer>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <cstdlib>

namespace {

const QColor kWindowColour(50, 143, 253);
// The mask's black at alpha 150 over the window colour.
const QColor kDimmed(50 * 105 / 255, 143 * 105 / 255, 253 * 105 / 255);

bool near(const QColor &a, const QColor &b)
{
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3
           && std::abs(a.blue() - b.blue()) <= 3;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

QImage screenImage()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

}  // namespace

class TestMaskX11 : public QObject
{
    Q_OBJECT

private slots:
    void compositorAsRun();
    void openDialogDimsTheWindow();
};

void TestMaskX11::compositorAsRun()
{
    const QByteArray compositor = qgetenv("QUILLFENCE_COMPOSITOR");
    QVERIFY2(compositor == "none" || compositor == "xcompmgr", "run through mask-x11.sh");
    // The compositing manager takes its selection some time after it starts,
    // longer on a loaded machine; the window system tells Qt when it does.
    QTRY_COMPARE_WITH_TIMEOUT(windowTranslucencyAvailable(), compositor == "xcompmgr", 15000);
}

void TestMaskX11::openDialogDimsTheWindow()
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, kWindowColour);
    window.setPalette(palette);
    window.setAutoFillBackground(true);
    window.setGeometry(0, 0, 600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *mask = new MaskWidget(&window);
    mask->setDialogNames({QStringLiteral("QVMsgBox")});
    QTRY_VERIFY_WITH_TIMEOUT(near(screenImage().pixelColor(20, 20), kWindowColour), 15000);

    QMessageDlg dialog(&window);
    dialog.resize(300, 200);
    dialog.setMessage(QStringLiteral(":/Quillfence/Resources/icon3.png"), QStringLiteral("是否继续？"), 1);
    // The screen is taken once the mask and the dialog are drawn (that takes longer
    // on a loaded machine or under the sanitizers), or after fifteen seconds.
    QImage shot;
    QRect face;
    QTimer poll;
    QElapsedTimer waited;
    waited.start();
    connect(&poll, &QTimer::timeout, [&] {
        shot = screenImage();
        face = dialog.geometry();
        const bool drawn = near(shot.pixelColor(20, 20), kDimmed)
                           && near(shot.pixelColor(face.center()), Qt::white);
        if (!drawn && waited.elapsed() < 15000)
            return;
        poll.stop();
        dialog.reject();
    });
    poll.start(100);
    dialog.exec();
    QVERIFY(!shot.isNull());

    const QColor outside = shot.pixelColor(20, 20);
    QVERIFY2(near(outside, kDimmed), qPrintable(describe(outside)));
    // Just inside the dialog's rectangle, outside its rounded face.
    const QColor corner = shot.pixelColor(face.topLeft() + QPoint(1, 1));
    QVERIFY2(near(corner, kDimmed), qPrintable(describe(corner)));
    // The dialog lies above the mask.
    const QColor middle = shot.pixelColor(face.center());
    QVERIFY2(near(middle, Qt::white), qPrintable(describe(middle)));

    QTRY_VERIFY_WITH_TIMEOUT(near(screenImage().pixelColor(20, 20), kWindowColour), 15000);
}

QTEST_MAIN(TestMaskX11)
#include "tst_mask_x11.moc"
