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

QString DiskSelector::shownText() const
{
    QStyleOptionComboBox option;
    initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width());
}

// As QComboBox paints itself, with the text elided to its field.
void DiskSelector::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = shownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
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
