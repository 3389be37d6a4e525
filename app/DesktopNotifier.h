#pragma once
// Desktop notifications that say which drive they are about: on Linux the
// freedesktop notification service over the session bus
// (DesktopNotifierLinux.cpp), on Windows the tray icon's message
// (DesktopNotifierWindows.cpp). A click on a notification comes back with
// the key it was shown with.

#include <QHash>
#include <QObject>
#include <QString>

class QSystemTrayIcon;

class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // `tray`: the window's tray icon, where there is one (Windows shows the
    // messages there; Linux where no notification service answers).
    DesktopNotifier(QObject* parent, QSystemTrayIcon* tray);

    void notify(const QString& title, const QString& body, const QString& key);

signals:
    void clicked(const QString& key);

private slots:
    // The notification service's signals (Linux).
    void actionInvoked(uint id, const QString& action);

private:
    void showInTray(const QString& title, const QString& body, const QString& key);
    void platformNotify(const QString& title, const QString& body, const QString& key);

    QSystemTrayIcon* tray_;
    QString trayKey_;                  // of the last message shown in the tray
    QHash<uint, QString> shown_;       // notification id to key (a few a day at most)
    bool connected_ = false;           // to the service's signals
};
