#include "disk/simulated/Fleet.h"
#include "disk/simulated/SimulatedStorage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct BadFleet {
    std::string text;
    const char* message;  // part of the error that names the place and the fault
};

// Arrays or objects nested `depth` deep around `inner`.
std::string nested(int depth, const std::string& open, const std::string& close, const std::string& inner = "")
{
    std::string text;
    for (int i = 0; i < depth; ++i)
        text += open;
    text += inner;
    for (int i = 0; i < depth; ++i)
        text += close;
    return text;
}

// A drive whose entry carries `keys` besides its number and length.
std::string oneDrive(const std::string& keys)
{
    return "{\"drives\": [{\"number\": 0, \"length\": 1, " + keys + "}]}";
}

// An NVMe drive whose health log holds `fields`.
std::string nvmeHealth(const std::string& fields)
{
    return oneDrive("\"bus\": \"nvme\", \"health\": {" + fields + "}");
}

const BadFleet kBadFleets[] = {
    {"{\"drives\": [", "not JSON"},
    {"[]", "fleet: expected an object"},
    {"{\"drive\": []}", "fleet.drive: unknown key"},
    {"{\"drives\": [{\"length\": 5}]}", "drives[0].number: expected the drive's number"},
    {"{\"drives\": [{\"number\": 1}]}", "drives[0].length: missing"},
    {"{\"drives\": [{\"number\": 1, \"length\": -5}]}", "drives[0].length: expected a whole, non-negative"},
    {"{\"drives\": [{\"number\": 1, \"length\": 5, \"bus\": \"firewire\"}]}", "drives[0].bus: expected a bus name"},
    {"{\"drives\": [{\"number\": 1, \"length\": 5, \"faults\": [\"explode\"]}]}", "drives[0].faults: unknown fault \"explode\""},
    {"{\"drives\": [{\"number\": 1, \"length\": 5}, {\"number\": 1, \"length\": 5}]}", "drives[1].number: drive 1 is listed twice"},
    {"{\"drives\": [{\"number\": 1, \"length\": 5, \"volumes\": [{\"letter\": \"1\", \"total\": 1, \"free\": 0}]}]}",
     "drives[0].volumes[0].letter: expected one letter"},
    {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 2}]}", "volumes[0]: free space larger than the volume"},
    {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0, \"type\": \"floppy\"}]}", "volumes[0].type: unknown volume type"},
    {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0}, {\"letter\": \"d\", \"total\": 1, \"free\": 0}]}",
     "volumes: letter D is used twice"},

    // Values of the wrong type, null among them.
    {oneDrive("\"smart\": {\"marker\": \"yes\"}"), "drives[0].smart.marker: expected true or false"},
    {"{\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0, \"type\": 5}]}", "volumes[0].type: expected a volume type"},
    {"{\"drives\": null}", "drives: expected an array"},
    {"{\"drives\": [null]}", "drives[0]: expected an object"},
    {"{\"volumes\": {}}", "volumes: expected an array"},
    {"{\"systemDirectory\": null}", "systemDirectory: expected a path"},
    {"{\"faults\": \"logicalDrives\"}", "fleet.faults: expected an array of fault names"},
    {"{\"faults\": [null]}", "fleet.faults: unknown fault null"},
    {oneDrive("\"identity\": {\"model\": null}"), "drives[0].identity.model: expected a text"},
    {oneDrive("\"identity\": [\"S\", \"M\", \"F\"]"), "drives[0].identity: expected an object"},
    {oneDrive("\"smart\": {\"attributes\": {\"id\": 9}}"), "drives[0].smart.attributes: expected an array"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 9, \"raw\": true}]}"),
     "drives[0].smart.attributes[0].raw: expected a number of at most 6 bytes"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": \"9\"}]}"), "drives[0].smart.attributes[0].id: expected an attribute ID"},
    {oneDrive("\"sectors\": null"), "drives[0].sectors: expected an object"},
    {oneDrive("\"sectors\": {\"identify\": 5}"), "drives[0].sectors.identify: expected a file name"},
    {oneDrive("\"sectors\": {\"identify\": \"a\\u0000b\"}"), "drives[0].sectors.identify: expected a file name"},
    {oneDrive("\"volumes\": [{\"letter\": \"D\", \"total\": \"1\", \"free\": 0}]"),
     "drives[0].volumes[0].total: expected a whole, non-negative number of bytes"},
    {"{\"drives\": [{\"number\": 0.5, \"length\": 1}]}", "drives[0].number: expected the drive's number"},
    {oneDrive("\"failCommand\": \"3\""), "drives[0].failCommand: expected the number"},
    {oneDrive("\"power\": \"sleep\""), "drives[0].power: expected \"active\" or \"standby\", got \"sleep\""},
    {oneDrive("\"power\": true"), "drives[0].power: expected \"active\" or \"standby\""},
    {oneDrive("\"identity\": {\"wwn\": \"5000C500A1B2C3\"}"), "drives[0].identity.wwn: expected 16 hexadecimal digits"},
    {oneDrive("\"identity\": {\"wwn\": \"0000000000000000\"}"), "drives[0].identity.wwn: expected 16 hexadecimal"},
    {oneDrive("\"identity\": {\"wwn\": 5}"), "drives[0].identity.wwn: expected 16 hexadecimal digits"},
    {oneDrive("\"volumes\": [{\"letter\": \"D\", \"total\": 1, \"free\": 0, \"mountPoint\": \"\"}]"),
     "drives[0].volumes[0].mountPoint: expected a folder"},

    // Numbers the reader cannot hold, and numbers beyond what their field holds.
    {"{\"drives\": [{\"number\": 0, \"length\": 1e400}]}", "not JSON"},
    {"{\"drives\": [{\"number\": 0, \"length\": -1e400}]}", "not JSON"},
    {"{\"drives\": [{\"number\": 4294967297, \"length\": 1}]}", "drives[0].number: expected the drive's number"},
    {"{\"drives\": [{\"number\": 2147483648, \"length\": 1}]}", "drives[0].number: expected the drive's number"},
    {"{\"drives\": [{\"number\": 10000, \"length\": 1}]}", "drives[0].number: expected the drive's number"},
    {"{\"drives\": [{\"number\": 0, \"length\": 9223372036854775808}]}",
     "drives[0].length: expected a whole, non-negative number of bytes up to 9223372036854775807"},
    {"{\"drives\": [{\"number\": 0, \"length\": 18446744073709551616}]}", "drives[0].length: expected a whole"},
    {oneDrive("\"failCommand\": 4294967297"), "drives[0].failCommand: expected the number"},
    {oneDrive("\"failCommand\": 2147483648"), "drives[0].failCommand: expected the number"},
    {oneDrive("\"failCommand\": 0"), "drives[0].failCommand: expected the number"},
    {oneDrive("\"bus\": 4294967303"), "drives[0].bus: expected a bus name"},
    {oneDrive("\"bus\": -7"), "drives[0].bus: expected a bus name"},
    {"{\"volumes\": [{\"letter\": \"S\", \"total\": 1, \"free\": 0, \"drives\": [4294967297]}]}",
     "volumes[0].drives: expected the drive's number"},
    {"{\"volumes\": [{\"letter\": \"S\", \"total\": 18446744073709551616, \"free\": 0}]}",
     "volumes[0].total: expected a whole, non-negative number of bytes"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 256}]}"), "drives[0].smart.attributes[0].id: expected an attribute ID"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 0}]}"), "drives[0].smart.attributes[0].id: expected an attribute ID"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 9, \"flags\": 65536}]}"),
     "drives[0].smart.attributes[0].flags: expected a number from 0 to 65535"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 9, \"raw\": 281474976710656}]}"),
     "drives[0].smart.attributes[0].raw: expected a number of at most 6 bytes"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 9, \"value\": -1}]}"),
     "drives[0].smart.attributes[0].value: expected a number from 0 to 255"},

    // Health logs only of NVMe drives, SMART attributes only of the others.
    {oneDrive("\"health\": {}"), "drives[0]: only an NVMe drive (\"bus\": \"nvme\") reports a health log"},
    {oneDrive("\"sectors\": {\"healthLog\": \"log.bin\"}"), "drives[0]: only an NVMe drive"},
    {oneDrive("\"bus\": \"nvme\", \"smart\": {}"), "drives[0]: an NVMe drive reports a health log, not SMART"},
    {oneDrive("\"delayMs\": \"slow\""), "drives[0].delayMs: expected milliseconds from 0 to 600000"},
    {oneDrive("\"delayMs\": -10"), "drives[0].delayMs: expected milliseconds"},
    {oneDrive("\"delayMs\": 600001"), "drives[0].delayMs: expected milliseconds"},
    {oneDrive("\"bus\": \"nvme\", \"identity\": {\"serial\": \"S\", \"model\": \"M\", \"firmware\": \"1\", "
              "\"wwn\": \"5000C500A1B2C3D4\"}"),
     "drives[0].identity.wwn: an NVMe drive's Identify Controller data has no world wide name"},
    {oneDrive("\"bus\": \"nvme\", \"sectors\": {\"smartData\": \"data.bin\"}"), "drives[0]: an NVMe drive reports"},
    {oneDrive("\"bus\": \"nvme\", \"identity\": {}, \"sectors\": {\"identify\": \"id.bin\"}"),
     "drives[0]: give the identity either as fields or as a file, not both"},
    {oneDrive("\"bus\": \"nvme\", \"health\": {}, \"sectors\": {\"healthLog\": \"log.bin\"}"),
     "drives[0]: give the health log either as fields or as a file, not both"},
    {nvmeHealth("\"temp\": 300"), "drives[0].health.temp: unknown key"},
    {nvmeHealth("\"temperature\": 65536"), "drives[0].health.temperature: expected a number from 0 to 65535"},
    {nvmeHealth("\"percentageUsed\": 256"), "drives[0].health.percentageUsed: expected a number from 0 to 255"},
    {nvmeHealth("\"criticalWarning\": \"4\""), "drives[0].health.criticalWarning: expected a number from 0 to 255"},
    {nvmeHealth("\"warningTemperatureTime\": 4294967296"),
     "drives[0].health.warningTemperatureTime: expected a number from 0 to 4294967295"},
    {nvmeHealth("\"mediaErrors\": \"12a\""), "drives[0].health.mediaErrors: expected a whole, non-negative number, or its decimal digits"},
    {nvmeHealth("\"mediaErrors\": \"\""), "drives[0].health.mediaErrors: expected a whole"},
    {nvmeHealth("\"powerOnHours\": \"340282366920938463463374607431768211456\""),
     "drives[0].health.powerOnHours: expected a whole, non-negative number, or its decimal digits as a text, below 2^128"},
    {nvmeHealth("\"powerOnHours\": 18446744073709551616"), "drives[0].health.powerOnHours: expected a whole"},
    {nvmeHealth("\"powerCycles\": -1"), "drives[0].health.powerCycles: expected a whole"},
    {nvmeHealth("\"temperatureSensors\": [1, 2, 3, 4, 5, 6, 7, 8, 9]"),
     "drives[0].health.temperatureSensors: expected an array of at most 8 temperatures"},
    {nvmeHealth("\"temperatureSensors\": 300"), "drives[0].health.temperatureSensors: expected an array"},
    {nvmeHealth("\"temperatureSensors\": [300, -1]"),
     "drives[0].health.temperatureSensors[1]: expected a temperature in kelvins"},

    // Keys given twice: the reader would keep the last silently.
    {"{\"drives\": [{\"number\": 0, \"number\": 1, \"length\": 1}]}", "drives[0].number: key given twice"},
    {"{\"drives\": [], \"drives\": []}", "drives: key given twice"},
    {oneDrive("\"smart\": {\"attributes\": [{\"id\": 9}, {\"id\": 9, \"raw\": 1, \"raw\": 2}]}"),
     "drives[0].smart.attributes[1].raw: key given twice"},

    // Nesting: refused as it is read, long before the stack would run out
    // (100,000 levels did in copying and printing the document).
    {nested(100000, "[", "]"), "[0][0]: arrays and objects nested more than 64 deep"},
    {nested(65, "[", "]"), "[0][0]: arrays and objects nested more than 64 deep"},
    {nested(100000, "{\"a\": ", "}", "1"), "a.a.a.a"},
    {oneDrive("\"faults\": " + nested(100000, "[", "]")), "drives[0].faults[0][0][0]"},
    {nested(64, "[", "]"), "fleet: expected an object"},  // deep, but within the limit

    // Text the reader refuses: a byte that is not UTF-8, a NUL.
    {oneDrive("\"identity\": {\"model\": \"\xff\"}"), "not JSON"},
    {std::string("{\"drives\": [\0]}", 15), "not JSON"},
};

