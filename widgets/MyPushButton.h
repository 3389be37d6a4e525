#pragma once

#include <QPushButton>
#include <QString>

// A flat push button that switches its style sheet and icon while the mouse
// is over it; disabled, it shows dimmed text and a greyed icon.
class MyPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit MyPushButton(QWidget *parent = nullptr);

    // Stores the look and applies the normal one at once.
    void setButtonStyle(const QString &normalIcon, const QString &hoverIcon, bool whiteText,
                        bool bordered);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void applyNormalLook();
    void applyHoverLook();

    QString m_normalIcon;
    QString m_hoverIcon;
    bool m_whiteText = false;  // black text without border until styled
    bool m_bordered = false;
};
