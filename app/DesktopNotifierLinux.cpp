// The freedesktop notification service: Notify with a default action, whose
// ActionInvoked signal says the notification was clicked. Where no service
// answers, the tray icon's message stands in.

#include "app/DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
const char kDefaultAction[] = "default";
}  // namespace

void DesktopNotifier::platformNotify(const QString& title, const QString& body, const QString& key)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        showInTray(title, body, key);
        return;
    }
    if (!connected_) {
        connected_ = true;
        bus.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath), QString::fromLatin1(kInterface),
                    QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString)));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kPath),
                                                       QString::fromLatin1(kInterface), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("example.quillfence.Quillfence"));
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(1));
    call << QStringLiteral("SSD Quillfence") << uint(0) << QStringLiteral("example.quillfence.Quillfence") << title
         << body << QStringList{QString::fromLatin1(kDefaultAction), tr("打开")} << hints << int(-1);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, body, key] {
        watcher->deleteLater();
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            // No notification service on this desktop: the tray says it.
            showInTray(title, body, key);
            return;
        }
        shown_.insert(reply.value(), key);
    });
}

void DesktopNotifier::actionInvoked(uint id, const QString& action)
{
    const auto found = shown_.constFind(id);
    if (found == shown_.constEnd() || action != QLatin1String(kDefaultAction))
        return;
    emit clicked(found.value());
}
