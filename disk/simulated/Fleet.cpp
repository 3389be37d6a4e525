#include "disk/simulated/Fleet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

using nlohmann::json;

namespace {

const std::map<std::string, uint32_t> kBusNames = {
    {"unknown", 0}, {"scsi", 1},     {"atapi", 2},  {"ata", 3},      {"1394", 4},
    {"ssa", 5},     {"fibre", 6},    {"usb", 7},    {"raid", 8},     {"iscsi", 9},
    {"sas", 10},    {"sata", 11},    {"sd", 12},    {"mmc", 13},     {"virtual", 14},
    {"filebackedvirtual", 15},       {"spaces", 16}, {"nvme", 17},
};

const std::map<std::string, DriveType> kDriveTypeNames = {
    {"unknown", DriveType::Unknown}, {"removable", DriveType::Removable},
    {"fixed", DriveType::Fixed},     {"remote", DriveType::Remote},
    {"cdrom", DriveType::CdRom},     {"ramdisk", DriveType::RamDisk},
};

const std::map<std::string, AccessMode> kOpenFaults = {
    {"openReadWrite", AccessMode::ReadWrite},
    {"openQueryOnly", AccessMode::QueryOnly},
    {"openPassThrough", AccessMode::ReadWriteNoBuffering},
};

// A whole number not below zero, however the JSON reader typed it.
bool isWholeNumber(const json& value)
{
    return value.is_number_unsigned() || (value.is_number_integer() && value.get<int64_t>() >= 0);
}

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    throw FleetError(where + ": " + what);
}

std::string joinKeys(const std::vector<std::string>& keys)
{
    std::string text;
    for (const auto& key : keys)
        text += (text.empty() ? "" : ", ") + key;
    return text;
}

// Rejects keys the format does not know, so a misspelt key is not silently ignored.
void checkKeys(const json& object, const std::string& where, const std::vector<std::string>& known)
{
    if (!object.is_object())
        fail(where, "expected an object");
    for (const auto& item : object.items())
        if (std::find(known.begin(), known.end(), item.key()) == known.end())
            fail(where + "." + item.key(), "unknown key (known: " + joinKeys(known) + ")");
}

uint64_t byteCount(const json& object, const std::string& key, const std::string& where, bool required)
{
    if (!object.contains(key)) {
        if (required)
            fail(where + "." + key, "missing");
        return 0;
    }
    const json& value = object.at(key);
    if (!isWholeNumber(value))
        fail(where + "." + key, "expected a whole, non-negative number of bytes");
    return value.get<uint64_t>();
}

std::set<std::string> faultNames(const json& object, const std::string& where,
                                 const std::vector<std::string>& known)
{
    std::set<std::string> names;
    if (!object.contains("faults"))
        return names;
    const json& list = object.at("faults");
    const std::string at = where + ".faults";
    if (!list.is_array())
        fail(at, "expected an array of fault names");
    for (const json& name : list) {
        if (!name.is_string() ||
            std::find(known.begin(), known.end(), name.get<std::string>()) == known.end())
            fail(at, "unknown fault " + name.dump() + " (known: " + joinKeys(known) + ")");
        names.insert(name.get<std::string>());
    }
    return names;
}

uint32_t busType(const json& value, const std::string& where)
{
    if (isWholeNumber(value))
        return value.get<uint32_t>();
    if (value.is_string()) {
        std::string name = value.get<std::string>();
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        auto found = kBusNames.find(name);
        if (found != kBusNames.end())
            return found->second;
    }
    fail(where, "expected a bus name (sata, usb, nvme, scsi, ...) or number, got " + value.dump());
}

