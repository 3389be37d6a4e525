#include "widgets/QMessageDlg.h"

#include "widgets/WindowTranslucency.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRegion>
#include <QStyleOption>

namespace {

struct ButtonDefinition {
    const char *caption;  // UTF-8
    QMessageDlg::emBTN id;
};

// The button rows by buttonSet, left to right.
const QVector<QVector<ButtonDefinition>> kButtonSets = {
    {{QT_TRANSLATE_NOOP("QMessageDlg", "确定"), QMessageDlg::BtnOk}},
    {{QT_TRANSLATE_NOOP("QMessageDlg", "确定"), QMessageDlg::BtnOk},
     {QT_TRANSLATE_NOOP("QMessageDlg", "取消"), QMessageDlg::BtnCancel}},
    {{QT_TRANSLATE_NOOP("QMessageDlg", "是"), QMessageDlg::BtnYes},
     {QT_TRANSLATE_NOOP("QMessageDlg", "否"), QMessageDlg::BtnNo}},
    {{QT_TRANSLATE_NOOP("QMessageDlg", "continue"), QMessageDlg::BtnContinue}},
};

const char kCheckBoxStyle[] =
    "QCheckBox{spacing:20px;color: #72727f;}"
    "QCheckBox::indicator:unchecked{image:url(:/Quillfence/Resources/add/checkbox_def2x.png);}"
    "QCheckBox::indicator:checked{image:url(:/Quillfence/Resources/add/checkbox_che2x.png);}";

// A dialog grows to at most three times the size its caller gave it.
constexpr int kMostTenths = 30;

QFont captionFont()
{
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(14);
    return font;
}

QPen linePen(const QColor &colour)
{
    return QPen(colour, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

}  // namespace

QMessageDlg::QMessageDlg(QWidget *parent)
    : QDialog(parent)
{
    m_label = new QLabel(this);
    m_label->setFont(captionFont());
    m_label->setStyleSheet(QStringLiteral("color: gray"));
    m_label->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    m_label->setWordWrap(true);

    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    setObjectName(QStringLiteral("QVMsgBox"));
    rebuildButtons();
}

void QMessageDlg::setMessage(const QString &iconPath, const QString &text, int buttonSet)
{
    m_iconPath = iconPath;
    m_text = text;
    m_buttonSet = buttonSet;
    m_closeMode = false;
    for (QCheckBox *box : {m_minimise, m_quit, m_remember}) {
        if (box)
            box->hide();
    }
    growToFitText();
    placeMessageLabel();
    rebuildButtons();
}

void QMessageDlg::growToFitText()
{
    const QSize given = size();
    m_label->setText(QStringLiteral("<p style='line-height:24px'>") + m_text);
    const auto fits = [this](const QSize &tried) {
        return m_label->heightForWidth(5 * (tried.width() / 12)) <= 6 * (tried.height() / 10);
    };
    for (int tenths = 10; tenths <= kMostTenths; ++tenths) {
        const QSize tried = given * tenths / 10;
        if (fits(tried) || tenths == kMostTenths) {
            if (tried != given)
                resize(tried);
            return;
        }
    }
}

void QMessageDlg::setCloseChoice(int buttonSet)
{
    m_buttonSet = buttonSet;
    m_closeMode = true;
    createCloseChoiceBoxes();
    placeMessageLabel();
    rebuildButtons();
}

int QMessageDlg::result() const
{
    return m_result;
}

int QMessageDlg::closeChoice() const
{
    // Without the boxes nothing was chosen: report the untouched default.
    if (!m_minimise)
        return 0;
    int choice = 0;
    if (!m_minimise->isChecked())
        choice |= 1;
    if (!m_remember->isChecked())
        choice |= 2;
    return choice;
}

void QMessageDlg::rebuildButtons()
{
    m_buttons.clear();
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::CustomizeWindowHint);
    setMouseTracking(true);

    if (m_buttonSet >= 0 && m_buttonSet < kButtonSets.size()) {
        for (const ButtonDefinition &definition : kButtonSets[m_buttonSet])
            m_buttons.append({QRect(), tr(definition.caption), definition.id, false, false});
    }

    const int n = m_buttons.size();
    if (n == 0)
        return;
    const int w = width() / n;
    const int h = height();
    // The band reaches past the bottom edge; painting clips it there.
    for (int i = 0; i < n; ++i)
        m_buttons[i].rect = QRect(QPoint(i * w, 5 * (h / 6)), QPoint(i * w + w - 1, 6 * (h / 6) + 3));
}

void QMessageDlg::createCloseChoiceBoxes()
{
    if (!m_minimise) {
        m_minimise = new QCheckBox(tr("最小化到任务栏"), this);
        m_quit = new QCheckBox(tr("退出软件"), this);
        m_remember = new QCheckBox(tr("记住我的选择"), this);

        m_actionGroup = new QButtonGroup(this);
        m_actionGroup->setExclusive(true);
        m_actionGroup->addButton(m_minimise);
        m_actionGroup->addButton(m_quit);
        m_rememberGroup = new QButtonGroup(this);
        m_rememberGroup->setExclusive(false);
        m_rememberGroup->addButton(m_remember);

        m_minimise->setChecked(true);
        m_remember->setChecked(true);
    }

    const int w = width();
    const int m = (5 * (height() / 6)) / 7;
    const int top[] = {m, 3 * m, 5 * m};
    QCheckBox *boxes[] = {m_minimise, m_quit, m_remember};
    for (int i = 0; i < 3; ++i) {
        boxes[i]->setStyleSheet(QString::fromUtf8(kCheckBoxStyle));
        boxes[i]->setGeometry(5 * (w / 20), top[i], w - w / 20, m);
        boxes[i]->show();
    }
}

void QMessageDlg::placeMessageLabel()
{
    if (m_closeMode) {
        m_label->clear();
        m_label->hide();
        return;
    }
    const int w = width();
    const int h = height();
    m_label->setGeometry(10 * (w / 20), h / 10, 5 * (w / 12), 6 * (h / 10));
    m_label->setText(QStringLiteral("<p style='line-height:24px'>") + m_text);
    m_label->show();
}

bool QMessageDlg::anyButtonPressed() const
{
    for (const Button &b : m_buttons) {
        if (b.pressed)
            return true;
    }
    return false;
}

void QMessageDlg::resizeEvent(QResizeEvent *event)
{
    // The label follows the size; the button row keeps its rectangles until
    // the next setMessage() or setCloseChoice().
    placeMessageLabel();
    if (isVisible())
        updateShape();
    QDialog::resizeEvent(event);
}

void QMessageDlg::showEvent(QShowEvent *event)
{
    updateShape();
    QDialog::showEvent(event);
}

void QMessageDlg::updateShape()
{
    if (windowTranslucencyAvailable()) {
        clearMask();
        return;
    }
    QPainterPath face;
    face.addRoundedRect(QRectF(rect()), 10, 10, Qt::AbsoluteSize);
    setMask(QRegion(face.toFillPolygon().toPolygon()));
}

void QMessageDlg::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);

    QPainterPath face;
    face.addRoundedRect(QRectF(rect()), 10, 10, Qt::AbsoluteSize);
    painter.fillPath(face, Qt::white);

    if (!m_closeMode) {
        const int w = width();
        const int h = height();
        const QRect area(w / 20, 2 * (h / 12), 4 * (w / 10), 5 * (h / 10));
        const QPixmap icon(m_iconPath);
        if (!icon.isNull()) {
            painter.drawPixmap(area.left() + (area.width() - icon.width()) / 2,
                               area.top() + (area.height() - icon.height()) / 2, icon);
        }
    }
    for (int i = 0; i < m_buttons.size(); ++i)
        paintButton(painter, i);
}

