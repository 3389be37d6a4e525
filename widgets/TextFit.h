#pragma once
// Texts the program writes into labels of a fixed size: each is shown whole
// where it fits, and otherwise made to fit without cutting a letter.

#include <QFont>
#include <QString>

class QLabel;

// `text` whole where it fits the label's width, otherwise elided with "…"
// at its end and whole in the label's tool tip (which is cleared again for
// a text that fits).
void setElidedText(QLabel* label, const QString& text);

// `text` in `font` where it fits the label's width on one line; otherwise
// in the largest smaller point size, down to `smallestPointSize`, in which
// it does; below that elided as by setElidedText.
void setShrunkText(QLabel* label, const QString& text, const QFont& font, int smallestPointSize);