FleetVolume parseVolume(const json& object, const std::string& where)
{
    checkKeys(object, where, {"letter", "type", "total", "free", "totalFree", "drives", "faults"});
    FleetVolume volume;
    const json letter = object.value("letter", json());
    if (!letter.is_string() || letter.get<std::string>().size() != 1 ||
        !std::isalpha(static_cast<unsigned char>(letter.get<std::string>()[0])))
        fail(where + ".letter", "expected one letter A to Z");
    volume.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter.get<std::string>()[0])));

    const std::string type = object.value("type", std::string("fixed"));
    auto found = kDriveTypeNames.find(type);
    if (found == kDriveTypeNames.end())
        fail(where + ".type", "unknown volume type \"" + type + "\"");
    volume.type = found->second;

    volume.total = byteCount(object, "total", where, true);
    volume.free = byteCount(object, "free", where, true);
    volume.totalFree = object.contains("totalFree") ? byteCount(object, "totalFree", where, true)
                                                    : volume.free;
    if (volume.free > volume.total || volume.totalFree > volume.total)
        fail(where, "free space larger than the volume");

    const auto faults = faultNames(object, where, {"open", "deviceNumber", "freeSpace"});
    volume.openFails = faults.count("open") > 0;
    volume.deviceNumberFails = faults.count("deviceNumber") > 0;
    volume.freeSpaceFails = faults.count("freeSpace") > 0;
    return volume;
}

std::string textField(const json& object, const std::string& key, const std::string& where)
{
    const json value = object.value(key, json(""));
    if (!value.is_string())
        fail(where + "." + key, "expected a text");
    return value.get<std::string>();
}

