// Arbitrary fleet text through the fleet reader and, when it is accepted, the
// simulated machine it describes. Only a FleetError may leave the reader (any
// other exception ends the run); an accepted fleet keeps the ranges the
// reader promises and answers every query. Sector files are looked for in
// the project's data folder, beside the seed fleets.

#include "disk/DevicePath.h"
#include "disk/NvmeCommands.h"
#include "disk/simulated/Fleet.h"
#include "disk/simulated/SimulatedStorage.h"
#include "tests/fuzz/FuzzRule.h"

#include <bitset>
#include <set>
#include <string>

namespace {

void CheckRanges(const Fleet& fleet)
{
    std::set<int> numbers;
    for (const FleetDrive& drive : fleet.drives) {
        Require(drive.number >= 0 && drive.number <= 9999, "drive number from 0 to 9999");
        Require(numbers.insert(drive.number).second, "drive numbers listed once");
        Require(drive.length >= 0, "length not negative");
        Require(drive.behaviour.failingCommand >= 0, "failing command not negative");
    }
    std::set<char> letters;
    for (const FleetVolume& volume : fleet.volumes) {
        Require(volume.letter >= 'A' && volume.letter <= 'Z', "volume letter A to Z");
        Require(letters.insert(volume.letter).second, "letters used once");
        Require(volume.free <= volume.total && volume.totalFree <= volume.total, "free space within the volume");
        for (int number : volume.drives)
            Require(number >= 0 && number <= 9999, "volume's drive numbers from 0 to 9999");
    }
}

void Query(SimulatedStorage& machine)
{
    const Fleet fleet = machine.fleet();
    const std::bitset<32> mask = machine.logicalDrives();
    Require(fleet.noLogicalDrives ? mask.none() : mask.count() == fleet.volumes.size(), "one bit per volume");
    for (const FleetDrive& drive : fleet.drives) {
        const DeviceHandle handle = machine.open(physicalDrivePath(drive.number), AccessMode::ReadWriteNoBuffering);
        if (handle == kInvalidHandle)
            continue;
        uint32_t bus = 0;
        int64_t length = 0;
        machine.queryBusType(handle, bus);
        machine.queryDiskLength(handle, length);
        uint8_t sector[512] = {};
        AtaTaskFile returned{};
        SatSense sense{};
        const AtaTaskFile identify = {0x00, 0x01, 0x00, 0x00, 0x00, 0xE0, 0xEC, 0x00};
        machine.ataCommand(handle, identify, sector, sizeof sector, DataDirection::In, 3, returned);
        const SatCdb smart = {0xA1, 0x08, 0x0E, 0xD0, 0x01, 0x00, 0x4F, 0xC2, 0xE0, 0xB0, 0x00, 0x00};
        machine.satCommand(handle, smart, sector, sizeof sector, DataDirection::In, 3, sense);
        const AtaTaskFile checkPowerMode = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE5, 0x00};
        machine.ataCommand(handle, checkPowerMode, nullptr, 0, DataDirection::In, 3, returned);
        uint8_t controller[kNvmeIdentifyLength] = {};
        uint16_t nvmeStatus = 0;
        uint32_t result = 0;
        machine.nvmeAdminCommand(handle, kNvmeIdentifyController, controller, sizeof controller, 3, nvmeStatus, result);
        machine.nvmeAdminCommand(handle, kNvmeHealthLog, sector, sizeof sector, 3, nvmeStatus, result);
        machine.close(handle);
    }
    for (const FleetVolume& volume : fleet.volumes) {
        VolumeSpace space;
        machine.driveType(rootPath(volume.letter));
        machine.diskFreeSpace(rootPath(volume.letter), space);
        const DeviceHandle handle = machine.open(volumePath(volume.letter), AccessMode::ReadWrite);
        uint32_t number = 0;
        if (handle != kInvalidHandle && machine.queryDeviceNumber(handle, number))
            Require(volume.drives.size() == 1 && number == static_cast<uint32_t>(volume.drives.front()),
                    "a volume's disk number is its one drive");
        machine.close(handle);
    }
    Require(machine.openHandles() == 0, "every handle closed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t length)
{
    Fleet fleet;
    try {
        fleet = parseFleet(std::string(reinterpret_cast<const char*>(input), length), QUILLFENCE_FUZZ_DATA_DIR);
    } catch (const FleetError&) {
        return 0;
    }
    CheckRanges(fleet);
    SimulatedStorage machine(fleet);
    Query(machine);
    return 0;
}
