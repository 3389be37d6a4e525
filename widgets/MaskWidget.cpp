#include "widgets/MaskWidget.h"

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

bool MaskWidget::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && m_dialogNames.contains(watched->objectName())) {
        // A widget's show event arrives just before it becomes visible, so
        // the mask lies under the dialog.
        setVisible(type == QEvent::Show);
        // Where mapping a window does not raise it (X11 without a window
        // manager), the mask, created after the dialog, would cover it:
        // raise the dialog once it is up.
        QWidget *dialog = qobject_cast<QWidget *>(watched);
        if (type == QEvent::Show && dialog && dialog->isWindow())
            QTimer::singleShot(0, dialog, [dialog] { dialog->raise(); });
    }
    return QWidget::eventFilter(watched, event);
}

void MaskWidget::showEvent(QShowEvent *event)
{
    if (QWidget *p = parentWidget())
        setGeometry(p->geometry());
    QWidget::showEvent(event);
}

void MaskWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 0, 150));
}
