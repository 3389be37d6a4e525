// The tray icon, the close question and the settings file that remembers it.

#include "app/CloseSettings.h"
#include "app/MainWin.h"
#include "widgets/QMessageDlg.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMessageBox>

#include <cstdlib>

namespace {
constexpr int kHideRemembered = 0, kQuitRemembered = 1, kHideOnce = 2, kQuitOnce = 3;
const QString kShow = QStringLiteral("显示");
const QString kHide = QStringLiteral("隐藏");
}  // namespace

void MainWin::createTray()
{
    // The menu and its actions exist whether or not a tray does: the slots
    // below keep the show action's text in step with the window. The window
    // owns every tray object, so none outlives it.
    trayMenu = new QMenu(this);
    trayMenu->setTitle(QStringLiteral("功能"));
    showAction = new QAction(this);
    quitAction = new QAction(this);
    showAction->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/ICON.png")));
    showAction->setText(kShow);
    quitAction->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/icon2.png")));
    quitAction->setText(QStringLiteral("退出"));
    trayMenu->addAction(showAction);
    trayMenu->addAction(quitAction);
    connect(showAction, &QAction::triggered, this, &MainWin::slotClicked);
    connect(quitAction, &QAction::triggered, this, &MainWin::slotCloseAction);
    if (!useTray)
        return;
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setToolTip(QStringLiteral("QV-Quillfence"));
    trayIcon->setIcon(QIcon(QStringLiteral(":/Quillfence/Resources/3toolbar/S.M.R.T_icon_sel.png")));
    trayIcon->setContextMenu(trayMenu);
    trayIcon->setVisible(true);
    connect(trayIcon, &QSystemTrayIcon::activated, this, &MainWin::iconIsActived);
}

bool MainWin::isAway() const
{
    return isHidden() || windowState() == Qt::WindowMinimized;
}

// Without a tray a hidden window could not be brought back: it is minimised
// to the task bar instead.
void MainWin::hideToTray()
{
    showAction->setText(kShow);
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
        showAction->setText(kHide);
    } else {
        hide();
        showMinimized();
        showAction->setText(kShow);
    }
}

void MainWin::iconIsActived(QSystemTrayIcon::ActivationReason reason)
{
    if (reason != QSystemTrayIcon::DoubleClick)
        return;
    if (isAway()) {
        showAction->setText(kHide);
        showNormal();
        raise();
        activateWindow();
    } else {
        showAction->setText(kShow);
        showMinimized();
    }
}

void MainWin::onButtonMinClicked()
{
    showMinimized();
}

void MainWin::slotCloseAction()
{
    close();
}

void MainWin::showFileWriteWarning()
{
    QMessageBox::warning(this, QStringLiteral("file write"), QStringLiteral("can't open"), QMessageBox::Yes);
}

void MainWin::onButtonCloseClicked()
{
    adoptLegacyCloseSetting();
    const QString path = closeSettingsPath();
    if (!closeSettingExists(path)) {
        askCloseChoice();
        return;
    }
    const std::optional<int> value = readCloseSetting(path);
    if (!value) {
        showFileWriteWarning();
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

void MainWin::closeEvent(QCloseEvent*)
{
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
