// The call as a connection to the Unix socket "QvtQuillfence.socket" in the
// user's runtime directory ($XDG_RUNTIME_DIR, mode 0700). A connection is
// the whole call: nothing is read from it, so no caller can hold the window
// up. The instance lock decides who listens; a socket file left behind by a
// crashed instance is replaced.

#include "app/InstanceCalls.h"
#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// False when the path does not fit sockaddr_un.
bool socketAddress(sockaddr_un& address)
{
    const QByteArray path = QFile::encodeName(
        QDir(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation))
            .filePath(QString::fromLatin1(kInstanceLockName) + QStringLiteral(".socket")));
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<int>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    return true;
}

}  // namespace

struct InstanceCalls::Listener {
    int fd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
    ~Listener()
    {
        notifier.reset();
        if (fd >= 0)
            ::close(fd);
    }
};

InstanceCalls::InstanceCalls(QObject* parent) : QObject(parent), listener(new Listener)
{
    sockaddr_un address;
    if (!socketAddress(address))
        return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    ::unlink(address.sun_path);  // ours: the lock is held
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return;
    }
    listener->fd = fd;
    listener->notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(listener->notifier.get(), &QSocketNotifier::activated, this, [this] {
        bool called = false;
        for (int caller; (caller = ::accept4(listener->fd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            ::close(caller);
            called = true;
        }
        if (called)
            emit showRequested();
    });
}

InstanceCalls::~InstanceCalls() = default;

bool callRunningInstance()
{
    sockaddr_un address;
    if (!socketAddress(address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool reached = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return reached;
}
