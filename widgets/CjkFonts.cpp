#include "widgets/CjkFonts.h"

#include <QFont>
#include <QFontDatabase>
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

// Resolved once: each name is mapped to the first of its candidates that is
// installed, so that no lookup of the interface's fonts tries the missing
// ones (each failed family costs fontconfig a sorted fallback list). Qt
// reads the installed families on its first font anyway; this only moves
// that read forward.
void installCjkFontSubstitutes()
{
    const QStringList installed = QFontDatabase().families();
    for (const Substitution &s : kSubstitutions) {
        const QString family = QString::fromUtf8(s.family);
        // Replace rather than append, so a second call changes nothing.
        QFont::removeSubstitutions(family);
        if (installed.contains(family, Qt::CaseInsensitive))
            continue;  // Windows: the font itself is there
        QStringList present;
        for (const QString &candidate : s.candidates) {
            if (installed.contains(candidate, Qt::CaseInsensitive)) {
                present << candidate;
                break;
            }
        }
        QFont::insertSubstitutions(family, present.isEmpty() ? s.candidates : present);
    }
}
