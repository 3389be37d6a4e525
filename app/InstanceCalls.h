#pragma once
// A second start brings the running instance's window back: the running
// instance listens for the call, the refused second start makes it. On
// Linux the call is a connection to a local socket beside the instance lock
// in the user's runtime directory (private to the user, so only the user's
// own programs can call); on Windows it is a named event of the session.
// Neither needs more than QtCore, so the window's start-up loads no further
// library for it.

#include <QObject>

#include <memory>

class InstanceCalls : public QObject {
    Q_OBJECT
public:
    // Listens from now on; call only while holding the instance lock. Where
    // listening fails the program runs all the same, and a second start
    // then only shows its message.
    explicit InstanceCalls(QObject* parent = nullptr);
    ~InstanceCalls() override;

signals:
    void showRequested();

private:
    struct Listener;
    std::unique_ptr<Listener> listener;
};

// From a refused second start: asks the running instance to show its
// window. False when it could not be reached.
bool callRunningInstance();
