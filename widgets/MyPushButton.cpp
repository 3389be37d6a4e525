#include "widgets/MyPushButton.h"

#include <QEvent>
#include <QIcon>

namespace {

// Added to every look: a disabled button's text is dimmed (the light blue of
// the window's texts on its gradient, or the grey of the pages' disabled
// texts), and Qt draws its icon greyed.
QString disabledRule(bool whiteText)
{
    return whiteText ? QStringLiteral("QPushButton:disabled{color:rgb(185, 206, 248);}")
                     : QStringLiteral("QPushButton:disabled{color:rgb(120, 120, 120);}");
}

}  // namespace

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
    // A disabled button does not answer the mouse, so it does not light up.
    if (isEnabled())
        applyHoverLook();
    QPushButton::enterEvent(event);
}

void MyPushButton::leaveEvent(QEvent *event)
{
    applyNormalLook();
    QPushButton::leaveEvent(event);
}

void MyPushButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        applyNormalLook();
    QPushButton::changeEvent(event);
}

void MyPushButton::applyNormalLook()
{
    setStyleSheet((m_whiteText ? QStringLiteral("QPushButton{background:transparent;color:white;}")
                               : QStringLiteral("QPushButton{background:transparent;color:black;}"))
                  + disabledRule(m_whiteText));
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
    setStyleSheet(QString::fromLatin1(kHoverStyles[m_whiteText][m_bordered]) + disabledRule(m_whiteText));
    setIcon(QIcon(m_hoverIcon));
}
