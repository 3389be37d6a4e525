#include "app/SingleInstance.h"
#include "ModalAnswers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

class SecondInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void showsTheCriticalBoxAndAnswersOne()
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        ModalAnswers dialogs({answerIf<QMessageBox>([&](QMessageBox* box) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            box->button(QMessageBox::Ok)->click();
        })});
        QCOMPARE(refuseSecondInstance(), 1);
        QCOMPARE(dialogs.count(), 1);
        QCOMPARE(title, QStringLiteral("警告"));
        QCOMPARE(text, QStringLiteral("程序已启动"));
        QCOMPARE(icon, QMessageBox::Critical);
        QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }
};

QTEST_MAIN(SecondInstanceTest)
#include "tst_second_instance.moc"