TEST(FleetFile, MalformedFleetsAreRejectedWithThePlaceAndTheFault)
{
    for (const auto& bad : kBadFleets) {
        const std::string shown = bad.text.substr(0, 120);
        try {
            parseFleet(bad.text);
            ADD_FAILURE() << "accepted: " << shown;
        } catch (const FleetError& error) {
            EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos)
                << shown << " gave: " << error.what();
        }
    }
}

// The program's side: each bad file is reported with its place and fault, and
// the machine is empty.
TEST(FleetFile, EachMalformedFileGivesItsMessageAndAnEmptyMachine)
{
    const std::string path = testing::TempDir() + "bad-fleet.json";
    for (const auto& bad : kBadFleets) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bad.text;
        testing::internal::CaptureStderr();
        const auto sim = SimulatedStorage::fromFile(path);
        const std::string message = testing::internal::GetCapturedStderr();
        const std::string shown = bad.text.substr(0, 120);
        EXPECT_NE(message.find(path + ": "), std::string::npos) << shown << " gave: " << message;
        EXPECT_NE(message.find(bad.message), std::string::npos) << shown << " gave: " << message;
        EXPECT_TRUE(sim->fleet().drives.empty()) << shown;
        EXPECT_EQ(sim->logicalDrives(), 0u) << shown;
    }
    std::remove(path.c_str());
}

