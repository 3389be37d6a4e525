#pragma once
// A simulated machine installed as the storage backend for one test.

#include "disk/simulated/SimulatedStorage.h"
#include "disk/StorageBackend.h"

#include <gtest/gtest.h>

#include <string>

class FleetTest : public ::testing::Test {
protected:
    // Installs the fleet described by `json` and returns its backend.
    SimulatedStorage& install(const std::string& json)
    {
        auto backend = std::make_unique<SimulatedStorage>(parseFleet(json));
        sim_ = backend.get();
        installStorage(std::move(backend));
        return *sim_;
    }
    SimulatedStorage& sim() { return *sim_; }

private:
    SimulatedStorage* sim_ = nullptr;
};

// A drive entry with one fixed volume per letter of `letters`.
inline std::string driveJson(int number, unsigned long long length, const std::string& volumes = "",
                             const std::string& extra = "")
{
    return "{\"number\": " + std::to_string(number) + ", \"length\": " + std::to_string(length) +
           (volumes.empty() ? "" : ", \"volumes\": [" + volumes + "]") + extra + "}";
}

inline std::string volumeJson(char letter, unsigned long long total, unsigned long long free,
                              const std::string& extra = "")
{
    return std::string("{\"letter\": \"") + letter + "\", \"total\": " + std::to_string(total) +
           ", \"free\": " + std::to_string(free) + extra + "}";
}

// The fleet keys of a drive's identity, with the comma that joins them on.
inline std::string identityJson(const std::string& serial, const std::string& model, const std::string& firmware)
{
    return ", \"identity\": {\"serial\": \"" + serial + "\", \"model\": \"" + model + "\", \"firmware\": \"" +
           firmware + "\"}";
}
