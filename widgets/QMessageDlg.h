#pragma once

#include <QDialog>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QVector>

class QButtonGroup;
class QCheckBox;
class QLabel;

// The system's own modal message box: frameless, a white rounded face, a row
// of self-painted buttons along the bottom edge, draggable by any point that
// is not a button. The clicked button is read from result() after exec().
//
// Calling protocol: construct with the calling window as parent, resize to
// 300 x 200, then setMessage() or setCloseChoice() (the button row is laid
// out for the size at that moment; setMessage() makes the dialog larger
// where the text needs it), exec(), read result().
class QMessageDlg : public QDialog
{
    Q_OBJECT

public:
    enum emBTN {
        BtnOk = 0,
        BtnCancel = 1,
        BtnYes = 2,
        BtnNo = 3,
        BtnContinue = 4,
    };
    Q_ENUM(emBTN)

    explicit QMessageDlg(QWidget *parent = nullptr);

    // buttonSet 0: 确定; 1: 确定 取消; 2: 是 否; 3: continue; other: none.
    void setMessage(const QString &iconPath, const QString &text, int buttonSet);
    // Asks what closing the main window does, with three check boxes.
    void setCloseChoice(int buttonSet);

    // Id of the button that closed the dialog, -1 when the last release hit
    // no button (and before any click).
    int result() const;
    // Bit 0: quit chosen (not "最小化到任务栏"); bit 1: "记住我的选择" unchecked.
    int closeChoice() const;

signals:
    void vBtnPress(QMessageDlg::emBTN btn);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    struct Button {
        QRect rect;
        QString caption;
        emBTN id;
        bool pressed;
        bool hovered;
    };

    void rebuildButtons();
    // A message that does not fit the label at the size the caller gave
    // grows the dialog, a tenth at a time and keeping its proportions,
    // until it does: no text the program shows is cut off.
    void growToFitText();
    // Where translucent windows are not blended, the corners outside the
    // rounded face would be drawn black: the window's shape leaves them out.
    void updateShape();
    void createCloseChoiceBoxes();
    void placeMessageLabel();
    void paintButton(QPainter &painter, int index) const;
    bool anyButtonPressed() const;

    int m_buttonSet = 0;  // a single OK button until configured
    int m_result = -1;
    QVector<Button> m_buttons;
    QString m_iconPath;
    QString m_text;
    QPoint m_dragOffset;
    QLabel *m_label = nullptr;
    QCheckBox *m_minimise = nullptr;
    QCheckBox *m_quit = nullptr;
    QCheckBox *m_remember = nullptr;
    QButtonGroup *m_actionGroup = nullptr;
    QButtonGroup *m_rememberGroup = nullptr;
    bool m_closeMode = false;
};
