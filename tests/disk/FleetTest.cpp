#include "disk/simulated/Fleet.h"
#include "disk/simulated/SimulatedStorage.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace {

struct BadFleet {
    const char* text;
    const char* message;  // part of the error that names the place and the fault
};

TEST(FleetFile, MalformedFleetsAreRejectedWithThePlaceAndTheFault)
{
    const BadFleet cases[] = {
        {"{\"drives\": [", "not JSON"},
        {"[]", "fleet: expected an object"},
        {"{\"drive\": []}", "fleet.drive: unknown key"},
        {"{\"drives\": [{\"length\": 5}]}", "drives[0].number: expected the drive's number"},
        {"{\"drives\": [{\"number\": 1}]}", "drives[0].length: missing"},
        {"{\"drives\": [{\"number\": 1, \"length\": -5}]}", "drives[0].length: expected a whole, non-negative"},
        {"{\"drives\": [{\"number\": 1, \"length\": 5, \"bus\": \"firewire\"}]}", "drives[0].bus: expected a bus name"},
        {"{\"drives\": [{\"number\": 1, \"length\": 5, \"faults\": [\"explode\"]}]}", "drives[0].faults: unknown fault \"explode\""},
        {"{\"drives\": [{\"number\": 1, \"length\": 5}, {\"number\": 1, \"length\": 5}]}", "drives[1].number: drive 1 is listed twice"},
        {"{\"drives\": [{\"number\": 1, \"length\": 5, \"delayMs\": \"slow\"}]}", "drives[0].delayMs: expected milliseconds"},
        {"{\"drives\": [{\"number\": 1, \"length\": 5, \"delayMs\": -10}]}", "drives[0].delayMs: expected milliseconds"},
        {"{\"drives\": [{\"number\": 1, \"length\": 5, \"volumes\": [{\"letter\": \"1\", \"total\": 1, \"free\": 0}]}]}",
         "drives[0].volumes[0].letter: expected one letter"},
        {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 2}]}", "volumes[0]: free space larger than the volume"},
        {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0, \"type\": \"floppy\"}]}", "volumes[0].type: unknown volume type"},
        {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0}, {\"letter\": \"d\", \"total\": 1, \"free\": 0}]}",
         "volumes: letter D is used twice"},
    };
    for (const auto& bad : cases) {
        try {
            parseFleet(bad.text);
            ADD_FAILURE() << "accepted: " << bad.text;
        } catch (const FleetError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos)
                << bad.text << " gave: " << error.what();
        }
    }
}

TEST(FleetFile, BusTypesByNameOrNumber)
{
    const Fleet fleet = parseFleet(
        "{\"drives\": [{\"number\": 0, \"length\": 1}, {\"number\": 1, \"length\": 1, \"bus\": \"USB\"},"
        " {\"number\": 2, \"length\": 1, \"bus\": \"nvme\"}, {\"number\": 3, \"length\": 1, \"bus\": 9}]}");
    EXPECT_EQ(fleet.drive(0)->busType, 11u);
    EXPECT_EQ(fleet.drive(1)->busType, 7u);
    EXPECT_EQ(fleet.drive(2)->busType, 17u);
    EXPECT_EQ(fleet.drive(3)->busType, 9u);
}

TEST(FleetFile, AnUnusableFileGivesAnEmptyMachineAndSaysWhy)
{
    const std::string path = testing::TempDir() + "broken-fleet.json";
    std::ofstream(path) << "{\"drives\": [{\"number\": \"one\"}]}";
    testing::internal::CaptureStderr();
    auto sim = SimulatedStorage::fromFile(path);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find("drives[0].number"), std::string::npos) << message;
    EXPECT_TRUE(sim->fleet().drives.empty());
    std::remove(path.c_str());

    testing::internal::CaptureStderr();
    auto missing = SimulatedStorage::fromFile(path);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot be read"), std::string::npos);
    EXPECT_EQ(missing->logicalDrives(), 0u);
}

TEST(FleetFile, TheDemoFleetLoads)
{
    const Fleet fleet = loadFleet(QUILLFENCE_SOURCE_DIR "/data/demo-fleet.json");
    EXPECT_FALSE(fleet.drives.empty());
    EXPECT_EQ(fleet.drive(1), nullptr) << "the demo keeps a gap in the numbering";
}

}  // namespace
