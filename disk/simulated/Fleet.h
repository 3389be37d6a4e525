#pragma once
// A simulated machine: its physical drives and lettered volumes, read from a
// JSON fleet file (format in the README).

#include "disk/simulated/SimulatedDrive.h"
#include "disk/StorageControl.h"

#include <cstdint>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

struct FleetVolume {
    char letter = 0;
    DriveType type = DriveType::Fixed;
    uint64_t total = 0;
    uint64_t free = 0;       // available to the user
    uint64_t totalFree = 0;
    std::vector<int> drives;  // exactly one for a disk number to be found
    std::string mountPoint;   // empty: none given
    bool openFails = false;
    bool deviceNumberFails = false;
    bool freeSpaceFails = false;
};

struct FleetDrive {
    int number = 0;
    uint32_t busType = kBusTypeSata;
    int64_t length = 0;
    std::set<AccessMode> openFails;
    bool busTypeFails = false;
    bool lengthFails = false;
    DriveBehaviour behaviour;     // its answers to commands
    bool senseOnSuccess = false;  // a USB bridge that adds sense data to every answer
    // Another program holds the drive's writer's lock: commands from this
    // one are refused as busy and its own lock is refused.
    bool lockedElsewhere = false;
};

struct Fleet {
    std::string systemDirectory = "C:\\Windows\\system32";
    bool systemDirectoryFails = false;
    bool noLogicalDrives = false;  // the lettered-volumes mask comes back 0
    std::vector<FleetDrive> drives;
    std::vector<FleetVolume> volumes;

    const FleetDrive* drive(int number) const;
    const FleetVolume* volume(char letter) const;
};

// A fleet file that cannot be read or does not describe a fleet.
struct FleetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads a fleet file; throws FleetError naming the key or position at fault.
Fleet loadFleet(const std::string& path);
// Parses fleet text; relative file names are resolved against baseDir.
Fleet parseFleet(const std::string& text, const std::string& baseDir = ".");
