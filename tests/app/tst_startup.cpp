// What every start prepares: Qt's own dialogs speak Chinese.
#include "app/Startup.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void qtDialogsSpeakChinese();
};

void TestStartup::qtDialogsSpeakChinese()
{
    prepareApplication();
    QFileDialog dialog(nullptr, QStringLiteral("保存"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    auto *buttons = dialog.findChild<QDialogButtonBox *>();
    QVERIFY(buttons);
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
    QVERIFY2(buttons->button(QDialogButtonBox::Save)->text().contains(QStringLiteral("保存")),
             qPrintable(buttons->button(QDialogButtonBox::Save)->text()));
}

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
