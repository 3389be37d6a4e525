// Windows: the tray icon's message; a click on it opens the drive.

#include "app/DesktopNotifier.h"

void DesktopNotifier::platformNotify(const QString& title, const QString& body, const QString& key)
{
    showInTray(title, body, key);
}

void DesktopNotifier::actionInvoked(uint, const QString&) {}
