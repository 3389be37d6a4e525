#pragma once
// Which backend of the storage-control interface serves the process: chosen
// once at start-up, replaced by tests.

#include "disk/StorageControl.h"

#include <memory>

// The backend in use. Until one is installed, the platform's own.
StorageControl& storage();
// Replaces the backend (tests install a simulated fleet this way).
void installStorage(std::unique_ptr<StorageControl> backend);
// Chooses the backend once at start-up: the simulated fleet named by the
// environment variable QUILLFENCE_DEVICES, otherwise the platform's own
// (on Linux: the system's interface itself with the rights it needs, the
// privileged helper without them).
void selectStorageFromEnvironment();

// True when the backend in use is a simulated fleet whose device log could
// not be written: its drives refuse commands since, and the run must fail.
bool deviceLogFailed();

// The operating system's own backend (defined in the platform's folder).
std::unique_ptr<StorageControl> makePlatformStorage();

// Environment variable naming a fleet file.
constexpr const char* kDevicesVariable = "QUILLFENCE_DEVICES";
