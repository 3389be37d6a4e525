#pragma once
// Answers a message dialog by clicking one of its buttons, as a user does.
// The mouse events go to the dialog itself, not to whatever has the focus,
// and the dialog has closed when the click returns.

#include "widgets/QMessageDlg.h"

#include <QtTest>

// Clicks the button `id` of the dialog's row. The row is the dialog's bottom
// sixth, shared evenly by its buttons: the left quarter lies on the first
// (确定, 是, or the only button of a notice), the right quarter on the second
// (取消, 否). Where that click does not give `id` (the row has no such
// button), the test fails, and the dialog is closed all the same so that the
// test does not wait for it.
inline void clickMessageButton(QMessageDlg* dialog, QMessageDlg::emBTN id)
{
    const bool second = id == QMessageDlg::BtnCancel || id == QMessageDlg::BtnNo;
    const QPoint point(dialog->width() * (second ? 3 : 1) / 4, dialog->height() * 11 / 12);
    QTest::mouseClick(dialog, Qt::LeftButton, Qt::NoModifier, point);
    const bool closed = !dialog->isVisible();
    if (!closed)
        dialog->reject();
    QVERIFY2(closed, "the click hit no button");
    QCOMPARE(QMessageDlg::emBTN(dialog->result()), id);
}
