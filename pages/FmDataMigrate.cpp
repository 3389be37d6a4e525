#include "pages/FmDataMigrate.h"

#include "pages/LoaderState.h"
#include "pages/PageSlide.h"
#include "pages/RecordText.h"

#include <QLabel>
#include <QPalette>

namespace {

struct Verdict {
    const char* text;
    const char* styleSheet;
};
const Verdict kAbnormal = {QT_TRANSLATE_NOOP("FmDataMigrate", "异常"), "font: 20px \"微软雅黑\";\ncolor: rgb(255,85,0);"};
const Verdict kNormal = {QT_TRANSLATE_NOOP("FmDataMigrate", "正常"), "font: 20px \"微软雅黑\";\ncolor: rgb(65,205,82);"};

const QColor kTitleColour(68, 71, 77);
const QColor kTitleDisabledColour(120, 120, 120);

}  // namespace

FmDataMigrate::FmDataMigrate(QWidget* parent) : QWidget(parent)
{
    setupForm();
    pageHeight = height();
    hide();
}

void FmDataMigrate::setupForm()
{
    setObjectName(QStringLiteral("FmDataMigrate"));
    resize(1153, 460);
    setFocusPolicy(Qt::StrongFocus);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(QStringLiteral("#eeeefb")));
    setPalette(background);
    setAutoFillBackground(true);

    label_5 = new QLabel(this);
    label_5->setObjectName(QStringLiteral("label_5"));
    label_5->setGeometry(130, 49, 221, 21);
    QPalette title = label_5->palette();
    title.setColor(QPalette::Active, QPalette::WindowText, kTitleColour);
    title.setColor(QPalette::Inactive, QPalette::WindowText, kTitleColour);
    title.setColor(QPalette::Disabled, QPalette::WindowText, kTitleDisabledColour);
    label_5->setPalette(title);
    QFont titleFont(QStringLiteral("微软雅黑"), 12);
    titleFont.setWeight(QFont::Bold);
    label_5->setFont(titleFont);
    label_5->setStyleSheet(QStringLiteral("font: bold 20px \"微软雅黑\";\n"));

    label_1 = new QLabel(this);
    label_1->setObjectName(QStringLiteral("label_1"));
    label_1->setGeometry(132, 125, 81, 61);
    label_1->setStyleSheet(QStringLiteral("font: 17px \"微软雅黑\";\ncolor: rgb(68, 71, 77);"));

    label = new QLabel(this);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(215, 115, 121, 81);

    retranslateUi();
}

void FmDataMigrate::retranslateUi()
{
    setWindowTitle(QStringLiteral("FmDataMigrate"));  // a page, never a window of its own
    label_5->setText(tr("固件检测"));
    label_1->setText(tr("固件状态:"));
}

void FmDataMigrate::GetDiskInfo(PhyDiskInfo& info)
{
    const QString model = recordText(info.model);
    if (model.isEmpty()) {
        label->clear();  // the style sheet of the last verdict stays
        return;
    }
    const Verdict& verdict = isLoaderState(model, info.capacity) ? kAbnormal : kNormal;
    label->setText(tr(verdict.text));
    label->setStyleSheet(QString::fromUtf8(verdict.styleSheet));
}

void FmDataMigrate::SlideIn(int y)
{
    slidePageIn(this, y, pageHeight);
}

void FmDataMigrate::SlideOut(int y)
{
    slidePageOut(this, y, pageHeight);
}