TEST(FleetFile, NumbersAtTheEdgesOfTheirRangesAreKept)
{
    const Fleet fleet = parseFleet(
        "{\"drives\": [{\"number\": 9999, \"length\": 9223372036854775807, \"bus\": 4294967295,"
        " \"failCommand\": 2147483647,"
        " \"smart\": {\"attributes\": [{\"id\": 255, \"flags\": 65535, \"raw\": 281474976710655}]}}],"
        " \"volumes\": [{\"letter\": \"S\", \"total\": 18446744073709551615, \"free\": 0, \"drives\": [0, 9999]}]}");
    const FleetDrive* drive = fleet.drive(9999);
    ASSERT_NE(drive, nullptr);
    EXPECT_EQ(drive->length, INT64_MAX);
    EXPECT_EQ(drive->busType, UINT32_MAX);
    EXPECT_EQ(drive->behaviour.failingCommand, INT32_MAX);
    EXPECT_EQ(drive->behaviour.smartData[2], 255) << "the attribute's ID in its slot";
    EXPECT_EQ(fleet.volumes.at(0).total, UINT64_MAX);
    EXPECT_EQ(fleet.volumes.at(0).drives, (std::vector<int>{0, 9999}));
}

TEST(FleetFile, NvmeHealthCountersTakeNumbersOrDecimalDigitsUpTo128Bits)
{
    const Fleet fleet = parseFleet(nvmeHealth(
        "\"dataUnitsRead\": 18446744073709551615, \"dataUnitsWritten\": \"18446744073709551616\","
        " \"powerOnHours\": \"340282366920938463463374607431768211455\", \"mediaErrors\": \"0000300\","
        " \"temperature\": 65535, \"temperatureSensors\": [1, 2, 3, 4, 5, 6, 7, 65535]"));
    const NvmeHealthLog& log = fleet.drive(0)->behaviour.healthLog;
    auto counter = [&](int offset) { return std::vector<uint8_t>(log.begin() + offset, log.begin() + offset + 16); };
    std::vector<uint8_t> expected(16, 0);
    std::fill(expected.begin(), expected.begin() + 8, 0xFF);
    EXPECT_EQ(counter(32), expected) << "2^64 - 1 as a number";
    expected.assign(16, 0);
    expected[8] = 1;
    EXPECT_EQ(counter(48), expected) << "2^64 as digits";
    EXPECT_EQ(counter(128), std::vector<uint8_t>(16, 0xFF)) << "2^128 - 1";
    expected.assign(16, 0);
    expected[0] = 300 & 0xFF;
    expected[1] = 300 >> 8;
    EXPECT_EQ(counter(160), expected) << "leading zeros";
    EXPECT_EQ(log[1], 0xFF);
    EXPECT_EQ(log[2], 0xFF);
    EXPECT_EQ(log[214], 0xFF);
    EXPECT_EQ(log[215], 0xFF);
    EXPECT_EQ(log[200], 1);
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
