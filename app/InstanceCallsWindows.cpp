// The call as the auto-reset event "Local\QvtQuillfence.show" of the user's
// session: the running instance waits on it, a second start sets it and
// lets the running instance take the foreground.

#include "app/InstanceCalls.h"

#include <QWinEventNotifier>

#include <windows.h>

namespace {
const wchar_t kEventName[] = L"Local\\QvtQuillfence.show";
}

struct InstanceCalls::Listener {
    HANDLE event = nullptr;
    std::unique_ptr<QWinEventNotifier> notifier;
    ~Listener()
    {
        notifier.reset();
        if (event)
            CloseHandle(event);
    }
};

InstanceCalls::InstanceCalls(QObject* parent) : QObject(parent), listener(new Listener)
{
    listener->event = CreateEventW(nullptr, FALSE, FALSE, kEventName);
    if (!listener->event)
        return;
    listener->notifier = std::make_unique<QWinEventNotifier>(listener->event);
    connect(listener->notifier.get(), &QWinEventNotifier::activated, this, &InstanceCalls::showRequested);
}

InstanceCalls::~InstanceCalls() = default;

bool callRunningInstance()
{
    HANDLE event = OpenEventW(EVENT_MODIFY_STATE, FALSE, kEventName);
    if (!event)
        return false;
    AllowSetForegroundWindow(ASFW_ANY);
    const bool set = SetEvent(event) != 0;
    CloseHandle(event);
    return set;
}
