#include "widgets/DiskSelector.h"

#include <QAbstractItemModel>
#include <QEvent>
#include <QStyleOptionComboBox>
#include <QStylePainter>

DiskSelector::DiskSelector(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentTextChanged, this, &DiskSelector::updateToolTip);
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { giveEntriesTheirToolTips(first, last); });
    connect(model(), &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) { giveEntriesTheirToolTips(from.row(), to.row()); });
}

// Where the current entry's text is drawn: the edit field, less a pixel on
// either side, as the style draws a combo box's label.
QRect DiskSelector::textRect() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).adjusted(1, 0, -1, 0);
}

QString DiskSelector::shownText() const
{
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, textRect().width());
}

// The frame and the arrow as QComboBox paints them; the text itself, elided
// to the very rectangle it is drawn in (the style's own label drawing uses a
// rectangle of its own, which a style sheet makes narrower).
void DiskSelector::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect rect = textRect();
    painter.setClipRect(rect);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, shownText());
}

void DiskSelector::resizeEvent(QResizeEvent* event)
{
    QComboBox::resizeEvent(event);
    updateToolTip();
}

void DiskSelector::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateToolTip();
}

void DiskSelector::updateToolTip()
{
    setToolTip(shownText() == currentText() ? QString() : currentText());
}

void DiskSelector::giveEntriesTheirToolTips(int first, int last)
{
    for (int row = first; row <= last && row < count(); ++row) {
        const QString text = itemText(row);
        if (itemData(row, Qt::ToolTipRole).toString() != text)
            setItemData(row, text, Qt::ToolTipRole);  // a change of another role: no loop
    }
    if (currentIndex() >= first && currentIndex() <= last)
        updateToolTip();
}
