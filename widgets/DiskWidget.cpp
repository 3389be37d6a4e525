#include "widgets/DiskWidget.h"

#include <QFile>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

#include <algorithm>

namespace {

// A bar this full (used / total) or more is drawn red.
constexpr double kFullRatio = 0.9;

// A bar with the toolkit's uniform roundness 100: the roundness of the longer
// side is scaled down so the corners stay circular, as round as the bar's
// height allows.
void fillRoundBar(QPainter &painter, const QRectF &rect, const QBrush &brush)
{
    constexpr int roundness = 100;
    int xRound = roundness;
    int yRound = roundness;
    if (rect.width() > rect.height())
        xRound = int(roundness * rect.height() / rect.width());
    else
        yRound = int(roundness * rect.width() / rect.height());
    QPainterPath path;
    path.addRoundedRect(rect, xRound, yRound, Qt::RelativeSize);
    painter.fillPath(path, brush);
}

// One double chevron, 20 pixels wide: the outline of a chevron through
// `points` and the same outline moved by `shift` pixels.
void fillChevrons(QPainter &painter, const QPolygon &points, int shift)
{
    painter.drawPolygon(points);
    painter.drawPolygon(points.translated(0, shift));
}

}  // namespace

DiskWidget::DiskWidget(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
}

bool DiskWidget::addItem(const QString &iconPath, const QString &name, float used, float total)
{
    if (used > total || !QFile::exists(iconPath))
        return false;
    m_entries.append({iconPath, name, used, total});
    if (m_sortByName) {
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const Entry &a, const Entry &b) { return a.name < b.name; });
    }
    updatePaging();
    update();
    return true;
}

void DiskWidget::clear()
{
    m_entries.clear();
    m_paging = false;
    // A new list starts at its top: nothing hidden before it, no arrow left
    // behind from the previous list.
    m_firstIndex = 0;
    m_canScrollUp = false;
    m_canScrollDown = true;
    m_upPressed = m_downPressed = false;
    m_upHovered = m_downHovered = false;
    m_upRect = QRect();
    m_downRect = QRect();
}

void DiskWidget::setColumns(int columns)
{
    if (columns < 1)  // the cell width divides by it
        return;
    m_columns = columns;
    updatePaging();
}

void DiskWidget::setFontSize(int points)
{
    m_fontSize = points;
}

int DiskWidget::itemCount() const
{
    return m_entries.size();
}

QString DiskWidget::itemName(int index) const
{
    return m_entries.value(index).name;
}

int DiskWidget::firstIndex() const
{
    return m_firstIndex;
}

bool DiskWidget::isPaging() const
{
    return m_paging;
}

QRect DiskWidget::upArrowRect() const
{
    return m_upRect;
}

QRect DiskWidget::downArrowRect() const
{
    return m_downRect;
}

int DiskWidget::pageSize() const
{
    return m_rows * m_columns;
}

void DiskWidget::updatePaging()
{
    if (pageSize() < m_entries.size()) {
        m_paging = true;
        m_canScrollDown = true;
    }
}

void DiskWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int count = qMin(m_entries.size() - m_firstIndex, pageSize());
    for (int k = 0; k < count; ++k)
        paintEntry(painter, m_entries[m_firstIndex + k], k);
    paintArrows(painter);
}

