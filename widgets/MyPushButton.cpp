#include "widgets/MyPushButton.h"

#include <QIcon>

MyPushButton::MyPushButton(QWidget *parent)
    : QPushButton(parent)
{
    setFlat(true);
    applyNormalLook();
}

void MyPushButton::setButtonStyle(const QString &normalIcon, const QString &hoverIcon,
                                  bool whiteText, bool bordered)
{
    m_normalIcon = normalIcon;
    m_hoverIcon = hoverIcon;
    m_whiteText = whiteText;
    m_bordered = bordered;
    applyNormalLook();
}

void MyPushButton::enterEvent(QEvent *event)
{
    applyHoverLook();
    QPushButton::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent *event)
{
    applyNormalLook();
    QPushButton::leaveEvent(event);
}

void MyPushButton::applyNormalLook()
{
    setStyleSheet(m_whiteText ? QStringLiteral("QPushButton{background:transparent;color:white;}")
                              : QStringLiteral("QPushButton{background:transparent;color:black;}"));
    setIcon(QIcon(m_normalIcon));
}

void MyPushButton::applyHoverLook()
{
    // Indexed by [whiteText][bordered].
    static const char *const kHoverStyles[2][2] = {
        {"QPushButton{background:transparent;color:black;}",
         "QPushButton{background:transparent;color:black;border-radius:2px;border-color: black;"
         "border-width: 1px;border-style: solid;}"},
        {"QPushButton{background:transparent;color:white;}",
         "QPushButton{background:transparent;color:white;border-radius:2px;border-color: white;"
         "border-width: 1px;border-style: solid;}"},
    };
    setStyleSheet(QString::fromLatin1(kHoverStyles[m_whiteText][m_bordered]));
    setIcon(QIcon(m_hoverIcon));
}
