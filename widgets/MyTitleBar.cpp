#include "widgets/MyTitleBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

MyTitleBar::MyTitleBar(QWidget *parent)
    : QWidget(parent)
{
    m_icon = new QLabel(this);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("TitleContent"));
    m_buttonMin = new QPushButton(this);
    m_buttonMin->setObjectName(QStringLiteral("ButtonMin"));
    m_buttonClose = new QPushButton(this);
    m_buttonClose->setObjectName(QStringLiteral("ButtonClose"));
    m_buttonHelp = new QPushButton(tr("关于我们"), this);
    m_buttonHelp->setObjectName(QStringLiteral("ButtonHelp"));

    m_buttonMin->setFixedSize(16, 16);
    m_buttonClose->setFixedSize(16, 16);
    m_buttonMin->setToolTip(tr("最小化"));
    m_buttonClose->setToolTip(tr("关闭"));

    m_buttonMin->setStyleSheet(QStringLiteral(
        "QPushButton{border: 0px;background-image:url(:/Quillfence/Resources/0topbar/min_nor.png);}"
        "QPushButton:hover{border: 0px;background-image:url(:/Quillfence/Resources/0topbar/min_click.png);}"));
    m_buttonClose->setStyleSheet(QStringLiteral(
        "QPushButton{border: 0px;background-image:url(:/Quillfence/Resources/0topbar/close_nor.png);}"
        "QPushButton:hover{border: 0px;background-image:url(:/Quillfence/Resources/0topbar/close_click.png);}"));
    m_buttonHelp->setStyleSheet(QStringLiteral(
        "QPushButton{border: 1px;color:rgb(168,205,253)}QPushButton:hover{color:rgb(247,250,255);}"));

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->addSpacing(20);
    layout->addWidget(m_icon);
    layout->addWidget(m_title);
    layout->addWidget(m_buttonHelp);
    layout->addSpacing(10);
    layout->addWidget(m_buttonMin);
    layout->addSpacing(10);
    layout->addWidget(m_buttonClose);
    layout->addSpacing(20);
    m_title->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);

    setFixedHeight(45);

    connect(m_buttonMin, SIGNAL(clicked()), this, SLOT(onButtonMinClicked()));
    connect(m_buttonClose, SIGNAL(clicked()), this, SLOT(onButtonCloseClicked()));
    connect(m_buttonHelp, SIGNAL(clicked()), this, SLOT(onButtonHelpClicked()));
}

void MyTitleBar::setTitleIcon(const QString &path)
{
    m_icon->setPixmap(QPixmap(path));
}

void MyTitleBar::onButtonMinClicked()
{
    emit signalButtonMinClicked();
}

void MyTitleBar::onButtonCloseClicked()
{
    emit signalButtonCloseClicked();
}

void MyTitleBar::onButtonHelpClicked()
{
    emit signalButtonHelpClicked();
}

void MyTitleBar::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(QRectF(QRect(QPoint(0, 0), QPoint(width() - 1, height() - 1))), 0, 0);
    painter.fillPath(path, QColor(m_red, m_green, m_blue));
    QWidget::paintEvent(event);
}

void MyTitleBar::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_lastGlobalPos = event->globalPos();
    QWidget::mousePressEvent(event);
}

void MyTitleBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging) {
        QWidget *win = window();
        win->move(win->pos() + (event->globalPos() - m_lastGlobalPos));
        m_lastGlobalPos = event->globalPos();
    }
    QWidget::mouseMoveEvent(event);
}

void MyTitleBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
