#include "widgets/MaskWidget.h"

#include "widgets/WindowTranslucency.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QTimer>

MaskWidget::MaskWidget(QWidget *parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    qApp->installEventFilter(this);
}

void MaskWidget::setDialogNames(const QStringList &dialogNames)
{
    if (m_dialogNames == dialogNames)
        return;
    m_dialogNames = dialogNames;
}

bool MaskWidget::translucentWindows() const
{
    return windowTranslucencyAvailable();
}

void MaskWidget::chooseForm()
{
    const bool window = translucentWindows() || !parentWidget();
    if (window != isWindow())
        setWindowFlags(window ? Qt::Dialog | Qt::FramelessWindowHint : Qt::Widget);
}

bool MaskWidget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && m_dialogNames.contains(watched->objectName())) {
        if (type == QEvent::Show)
            chooseForm();
        // A widget's show event arrives just before it becomes visible, so
        // the mask lies under the dialog.
        setVisible(type == QEvent::Show);
        // Where mapping a window does not raise it (X11 without a window
        // manager), the mask, created after the dialog, would cover it:
        // raise the dialog once it is up.
        QWidget *dialog = qobject_cast<QWidget *>(watched);
        if (type == QEvent::Show && dialog && dialog->isWindow() && isWindow())
            QTimer::singleShot(0, dialog, [dialog] { dialog->raise(); });
    }
    return QWidget::eventFilter(watched, event);
}

void MaskWidget::showEvent(QShowEvent *event)
{
    if (QWidget *p = parentWidget()) {
        // A window covers the parent window; a child covers the parent from
        // within, above its other children.
        setGeometry(isWindow() ? p->geometry() : p->rect());
        if (!isWindow())
            raise();
    }
    QWidget::showEvent(event);
}

void MaskWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 150));
}
