#include "widgets/CjkFonts.h"

#include <QFont>
#include <QStringList>

namespace {

// Installed CJK families, in order of preference. fonts-wqy-microhei is the
// one the set-up installs; the others are used when present instead.
const QStringList kSansCandidates = {
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Source Han Sans SC"),
    QStringLiteral("Droid Sans Fallback"),
};

const QStringList kSerifCandidates = {
    QStringLiteral("Noto Serif CJK SC"),
    QStringLiteral("AR PL UMing CN"),
    QStringLiteral("WenQuanYi Micro Hei"),
    QStringLiteral("Noto Sans CJK SC"),
    QStringLiteral("Droid Sans Fallback"),
};

struct Substitution {
    const char *family;  // UTF-8 name as the widgets spell it
    const QStringList &candidates;
};

const Substitution kSubstitutions[] = {
    {"微软雅黑", kSansCandidates},
    {"黑体", kSansCandidates},
    {"宋体", kSerifCandidates},
};

}  // namespace

void installCjkFontSubstitutes()
{
    for (const Substitution &s : kSubstitutions) {
        const QString family = QString::fromUtf8(s.family);
        // Replace rather than append, so a second call changes nothing.
        QFont::removeSubstitutions(family);
        QFont::insertSubstitutions(family, s.candidates);
    }
}
