#pragma once
// Settling by turns of the event loop rather than by time.

#include <QCoreApplication>

// Turns the event loop `turns` times without waiting for anything. An event
// posted while one turn runs (an update a paint asked for, a layout request)
// is handled in the next, so a chain of events that keeps itself going
// shows in every turn, however fast or slow the machine is.
inline void turnEventLoop(int turns = 10)
{
    for (int i = 0; i < turns; ++i)
        QCoreApplication::processEvents();
}
