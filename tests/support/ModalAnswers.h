#pragma once
// Answers the modal dialogs that open while it exists, one answer per dialog
// in order of appearance, each through the dialog itself: no key goes to
// whatever has the focus.

#include <QApplication>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <QTimer>

#include <functional>

// Closes a dialog as the close button of its window does.
inline void rejectDialog(QWidget* dialog)
{
    if (auto* modal = qobject_cast<QDialog*>(dialog))
        modal->reject();
}

class ModalAnswers : public QObject {
public:
    using Answer = std::function<void(QWidget*)>;

    // `seen` is told of every dialog before it is answered. A dialog beyond
    // the answers is rejected.
    explicit ModalAnswers(QList<Answer> answers = {}, std::function<void(QWidget*)> seen = {})
        : answers_(std::move(answers)), seen_(std::move(seen))
    {
        // A dialog runs its own event loop: the poll turns there.
        connect(&poll_, &QTimer::timeout, this, &ModalAnswers::answerNewDialog);
        poll_.start(10);
    }

    // The dialogs seen so far.
    int count() const { return count_; }

private:
    void answerNewDialog()
    {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == answered_)
            return;
        answered_ = dialog;
        ++count_;
        if (seen_)
            seen_(dialog);
        if (answers_.isEmpty())
            rejectDialog(dialog);
        else
            answers_.takeFirst()(dialog);
    }

    QList<Answer> answers_;
    std::function<void(QWidget*)> seen_;
    QTimer poll_;
    QPointer<QWidget> answered_;
    int count_ = 0;
};

// An answer for a dialog of type T; a dialog of another type is rejected.
template <typename T>
ModalAnswers::Answer answerIf(std::function<void(T*)> answer)
{
    return [answer](QWidget* dialog) {
        if (auto* expected = qobject_cast<T*>(dialog))
            answer(expected);
        else
            rejectDialog(dialog);
    };
}
