// The tray icon, the close question and the settings file that remembers it.

#include "app/CloseSettings.h"
#include "app/LanguageMenu.h"
#include "app/MainWin.h"
#include "app/TrayWatch.h"
#include "pages/FwUpdateTexts.h"
#include "widgets/QMessageDlg.h"
#include "worker/DeviceWorker.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>

#include <cstdlib>

namespace {
constexpr int kHideRemembered = 0, kQuitRemembered = 1, kHideOnce = 2, kQuitOnce = 3;
const QString kTrayToolTip = QStringLiteral("QV-Quillfence");
const char* const kShow = QT_TRANSLATE_NOOP("MainWin", "显示");
const char* const kHide = QT_TRANSLATE_NOOP("MainWin", "隐藏");

// A drive whose firmware transfer is cut off may not start again: the window
// stays until the transfer ends.
const char* const kCloseDuringTransfer = QT_TRANSLATE_NOOP("MainWin", "正在升级固件，升级结束后才能关闭");
const char kNoticeIcon[] = ":/Quillfence/Resources/icon2.png";
const char kQuestionIcon[] = ":/Quillfence/Resources/icon3.png";
const char* const kQuitAfterTransfer =
    QT_TRANSLATE_NOOP("MainWin", "正在升级固件，升级结束前不能退出。是否在升级结束后退出？");
}  // namespace

void MainWin::createTray()
{
    // The menu and its actions exist whether or not a tray does: the slots
    // below keep the show action's text in step with the window. The window
    // owns every tray object, so none outlives it.
    trayMenu = new QMenu(this);
    trayMenu->setTitle(tr("功能"));
    showAction = new QAction(this);
    quitAction = new QAction(this);
    showAction->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
    showAction->setText(tr(kShow));
    quitAction->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/icon2.png")));
    quitAction->setText(tr("退出"));
    trayMenu->addAction(showAction);
    trayMenu->addAction(quitAction);
    // The watch over the drives and its interval menu, then the language
    // menu, before 退出.
    new TrayWatch(this, trayMenu, quitAction);
    new LanguageMenu(this, trayMenu, quitAction);
    connect(showAction, &QAction::triggered, this, &MainWin::slotClicked);
    connect(quitAction, &QAction::triggered, this, &MainWin::slotCloseAction);
    if (!useTray)
        return;
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setToolTip(kTrayToolTip);
    trayIcon->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/3toolbar/S.M.R.T_icon_sel.png")));
    trayIcon->setContextMenu(trayMenu);
    trayIcon->setVisible(true);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWin::iconIsActived);
}

// A window hidden to the tray during a transfer still tells what it does.
void MainWin::showTransferInTray(bool running)
{
    if (!trayIcon)
        return;
    trayIcon->setToolTip(running ? kTrayToolTip + QLatin1Char('\n') + QString::fromUtf8(kFwTransferRunningText) : kTrayToolTip);
}

bool MainWin::isAway() const
{
    return isHidden() || windowState() == Qt::WindowMinimized;
}

// Without a tray a hidden window could not be brought back: it is minimised
// to the task bar instead.
void MainWin::hideToTray()
{
    showAction->setText(tr(kShow));
    if (trayIcon)
        hide();
    else
        showMinimized();
}

void MainWin::slotClicked()
{
    if (isAway()) {
        showNormal();
        raise();
        activateWindow();
        showAction->setText(tr(kHide));
    } else {
        hide();
        showMinimized();
        showAction->setText(tr(kShow));
    }
}

void MainWin::bringBack()
{
    showAction->setText(tr(kHide));
    showNormal();
    raise();
    activateWindow();
}

void MainWin::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    if (isAway()) {
        showAction->setText(tr(kHide));
        showNormal();
        raise();
        activateWindow();
    } else {
        showAction->setText(tr(kShow));
        showMinimized();
    }
}

void MainWin::onButtonMinClicked()
{
    showMinimized();
}

void MainWin::slotCloseAction()
{
    if (devices_->transferring()) {
        if (askDuringTransfer(kQuestionIcon, kQuitAfterTransfer, 1))
            quitAfterTransfer = true;  // showTransfer closes the window at the end
        return;
    }
    close();
}

bool MainWin::askDuringTransfer(const char* icon, const char* text, int buttonSet)
{
    QMessageDlg dialog(this);
    dialog.resize(300, 200);
    dialog.setMessage(QString::fromLatin1(icon), tr(text), buttonSet);
    dialog.exec();
    return dialog.result() == QMessageDlg::BtnOk;
}

void MainWin::showFileWriteWarning()
{
    QMessageBox::warning(this, tr("file write"), tr("can't open"), QMessageBox::Yes);
}

void MainWin::onButtonCloseClicked()
{
    adoptLegacyCloseSetting();
    const QString path = closeSettingsPath();
    std::optional<int> value;  // none: nothing remembered yet
    if (closeSettingExists(path)) {
        value = readCloseSetting(path);
        if (!value) {
            showFileWriteWarning();
            return;
        }
    }
    // During a firmware transfer no question is asked whose answer would
    // then be refused: a remembered "hide" hides the window (the transfer
    // goes on, as the tray's tool tip says); where the button would quit or
    // ask, the user is told at once that the window must wait.
    const bool quitsOrAsks = !value || *value == kQuitRemembered || *value == kHideOnce || *value == kQuitOnce;
    if (devices_->transferring() && quitsOrAsks) {
        askDuringTransfer(kNoticeIcon, kCloseDuringTransfer, 0);
        return;
    }
    if (!value) {
        askCloseChoice();
        return;
    }
    switch (*value) {
    case kHideRemembered:
        hideToTray();
        break;
    case kQuitRemembered:
        close();
        break;
    case kHideOnce:
    case kQuitOnce:
        askCloseChoice();
        break;
    default:
        break;  // a value the program never writes: the button does nothing
    }
}

void MainWin::askCloseChoice()
{
    QMessageDlg dialog(this);
    dialog.resize(300, 200);
    dialog.setCloseChoice(1);
    dialog.exec();
    if (dialog.result() != 0)
        return;
    const int answer = dialog.closeChoice();
    const bool quit = answer == kQuitRemembered || answer == kQuitOnce;
    if (!quit)
        hideToTray();
    if (!writeCloseSetting(closeSettingsPath(), answer))
        showFileWriteWarning();
    if (quit)
        close();
}

void MainWin::closeEvent(QCloseEvent* event)
{
    if (devices_->transferring()) {
        event->ignore();
        askDuringTransfer(kNoticeIcon, kCloseDuringTransfer, 0);
        return;
    }
    // The drive request in hand ends before the process does.
    hide();
    devices_->shutDown();
    delete trayIcon;
    trayIcon = nullptr;
    delete trayMenu;
    trayMenu = nullptr;
    delete showAction;
    showAction = nullptr;
    delete quitAction;
    quitAction = nullptr;
    QCoreApplication::processEvents();
    endProcess(0);
}

void MainWin::endProcess(int exitCode)
{
    std::exit(exitCode);
}
