#pragma once
// The history view's faces: 微软雅黑 for its captions, as the window has
// them; for numbers with their units (℃ among them) DejaVu Sans where it is
// installed, since WenQuanYi, which stands in for 微软雅黑 on Linux, draws ℃
// as an empty box. Chinese text in the latter still comes from a CJK face.

#include <QFont>
#include <QFontDatabase>

inline QFont historyCaptionFont(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("微软雅黑"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

inline QFont historyValueFont(int pixels)
{
    static const bool dejaVu = QFontDatabase().families().contains(QStringLiteral("DejaVu Sans"));
    QFont font = dejaVu ? QFont(QStringLiteral("DejaVu Sans")) : historyCaptionFont(pixels);
    font.setPixelSize(pixels);
    return font;
}
