#pragma once
// The lock that keeps a second copy of the program from running.

// The lock's name, the same on every platform.
constexpr const char* kInstanceLockName = "QvtQuillfence";

// Takes the lock for the life of the process. False only when another
// instance holds it; any other failure lets the program start.
bool acquireSingleInstanceLock();

// Tells the user that the program is already running; returns the exit code 1.
int refuseSecondInstance();
