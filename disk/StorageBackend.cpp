#include "disk/StorageBackend.h"

#include "disk/simulated/SimulatedStorage.h"

#include <cstdlib>

namespace {
std::unique_ptr<StorageControl>& current()
{
    static std::unique_ptr<StorageControl> backend;
    return backend;
}
}  // namespace

StorageControl& storage()
{
    if (!current())
        current() = makePlatformStorage();
    return *current();
}

void installStorage(std::unique_ptr<StorageControl> backend)
{
    current() = std::move(backend);
}

void selectStorageFromEnvironment()
{
    const char* fleetFile = std::getenv(kDevicesVariable);
    if (fleetFile && *fleetFile)
        installStorage(SimulatedStorage::fromFile(fleetFile));
    else
        installStorage(makePlatformStorage());
}

bool deviceLogFailed()
{
    const auto* simulated = dynamic_cast<const SimulatedStorage*>(current().get());
    return simulated && simulated->deviceLogFailed();
}
