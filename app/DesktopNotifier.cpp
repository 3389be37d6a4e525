#include "app/DesktopNotifier.h"

#include <QSystemTrayIcon>

DesktopNotifier::DesktopNotifier(QObject* parent, QSystemTrayIcon* tray) : QObject(parent), tray_(tray)
{
    if (tray_)
        connect(tray_, &QSystemTrayIcon::messageClicked, this, [this] { emit clicked(trayKey_); });
}

void DesktopNotifier::notify(const QString& title, const QString& body, const QString& key)
{
    platformNotify(title, body, key);
}

void DesktopNotifier::showInTray(const QString& title, const QString& body, const QString& key)
{
    if (!tray_)
        return;
    trayKey_ = key;
    tray_->showMessage(title, body, QSystemTrayIcon::Warning);
}
