#pragma once
// Lets a simulated machine's drive commands go on only as the test allows,
// so that what a test looks at while a drive works does not depend on how
// fast the machine runs.

#include "disk/simulated/SimulatedStorage.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// After each drive command the device thread waits until `pass` (asked
// there, with the gate's lock held, with the number of commands so far)
// holds. The test changes what `pass` reads through update(), from the GUI
// thread. A GUI thread that waited for the drive could not: after 20 s the
// gate gives up, lets every later command through and says so (forced()),
// and the test fails on that rather than hanging.
//
// Make it after the window or page, whose device thread finishes the
// request in hand before it goes: the gate, going first, lets it through.
class CommandGate {
public:
    using Pass = std::function<bool(int command)>;

    // `alsoAfterEach` runs first after every command, on the device thread
    // (a test changes the drive there).
    CommandGate(SimulatedStorage& machine, Pass pass, std::function<void()> alsoAfterEach = {})
        : state(std::make_shared<State>())
    {
        state->pass = std::move(pass);
        state->also = std::move(alsoAfterEach);
        machine.afterEachCommand([state = state] {
            std::unique_lock<std::mutex> lock(state->mutex);
            if (state->also)
                state->also();
            const int command = ++state->commands;
            const bool passed = state->changed.wait_for(lock, std::chrono::seconds(20), [&] {
                return !state->pass || state->pass(command);
            });
            if (!passed) {
                state->forced = true;
                state->pass = nullptr;
            }
        });
    }
    ~CommandGate()
    {
        update([this](int) {
            state->pass = nullptr;
            state->also = nullptr;
        });
    }
    CommandGate(const CommandGate&) = delete;
    CommandGate& operator=(const CommandGate&) = delete;

    // Runs `change` with the gate's lock held and the number of commands so
    // far, then lets the device thread look again.
    void update(const std::function<void(int commands)>& change)
    {
        {
            std::lock_guard<std::mutex> lock(state->mutex);
            change(state->commands);
        }
        state->changed.notify_all();
    }

    bool forced() const
    {
        std::lock_guard<std::mutex> lock(state->mutex);
        return state->forced;
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable changed;
        Pass pass;
        std::function<void()> also;
        int commands = 0;
        bool forced = false;
    };
    // Shared with the hook, which stays on the machine after the gate.
    std::shared_ptr<State> state;
};