void DiskWidget::paintEntry(QPainter &painter, const Entry &entry, int position) const
{
    const int rh = height() / (m_rows + 1);
    const int cw = width() / m_columns;
    const int x0 = cw * (position % m_columns);
    const int y0 = rh * (position / m_columns) + 20;

    const QPixmap icon(entry.iconPath);
    painter.drawPixmap(x0, y0 + (rh - icon.height()) / 2, icon);

    const int bx = x0 + icon.width() + 6;
    const int right = x0 + 9 * (cw / 10) + 5;
    const int barWidth = right - bx + 1;
    const QRect bar(bx, y0 + 3 * (rh / 5) + 2, barWidth, 4);
    const QRect textBox(bx, y0 + rh / 5, barWidth, rh / m_rows);

    painter.setRenderHint(QPainter::Antialiasing);
    fillRoundBar(painter, bar, QColor::fromRgbF(0.2, 0.2, 0.8));

    // An empty partition (total 0) has nothing used.
    const float ratio = entry.total > 0 ? entry.used / entry.total : 0.0f;
    QLinearGradient gradient(bar.topLeft(), bar.bottomRight());
    if (ratio < kFullRatio) {
        gradient.setColorAt(0, QColor::fromRgbF(0, 0.8, 0.2));
        gradient.setColorAt(0.35, QColor::fromRgbF(0.6, 1, 0.2));
        gradient.setColorAt(1, QColor::fromRgbF(0.8, 1, 0.2));
    } else {
        gradient.setColorAt(0, QColor::fromRgbF(1, 0.2, 0.2));
        gradient.setColorAt(0.75, QColor::fromRgbF(1, 0.4, 0.5));
        gradient.setColorAt(1, QColor::fromRgbF(1, 0.6, 0.8));
    }
    fillRoundBar(painter, QRectF(bx, bar.top(), ratio * barWidth, bar.height()), gradient);

    QFont font(m_fontFamily);
    font.setPointSize(m_fontSize);
    painter.setFont(font);
    painter.setPen(QPen(Qt::white, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    // Two columns leave the name a third of the box beside the sizes: a
    // translation may give it a shorter form there.
    painter.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter,
                     m_columns == 1 ? tr("分区(%1)").arg(entry.name) : tr("分区(%1)", "two columns").arg(entry.name));

    const float free = entry.total - entry.used;
    const QString freeText = QString::asprintf("%0.2f", free);
    const QString totalText = QString::asprintf("%0.2f", entry.total);
    const QString sizes = m_columns == 1
        ? tr("%1GB可用 共%2G").arg(freeText, totalText)
        : tr("%1/%2G").arg(freeText, totalText);
    const int tw = textBox.width();
    painter.drawText(QRect(textBox.left() + tw / 3, textBox.top(), 2 * (tw / 3), textBox.height()),
                     Qt::AlignRight | Qt::AlignVCenter, sizes);
}

void DiskWidget::paintArrows(QPainter &painter)
{
    if (!m_paging) {
        m_upRect = QRect();
        m_downRect = QRect();
        return;
    }
    const int w = width();
    const int h = height();
    const int x0 = w / 2 - 10;

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    auto arrowColour = [](bool pressed, bool hovered) {
        return pressed ? QColor::fromRgbF(0.95, 1, 1, 1)
                       : hovered ? QColor::fromRgbF(0.8, 0.8, 1, 1) : QColor::fromRgbF(0.85, 0.85, 1, 1);
    };

    if (m_canScrollUp) {
        const int t = h / 50;
        const QPolygon up({QPoint(x0, t), QPoint(x0 + 10, 2), QPoint(x0 + 20, t), QPoint(x0 + 20, t - 2),
                           QPoint(x0 + 10, 0), QPoint(x0, t - 2), QPoint(x0, t)});
        painter.setBrush(arrowColour(m_upPressed, m_upHovered));
        fillChevrons(painter, up, 4);
        m_upRect = QRect(QPoint(x0, 4), QPoint(x0 + 19, t + 7));
    } else {
        m_upRect = QRect();
    }

    if (m_canScrollDown) {
        const int b = 18 * (h / 20);
        const int d = h / 40;
        const QPolygon down({QPoint(x0, b), QPoint(x0 + 10, b + d - 2), QPoint(x0 + 20, b),
                             QPoint(x0 + 20, b + 2), QPoint(x0 + 10, b + d), QPoint(x0, b + 2), QPoint(x0, b)});
        painter.setBrush(arrowColour(m_downPressed, m_downHovered));
        fillChevrons(painter, down, -4);
        m_downRect = QRect(QPoint(x0, b - 4), QPoint(x0 + 19, b + d - 1));
    } else {
        m_downRect = QRect();
    }

    setCursor(m_upHovered || m_downHovered ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void DiskWidget::enterEvent(QEvent *event)
{
    m_mouseInside = true;
    QWidget::enterEvent(event);
}

void DiskWidget::leaveEvent(QEvent *event)
{
    m_mouseInside = false;
    m_upHovered = false;
    m_downHovered = false;
    QWidget::leaveEvent(event);
}

void DiskWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_mouseInside)
        return;
    m_upHovered = m_upRect.contains(event->pos());
    m_downHovered = m_downRect.contains(event->pos());
    update();
}

void DiskWidget::mousePressEvent(QMouseEvent *event)
{
    if (m_upRect.contains(event->pos()))
        m_upPressed = true;
    if (m_downRect.contains(event->pos()))
        m_downPressed = true;
    update();
}

void DiskWidget::mouseReleaseEvent(QMouseEvent *)
{
    const int count = m_entries.size();
    if (m_upPressed) {
        m_upPressed = false;
        m_firstIndex = qMax(0, m_firstIndex - m_columns);
    }
    if (m_downPressed) {
        m_downPressed = false;
        if ((count - m_firstIndex) / pageSize() > 0)
            m_firstIndex += m_columns;
    }
    m_canScrollUp = m_firstIndex > 0;
    m_canScrollDown = (count - m_firstIndex) / pageSize() > 0;
    update();
    if (m_firstIndex == 0 || !m_canScrollDown)
        setCursor(Qt::ArrowCursor);
}