// Bytes of an attribute field: a number (stored least significant byte first)
// or hexadecimal bytes in slot order ("2C 01 00 00 00 00").
std::array<uint8_t, 6> rawBytes(const json& object, const std::string& key, const std::string& where)
{
    std::array<uint8_t, 6> bytes{};
    if (!object.contains(key))
        return bytes;
    const json& value = object.at(key);
    const std::string at = where + "." + key;
    if (isWholeNumber(value)) {
        uint64_t number = value.get<uint64_t>();
        if (number >> 48)
            fail(at, "more than 6 bytes");
        for (auto& byte : bytes) {
            byte = static_cast<uint8_t>(number & 0xFF);
            number >>= 8;
        }
        return bytes;
    }
    if (value.is_string()) {
        std::istringstream hex(value.get<std::string>());
        std::string token;
        size_t count = 0;
        while (hex >> token) {
            if (count == bytes.size() || token.size() > 2 ||
                token.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
                fail(at, "expected up to 6 hexadecimal bytes, such as \"2C 01 00 00 00 00\"");
            bytes[count++] = static_cast<uint8_t>(std::stoul(token, nullptr, 16));
        }
        return bytes;
    }
    fail(at, "expected a number or hexadecimal bytes");
}

uint8_t byteField(const json& object, const std::string& key, const std::string& where, uint8_t fallback)
{
    if (!object.contains(key))
        return fallback;
    const json& value = object.at(key);
    if (!isWholeNumber(value) || value.get<uint64_t>() > 0xFF)
        fail(where + "." + key, "expected a number from 0 to 255");
    return value.get<uint8_t>();
}

SmartAttribute parseAttribute(const json& object, const std::string& where)
{
    checkKeys(object, where, {"id", "flags", "value", "worst", "raw", "reserved", "threshold", "driveLimit"});
    SmartAttribute attribute;
    attribute.id = byteField(object, "id", where, 0);
    if (attribute.id == 0)
        fail(where + ".id", "expected an attribute ID from 1 to 255");
    const json flags = object.value("flags", json(0));
    if (!isWholeNumber(flags) || flags.get<uint64_t>() > 0xFFFF)
        fail(where + ".flags", "expected a number from 0 to 65535");
    attribute.flags = flags.get<uint16_t>();
    attribute.value = byteField(object, "value", where, 100);
    attribute.worst = byteField(object, "worst", where, attribute.value);
    attribute.raw = rawBytes(object, "raw", where);
    attribute.reserved = byteField(object, "reserved", where, 0);
    attribute.threshold = byteField(object, "threshold", where, 0);
    attribute.driveLimit = rawBytes(object, "driveLimit", where);
    return attribute;
}

Sector sectorFile(const json& sectors, const std::string& key, const std::string& where, const std::string& baseDir)
{
    const std::string at = where + ".sectors." + key;
    if (!sectors.at(key).is_string())
        fail(at, "expected a file name");
    const std::string name = sectors.at(key).get<std::string>();
    // An absolute name stands as it is (on Windows also with a drive letter).
    const std::string path = (std::filesystem::path(baseDir) / name).string();
    std::ifstream file(path, std::ios::binary);
    if (!file)
        fail(at, "cannot read " + path);
    Sector sector{};
    file.read(reinterpret_cast<char*>(sector.data()), sector.size());
    if (file.gcount() != static_cast<std::streamsize>(sector.size()) || file.peek() != EOF)
        fail(at, path + " is not exactly 512 bytes");
    return sector;
}

// A drive's answers: its identity and SMART as fields, or as raw sector files.
DriveBehaviour parseBehaviour(const json& drive, const std::string& where, const std::string& baseDir)
{
    DriveBehaviour behaviour;
    const json sectors = drive.value("sectors", json::object());
    checkKeys(sectors, where + ".sectors", {"identify", "smartData", "smartThresholds"});

    if (drive.contains("identity") && sectors.contains("identify"))
        fail(where, "give the identity either as fields or as a sector file, not both");
    if (drive.contains("identity")) {
        const json& identity = drive.at("identity");
        const std::string at = where + ".identity";
        checkKeys(identity, at, {"serial", "model", "firmware"});
        behaviour.identify = buildIdentifySector(textField(identity, "serial", at), textField(identity, "model", at),
                                                 textField(identity, "firmware", at));
    } else if (sectors.contains("identify")) {
        behaviour.identify = sectorFile(sectors, "identify", where, baseDir);
    }

    if (drive.contains("smart") && (sectors.contains("smartData") || sectors.contains("smartThresholds")))
        fail(where, "give SMART either as attributes or as sector files, not both");
    std::vector<SmartAttribute> attributes;
    bool marker = false;
    if (drive.contains("smart")) {
        const json& smart = drive.at("smart");
        const std::string at = where + ".smart";
        checkKeys(smart, at, {"attributes", "marker"});
        marker = smart.value("marker", false);
        const json list = smart.value("attributes", json::array());
        if (!list.is_array() || list.size() > 30)
            fail(at + ".attributes", "expected an array of at most 30 attributes");
        for (size_t i = 0; i < list.size(); ++i)
            attributes.push_back(parseAttribute(list[i], at + ".attributes[" + std::to_string(i) + "]"));
    }
    behaviour.smartData = sectors.contains("smartData") ? sectorFile(sectors, "smartData", where, baseDir)
                                                        : buildSmartDataSector(attributes, marker);
    behaviour.smartThresholds = sectors.contains("smartThresholds")
                                    ? sectorFile(sectors, "smartThresholds", where, baseDir)
                                    : buildSmartThresholdSector(attributes);

    if (drive.contains("failCommand")) {
        const json& k = drive.at("failCommand");
        if (!isWholeNumber(k) || k.get<uint64_t>() == 0)
            fail(where + ".failCommand", "expected the number (from 1) of the command that fails");
        behaviour.failingCommand = k.get<int>();
    }
    if (drive.contains("delayMs")) {
        const json& ms = drive.at("delayMs");
        if (!isWholeNumber(ms) || ms.get<uint64_t>() > 600000)
            fail(where + ".delayMs", "expected milliseconds from 0 to 600000");
        behaviour.delayMs = ms.get<int>();
    }
    return behaviour;
}

FleetDrive parseDrive(const json& object, const std::string& where, const std::string& baseDir,
                      std::vector<FleetVolume>& volumes)
{
    checkKeys(object, where,
              {"number", "bus", "length", "volumes", "faults", "failCommand", "delayMs", "identity", "smart",
               "sectors"});
    FleetDrive drive;
    const json number = object.value("number", json());
    if (!isWholeNumber(number))
        fail(where + ".number", "expected the drive's number (0, 1, 2, ...)");
    drive.number = number.get<int>();
    drive.busType = busType(object.value("bus", json("sata")), where + ".bus");
    drive.length = static_cast<int64_t>(byteCount(object, "length", where, true));

    std::vector<std::string> known = {"busType", "length", "identify", "smart", "senseOnSuccess"};
    for (const auto& open : kOpenFaults)
        known.push_back(open.first);
    const auto faults = faultNames(object, where, known);
    for (const auto& name : faults)
        if (kOpenFaults.count(name))
            drive.openFails.insert(kOpenFaults.at(name));
    drive.busTypeFails = faults.count("busType") > 0;
    drive.lengthFails = faults.count("length") > 0;
    drive.senseOnSuccess = faults.count("senseOnSuccess") > 0;
    drive.behaviour = parseBehaviour(object, where, baseDir);
    if (faults.count("identify"))
        drive.behaviour.identify.reset();
    drive.behaviour.smartUnsupported = faults.count("smart") > 0;

    if (object.contains("volumes")) {
        const json& list = object.at("volumes");
        if (!list.is_array())
            fail(where + ".volumes", "expected an array");
        for (size_t i = 0; i < list.size(); ++i) {
            const std::string at = where + ".volumes[" + std::to_string(i) + "]";
            if (list[i].contains("drives"))
                fail(at + ".drives", "a drive's volume lies on that drive; list spanned volumes at the top level");
            FleetVolume volume = parseVolume(list[i], at);
            volume.drives = {drive.number};
            volumes.push_back(volume);
        }
    }
    return drive;
}

}  // namespace

