// The pages that slide up from the page strip, the toolbar strip that moves
// with them, and the About panel. Pages and panel are built when first
// opened, so that the window's first paint does not wait for them.

#include "app/MainWin.h"
#include "pages/FmDataMigrate.h"
#include "pages/FwUpdate.h"
#include "pages/HelpDlg.h"
#include "smart/page/Smart.h"
#include "ui_MainWin.h"

#include <QLabel>
#include <QPropertyAnimation>

namespace {
constexpr int kStripHeight = 35;
constexpr int kStripWidth = 1118;
constexpr int kStripTopWhenOpen = 104;
constexpr int kSlideMilliseconds = 200;
}  // namespace

QRect MainWin::toolbarRestingPlace() const
{
    return QRect(1, height() - kStripHeight - ui->MenuButton->height() - 1, kStripWidth, kStripHeight);
}

void MainWin::createToolbarStrip()
{
    toolbarStrip = new QLabel(this);
    toolbarStrip->setPixmap(QPixmap(QStringLiteral(":/Quillfence/Resources/3toolbar/toolbar_bg.png")));
    toolbarStrip->setFixedSize(kStripWidth, kStripHeight);
    // The strip height comes from the form; fix it before the first layout pass
    // so the resting place is right from the start.
    ui->MenuButton->setFixedHeight(60);
    toolbarStrip->setGeometry(toolbarRestingPlace());
}

void MainWin::slideToolbar(const QRect& from, const QRect& to)
{
    // Owned by the strip too, so that a window closed mid-slide frees it.
    auto* animation = new QPropertyAnimation(toolbarStrip, "geometry", toolbarStrip);
    animation->setDuration(kSlideMilliseconds);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

void MainWin::toolbarSlideUp()
{
    slideToolbar(toolbarRestingPlace(), QRect(1, kStripTopWhenOpen, kStripWidth, kStripHeight));
}

void MainWin::toolbarSlideDown()
{
    slideToolbar(QRect(1, kStripTopWhenOpen, kStripWidth, kStripHeight), toolbarRestingPlace());
}

template <typename Page>
Page* MainWin::adoptPage(Page* page)
{
    page->hide();
    connect(this, &MainWin::SendDiskInfo, page, &Page::GetDiskInfo);
    if (recordShown) {
        PhyDiskInfo record = shownRecord;
        page->GetDiskInfo(record);
    }
    return page;
}

Smart* MainWin::ensureSmartPage()
{
    if (!smartPage)
        smartPage = adoptPage(new Smart(this));
    return smartPage;
}

FmDataMigrate* MainWin::ensureDetectionPage()
{
    if (!detectionPage)
        detectionPage = adoptPage(new FmDataMigrate(this));
    return detectionPage;
}

FwUpdate* MainWin::ensureUpdatePage()
{
    if (!updatePage)
        updatePage = adoptPage(new FwUpdate(this, devices_));
    return updatePage;
}

void MainWin::SelectUi(int index)
{
    const int y = ui->MenuButton->y();
    auto open = [&](auto* page) {
        for (QWidget* other : std::initializer_list<QWidget*>{smartPage, detectionPage, updatePage}) {
            if (other && other != page)
                other->hide();
        }
        if (ui->MenuButton->isSelected(index))
            page->SlideIn(y);
        else
            page->SlideOut(y);
    };
    switch (index) {
    case 0:
        open(ensureSmartPage());
        break;
    case 1:
        open(ensureDetectionPage());
        break;
    case 2:
        open(ensureUpdatePage());
        break;
    default:
        break;
    }
}

void MainWin::ShowHelp()
{
    if (!helpDlg) {
        helpDlg = new HelpDlg(this);
        helpDlg->hide();
        connect(helpDlg, &HelpDlg::onCloseClisked, this, &MainWin::trianglehide);
    }
    helpDlg->SlideDown();
    ui->label_2->show();
}

void MainWin::trianglehide()
{
    ui->label_2->hide();
}
