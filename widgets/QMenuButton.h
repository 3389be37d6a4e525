#pragma once

#include <QRect>
#include <QString>
#include <QVector>
#include <QWidget>

// The strip of page buttons: draws at most three buttons side by side, each
// an icon (normal or selected) and a caption, highlights the one under the
// mouse and toggles a button's selected state on a click. At most one button
// is selected at a time.
class QMenuButton : public QWidget
{
    Q_OBJECT

public:
    explicit QMenuButton(QWidget *parent = nullptr);

    // Refused (false) when the caption is empty or no file exists at the
    // normal icon path.
    bool addButton(const QString &normalIcon, const QString &selectedIcon,
                   const QString &caption, int id);
    // Selected flag of the (last) button with this id; false when none.
    bool isSelected(int id) const;

signals:
    // A click (press and release on the same button), selecting or deselecting.
    void select(int nID);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Button {
        QString normalIcon;
        QString selectedIcon;
        QString caption;
        int id;
        bool hovered;
        bool selected;
        QRect rect;  // set when painted; empty for a button never drawn
    };

    QVector<Button> m_buttons;
    int m_firstShown = 0;
    int m_maxVisible = 3;
    int m_pressedId = 0;
};