void QMessageDlg::paintButton(QPainter &painter, int index) const
{
    const Button &button = m_buttons[index];
    const QRect &r = button.rect;
    const int n = m_buttons.size();
    const int bw = r.width();
    const int bh = r.height();

    // Every button gets the corner size of a 13 % rounded rectangle over the
    // whole dialog.
    QPainterPath path;
    path.addRoundedRect(QRectF(r), int(13.0 * width() / bw), int(13.0 * height() / bh),
                        Qt::RelativeSize);

    const QPen separatorPen = linePen(QColor(Qt::lightGray));
    painter.setPen(separatorPen);
    painter.drawLine(r.topLeft(), r.topRight());

    const bool greyCaption = button.id == BtnCancel || button.id == BtnNo;
    const QPen captionPen = linePen(greyCaption ? QColor(169, 169, 169) : QColor(Qt::blue));
    painter.setPen(captionPen);

    const qreal grey = button.pressed ? 0.88 : button.hovered ? 0.91 : 0.93;
    const QColor faceColour = QColor::fromRgbF(grey, grey, grey, 1);
    painter.fillPath(path, faceColour);
    // Square the top corners, then the inner bottom corners of a row of two
    // or more, so that only the dialog's outer bottom corners stay round.
    painter.fillRect(QRect(r.topLeft(), QPoint(r.right(), r.bottom() - bh / 2)), faceColour);
    if (n >= 2 && index == 0)
        painter.fillRect(QRect(QPoint(r.left() + bw / 2, r.top()), r.bottomRight()), faceColour);
    if (n >= 2 && index == n - 1)
        painter.fillRect(QRect(r.topLeft(), QPoint(r.left() + bw / 2, r.bottom())), faceColour);

    if (index < n - 1) {
        painter.setPen(separatorPen);
        painter.drawLine(r.right() + 1, r.top(), r.right() + 1, r.bottom());
        painter.setPen(captionPen);
    }

    painter.setFont(captionFont());
    painter.drawText(r, Qt::AlignCenter, button.caption);
}