const FleetDrive* Fleet::drive(int number) const
{
    for (const auto& drive : drives)
        if (drive.number == number)
            return &drive;
    return nullptr;
}

const FleetVolume* Fleet::volume(char letter) const
{
    for (const auto& volume : volumes)
        if (volume.letter == letter)
            return &volume;
    return nullptr;
}

Fleet parseFleet(const std::string& text, const std::string& baseDir)
{
    json root;
    try {
        root = json::parse(text);
    } catch (const json::parse_error& error) {
        throw FleetError(std::string("not JSON: ") + error.what());
    }
    checkKeys(root, "fleet", {"systemDirectory", "drives", "volumes", "faults"});

    Fleet fleet;
    if (root.contains("systemDirectory")) {
        if (!root.at("systemDirectory").is_string())
            fail("systemDirectory", "expected a path such as \"C:\\\\Windows\\\\system32\"");
        fleet.systemDirectory = root.at("systemDirectory").get<std::string>();
    }
    const auto faults = faultNames(root, "fleet", {"systemDirectory", "logicalDrives"});
    fleet.systemDirectoryFails = faults.count("systemDirectory") > 0;
    fleet.noLogicalDrives = faults.count("logicalDrives") > 0;

    const json drives = root.value("drives", json::array());
    if (!drives.is_array())
        fail("drives", "expected an array");
    for (size_t i = 0; i < drives.size(); ++i) {
        const std::string where = "drives[" + std::to_string(i) + "]";
        FleetDrive drive = parseDrive(drives[i], where, baseDir, fleet.volumes);
        if (fleet.drive(drive.number))
            fail(where + ".number", "drive " + std::to_string(drive.number) + " is listed twice");
        fleet.drives.push_back(drive);
    }

    const json volumes = root.value("volumes", json::array());
    if (!volumes.is_array())
        fail("volumes", "expected an array");
    for (size_t i = 0; i < volumes.size(); ++i) {
        const std::string where = "volumes[" + std::to_string(i) + "]";
        FleetVolume volume = parseVolume(volumes[i], where);
        const json on = volumes[i].value("drives", json::array());
        if (!on.is_array())
            fail(where + ".drives", "expected an array of drive numbers");
        for (const json& number : on) {
            if (!isWholeNumber(number))
                fail(where + ".drives", "expected drive numbers");
            volume.drives.push_back(number.get<int>());
        }
        fleet.volumes.push_back(volume);
    }

    std::set<char> letters;
    for (const auto& volume : fleet.volumes)
        if (!letters.insert(volume.letter).second)
            fail("volumes", std::string("letter ") + volume.letter + " is used twice");
    return fleet;
}

Fleet loadFleet(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        throw FleetError("cannot be read");
    std::ostringstream text;
    text << file.rdbuf();
    // The file's folder, whichever separators its path uses.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return parseFleet(text.str(), folder.empty() ? "." : folder);
}
