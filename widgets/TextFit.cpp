#include "widgets/TextFit.h"

#include <QFontMetrics>
#include <QLabel>

namespace {

// The width a label leaves its text.
int roomOf(const QLabel* label)
{
    return label->contentsRect().width() - 2 * label->margin() - qMax(label->indent(), 0);
}

}  // namespace

void setElidedText(QLabel* label, const QString& text)
{
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideRight, roomOf(label));
    label->setText(shown);
    label->setToolTip(shown == text ? QString() : text);
}

void setShrunkText(QLabel* label, const QString& text, const QFont& font, int smallestPointSize)
{
    QFont fitted = font;
    for (int size = font.pointSize(); size >= smallestPointSize; --size) {
        fitted.setPointSize(size);
        if (QFontMetrics(fitted).horizontalAdvance(text) <= roomOf(label))
            break;
    }
    label->setFont(fitted);
    setElidedText(label, text);
}