void QMessageDlg::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragOffset = event->globalPos() - frameGeometry().topLeft();
        event->accept();
    }
    for (Button &b : m_buttons)
        b.pressed = b.rect.contains(event->pos());
    update();
}

void QMessageDlg::mouseMoveEvent(QMouseEvent *event)
{
    if ((event->buttons() & Qt::LeftButton) && !anyButtonPressed()) {
        move(event->globalPos() - m_dragOffset);
        event->accept();
    }
    setCursor(Qt::ArrowCursor);
    for (Button &b : m_buttons) {
        b.hovered = b.rect.contains(event->pos());
        if (b.hovered)
            setCursor(Qt::PointingHandCursor);
    }
    update();
}

void QMessageDlg::mouseReleaseEvent(QMouseEvent *event)
{
    const Button *hit = nullptr;
    for (Button &b : m_buttons) {
        b.pressed = false;
        if (!hit && b.rect.contains(event->pos()))
            hit = &b;
    }
    m_result = hit ? hit->id : -1;
    if (hit) {
        emit vBtnPress(hit->id);
        reject();
    }
    update();
}

void QMessageDlg::leaveEvent(QEvent *event)
{
    for (Button &b : m_buttons)
        b.hovered = false;
    setCursor(Qt::ArrowCursor);
    update();
    QDialog::leaveEvent(event);
}

void QMessageDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        m_result = BtnCancel;
        reject();
    } else if (event->key() == Qt::Key_Return) {
        if (m_buttonSet == 0 || m_buttonSet == 1)
            m_result = BtnOk;
        else if (m_buttonSet == 2)
            m_result = BtnYes;
        reject();
    }
    // Bypass the dialog's own Escape and Enter handling: the plain widget
    // handler ignores the key, so the keypad Enter does nothing.
    QWidget::keyPressEvent(event);
}
