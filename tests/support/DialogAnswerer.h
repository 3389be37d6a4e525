#pragma once
// Answers the message dialogs a test brings up, as a user would, and
// records what each of them showed.

#include "MessageButtons.h"
#include "widgets/QMessageDlg.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

#include <functional>

// Watches for modal message dialogs, records what each shows and answers
// it: as queued in `answers`, then by clicking 确定 (or the OK of a notice).
class DialogAnswerer : public QObject {
public:
    struct Seen {
        QWidget* parent = nullptr;
        QSize size;
        QString text;
        QImage iconArea;
    };
    using Answer = std::function<void(QMessageDlg*)>;
    QList<Seen> dialogs;
    QList<Answer> answers;

    DialogAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, &DialogAnswerer::poll);
        timer.start(10);
    }
    const Seen& last() const { return dialogs.last(); }

    // The icon area of a message dialog of the dialog's size.
    static QImage iconOf(QWidget& dialog)
    {
        const int w = dialog.width(), h = dialog.height();
        return dialog.grab(QRect(w / 20, 2 * (h / 12), 4 * (w / 10), 5 * (h / 10))).toImage();
    }

private:
    void poll()
    {
        auto* dialog = qobject_cast<QMessageDlg*>(QApplication::activeModalWidget());
        if (!dialog || dialog == answered)
            return;
        answered = dialog;
        dialogs.append({dialog->parentWidget(), dialog->size(), dialog->findChild<QLabel*>()->text(), iconOf(*dialog)});
        if (answers.isEmpty())
            clickMessageButton(dialog, QMessageDlg::BtnOk);
        else
            answers.takeFirst()(dialog);
    }

    QTimer timer;
    QPointer<QMessageDlg> answered;
};
