#pragma once
// Whether the texts a window shows fit where they are shown: every label,
// push button, check box and combo box that is visible, measured in its own font. A
// text may also be wrapped (a label with word wrap whose text needs no more
// than its height), or elided with "…" and then shown whole in the
// widget's tool tip (which the tests of such widgets check).

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QLabel>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextDocument>

namespace textfit {

inline bool isElided(const QString& shown) { return shown.endsWith(QChar(0x2026)); }

// How far to the right of its start the text, drawn in the widget's font,
// puts ink: a letter is cut where that lies beyond the room it has. Drawn
// at the widget's resolution, so that points measure as on its screen.
inline int inkWidth(const QWidget* widget, const QString& text)
{
    const QFontMetrics metrics = widget->fontMetrics();
    QImage image(metrics.horizontalAdvance(text) + metrics.height(), metrics.height() * 2,
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(widget->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(widget->logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(widget->font());
        painter.setPen(Qt::black);
        painter.drawText(0, metrics.ascent() + metrics.height() / 2, text);
    }
    for (int x = image.width() - 1; x >= 0; --x)
        for (int y = 0; y < image.height(); ++y)
            if (qAlpha(image.pixel(x, y)) > 0)
                return x + 1;
    return 0;
}

// The text a label draws: rich text as plain text, and without the "&" of
// a mnemonic (a label with a buddy underlines the letter after it instead).
inline QString plainText(const QLabel* label)
{
    if (Qt::mightBeRichText(label->text()) && label->textFormat() != Qt::PlainText) {
        QTextDocument document;
        document.setHtml(label->text());
        return document.toPlainText();
    }
    if (!label->buddy())
        return label->text();
    QString text;
    const QString source = label->text();
    for (int i = 0; i < source.size(); ++i) {
        if (source.at(i) == QLatin1Char('&') && i + 1 < source.size())
            ++i;  // "&&" draws one "&"; "&x" draws "x"
        text += source.at(i);
    }
    return text;
}

// Why the label's text does not fit; empty when it does.
inline QString labelProblem(const QLabel* label)
{
    const QString text = plainText(label);
    if (text.isEmpty() || !label->pixmap(Qt::ReturnByValue).isNull())
        return QString();
    const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                      -label->margin());
    if (label->wordWrap()) {
        const int needed = label->heightForWidth(label->width());
        if (needed > label->height())
            return QStringLiteral("wrapped into %1 px of height, has %2").arg(needed).arg(label->height());
    } else {
        int widest = 0;
        for (const QString& line : text.split(QLatin1Char('\n')))
            widest = qMax(widest, inkWidth(label, line));
        if (widest > room.width())
            return QStringLiteral("%1 px wide, has %2").arg(widest).arg(room.width());
    }
    return QString();
}

inline QString buttonProblem(const QPushButton* button)
{
    if (button->text().isEmpty())
        return QString();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
    int needed = button->fontMetrics().horizontalAdvance(button->text());
    if (!button->icon().isNull())
        needed += button->iconSize().width() + 4;
    if (needed > room.width())
        return QStringLiteral("%1 px wide, has %2").arg(needed).arg(room.width());
    return QString();
}

// A check box's text, beside its indicator.
inline QString checkBoxProblem(const QCheckBox* box)
{
    if (box->text().isEmpty())
        return QString();
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    const int needed = inkWidth(box, box->text());
    if (needed > room.width())
        return QStringLiteral("%1 px wide, has %2").arg(needed).arg(room.width());
    return QString();
}

// A combo box shows its current text in its edit field, as `shown` says
// (the text it draws; elided or whole).
inline QString comboProblem(const QComboBox* combo, const QString& shown)
{
    if (shown.isEmpty())
        return QString();
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    option.currentText = shown;
    const QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    const int needed = combo->fontMetrics().horizontalAdvance(shown);
    if (needed > room.width())
        return QStringLiteral("%1 px wide, has %2").arg(needed).arg(room.width());
    if (shown != combo->currentText() && (!isElided(shown) || combo->toolTip() != combo->currentText()))
        return QStringLiteral("cut without \"…\" and a tool tip");
    return QString();
}

// "objectName: text: why" for every visible text of `root` that does not
// fit. `comboText` tells what a combo box draws (by default its current
// text, as a plain combo box draws it).
template <typename ComboText>
QStringList unfitTexts(QWidget* root, ComboText comboText)
{
    QStringList unfit;
    const auto note = [&](QWidget* widget, const QString& text, const QString& problem) {
        if (!problem.isEmpty())
            unfit << QStringLiteral("%1: \"%2\": %3").arg(widget->objectName(), text, problem);
    };
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget))
            note(label, plainText(label), labelProblem(label));
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            note(button, button->text(), buttonProblem(button));
        else if (auto* box = qobject_cast<QCheckBox*>(widget))
            note(box, box->text(), checkBoxProblem(box));
        else if (auto* combo = qobject_cast<QComboBox*>(widget))
            note(combo, combo->currentText(), comboProblem(combo, comboText(combo)));
    }
    return unfit;
}

inline QStringList unfitTexts(QWidget* root)
{
    return unfitTexts(root, [](QComboBox* combo) { return combo->currentText(); });
}

}  // namespace textfit
