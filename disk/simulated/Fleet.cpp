#include "disk/simulated/Fleet.h"

#include "disk/simulated/RegularFile.h"
#include "disk/BusTypes.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <filesystem>
#include <map>
#include <optional>
#include <sstream>

using nlohmann::json;

namespace {

// Far beyond any real fleet (the demo's 17 drives take 15 KB and 5 levels of
// nesting), and small enough that nothing built from the text exhausts memory
// or the stack: the parsed document is copied and printed recursively.
constexpr size_t kMaxFleetBytes = 1 << 20;
constexpr int kMaxNesting = 64;
// "\\.\PHYSICALDRIVEn" names drives with up to four digits.
constexpr uint64_t kMaxDriveNumber = 9999;
// A drive's delay before each answer: ten minutes at most.
constexpr uint64_t kMaxDelayMs = 600000;

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

[[noreturn]] void fail(const std::string& where, const std::string& what)
{
    throw FleetError(where + ": " + what);
}

// Watches the shape of the JSON text while it is read, before the document
// grows past what the rest of the reading can take: arrays and objects nested
// at most kMaxNesting deep, and no key twice in one object (the reader would
// keep the last one silently). Names the place at fault as the checks of the
// values do ("drives[0].smart").
class ShapeCheck {
public:
    bool operator()(int depth, json::parse_event_t event, const json& parsed)
    {
        switch (event) {
        case json::parse_event_t::object_start:
        case json::parse_event_t::array_start:
            enterElement();
            if (depth >= kMaxNesting)
                fail(place(), "arrays and objects nested more than " + std::to_string(kMaxNesting) + " deep");
            levels_.push_back({event == json::parse_event_t::object_start, 0, {}, {}});
            break;
        case json::parse_event_t::key: {
            Level& object = levels_.back();
            object.key = parsed.get<std::string>();
            if (!object.keys.insert(object.key).second)
                fail(place(), "key given twice");
            break;
        }
        case json::parse_event_t::value:
            enterElement();
            break;
        case json::parse_event_t::object_end:
        case json::parse_event_t::array_end:
            levels_.pop_back();
            break;
        }
        return true;
    }

private:
    // An array or object being read.
    struct Level {
        bool object = false;
        size_t elements = 0;  // of an array, so far
        std::string key;      // of an object, the latest
        std::set<std::string> keys;
    };

    void enterElement()
    {
        if (!levels_.empty() && !levels_.back().object)
            ++levels_.back().elements;
    }
    // The place of the value being read: the key or index it has in each
    // enclosing level.
    std::string place() const
    {
        std::string path;
        for (const Level& level : levels_) {
            if (level.object)
                path += (path.empty() ? "" : ".") + level.key;
            else
                path += "[" + std::to_string(level.elements - 1) + "]";
        }
        return path.empty() ? "fleet" : path;
    }

    std::vector<Level> levels_;
};

json parseJson(const std::string& text)
{
    ShapeCheck shape;
    try {
        return json::parse(text, [&shape](int depth, json::parse_event_t event, json& parsed) {
            return shape(depth, event, parsed);
        });
    } catch (const json::exception& error) {
        // Syntax errors, and numbers beyond what a double holds (1e400).
        throw FleetError(std::string("not JSON: ") + error.what());
    }
}

// The value of `key` in `object`; nullptr when the key is absent.
const json* member(const json& object, const std::string& key)
{
    const auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

// A whole number from `min` to `max`, however the JSON reader typed it;
// `expected` names the value for the message.
uint64_t wholeNumber(const json& value, const std::string& at, uint64_t min, uint64_t max,
                     const std::string& expected)
{
    uint64_t number = 0;
    if (value.is_number_unsigned())
        number = value.get<uint64_t>();
    else if (value.is_number_integer() && value.get<int64_t>() >= 0)
        number = static_cast<uint64_t>(value.get<int64_t>());
    else
        fail(at, "expected " + expected);
    if (number < min || number > max)
        fail(at, "expected " + expected);
    return number;
}

int driveNumber(const json& value, const std::string& at)
{
    return static_cast<int>(wholeNumber(value, at, 0, kMaxDriveNumber,
                                        "the drive's number (0, 1, 2, ... up to " +
                                            std::to_string(kMaxDriveNumber) + ")"));
}

std::string stringValue(const json& value, const std::string& at, const std::string& expected)
{
    if (!value.is_string())
        fail(at, "expected " + expected);
    return value.get<std::string>();
}

bool boolValue(const json& value, const std::string& at)
{
    if (!value.is_boolean())
        fail(at, "expected true or false");
    return value.get<bool>();
}

const json& arrayValue(const json& value, const std::string& at, const std::string& expected)
{
    if (!value.is_array())
        fail(at, "expected an array of " + expected);
    return value;
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
    const json* value = member(object, key);
    if (!value) {
        if (required)
            fail(where + "." + key, "missing");
        return 0;
    }
    return wholeNumber(*value, where + "." + key, 0, UINT64_MAX, "a whole, non-negative number of bytes");
}

std::set<std::string> faultNames(const json& object, const std::string& where,
                                 const std::vector<std::string>& known)
{
    std::set<std::string> names;
    const json* list = member(object, "faults");
    if (!list)
        return names;
    const std::string at = where + ".faults";
    for (const json& name : arrayValue(*list, at, "fault names")) {
        if (!name.is_string() ||
            std::find(known.begin(), known.end(), name.get<std::string>()) == known.end())
            fail(at, "unknown fault " + name.dump() + " (known: " + joinKeys(known) + ")");
        names.insert(name.get<std::string>());
    }
    return names;
}

uint32_t busType(const json* value, const std::string& where)
{
    if (!value)
        return kBusTypeSata;
    if (!value->is_string())
        return static_cast<uint32_t>(wholeNumber(*value, where, 0, UINT32_MAX,
                                                 "a bus name (sata, usb, nvme, scsi, ...) or number from 0 to " +
                                                     std::to_string(UINT32_MAX)));
    std::string name = value->get<std::string>();
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto found = BusTypeOfName(name);
    if (!found)
        fail(where, "expected a bus name (sata, usb, nvme, scsi, ...) or number, got " + value->dump());
    return *found;
}

FleetVolume parseVolume(const json& object, const std::string& where)
{
    checkKeys(object, where, {"letter", "type", "total", "free", "totalFree", "drives", "faults", "mountPoint"});
    FleetVolume volume;
    const json* letter = member(object, "letter");
    if (!letter || !letter->is_string() || letter->get<std::string>().size() != 1 ||
        !std::isalpha(static_cast<unsigned char>(letter->get<std::string>()[0])))
        fail(where + ".letter", "expected one letter A to Z");
    volume.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter->get<std::string>()[0])));

    if (const json* type = member(object, "type")) {
        const std::string name = stringValue(*type, where + ".type", "a volume type (fixed, removable, ...)");
        const auto found = kDriveTypeNames.find(name);
        if (found == kDriveTypeNames.end())
            fail(where + ".type", "unknown volume type \"" + name + "\"");
        volume.type = found->second;
    }

    volume.total = byteCount(object, "total", where, true);
    volume.free = byteCount(object, "free", where, true);
    volume.totalFree = member(object, "totalFree") ? byteCount(object, "totalFree", where, true) : volume.free;
    if (volume.free > volume.total || volume.totalFree > volume.total)
        fail(where, "free space larger than the volume");

    if (const json* mountPoint = member(object, "mountPoint")) {
        volume.mountPoint = stringValue(*mountPoint, where + ".mountPoint", "a folder such as \"/home\"");
        if (volume.mountPoint.empty() || volume.mountPoint.find('\0') != std::string::npos)
            fail(where + ".mountPoint", "expected a folder such as \"/home\"");
    }

    const auto faults = faultNames(object, where, {"open", "deviceNumber", "freeSpace"});
    volume.openFails = faults.count("open") > 0;
    volume.deviceNumberFails = faults.count("deviceNumber") > 0;
    volume.freeSpaceFails = faults.count("freeSpace") > 0;
    return volume;
}

std::string textField(const json& object, const std::string& key, const std::string& where)
{
    const json* value = member(object, key);
    return value ? stringValue(*value, where + "." + key, "a text") : std::string();
}

// A world wide name of 16 hexadecimal digits ("5000C500A1B2C3D4"); 0 when
// the identity gives none.
uint64_t worldWideName(const json& identity, const std::string& where)
{
    const json* value = member(identity, "wwn");
    if (!value)
        return 0;
    const std::string at = where + ".wwn";
    const std::string digits = stringValue(*value, at, "16 hexadecimal digits");
    if (digits.size() != 16 || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos ||
        digits.find_first_not_of('0') == std::string::npos)
        fail(at, "expected 16 hexadecimal digits, not all zero");
    return std::stoull(digits, nullptr, 16);
}

// Bytes of an attribute field: a number (stored least significant byte first)
// or hexadecimal bytes in slot order ("2C 01 00 00 00 00").
std::array<uint8_t, 6> rawBytes(const json& object, const std::string& key, const std::string& where)
{
    std::array<uint8_t, 6> bytes{};
    const json* value = member(object, key);
    if (!value)
        return bytes;
    const std::string at = where + "." + key;
    if (value->is_string()) {
        std::istringstream hex(value->get<std::string>());
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
    uint64_t number = wholeNumber(*value, at, 0, (uint64_t(1) << 48) - 1,
                                  "a number of at most 6 bytes or hexadecimal bytes");
    for (auto& byte : bytes) {
        byte = static_cast<uint8_t>(number & 0xFF);
        number >>= 8;
    }
    return bytes;
}

uint8_t byteField(const json& object, const std::string& key, const std::string& where, uint8_t fallback)
{
    const json* value = member(object, key);
    if (!value)
        return fallback;
    return static_cast<uint8_t>(wholeNumber(*value, where + "." + key, 0, 0xFF, "a number from 0 to 255"));
}

SmartAttribute parseAttribute(const json& object, const std::string& where)
{
    checkKeys(object, where, {"id", "flags", "value", "worst", "raw", "reserved", "threshold", "driveLimit"});
    SmartAttribute attribute;
    const json* id = member(object, "id");
    if (!id)
        fail(where + ".id", "expected an attribute ID from 1 to 255");
    attribute.id = static_cast<uint8_t>(wholeNumber(*id, where + ".id", 1, 0xFF, "an attribute ID from 1 to 255"));
    if (const json* flags = member(object, "flags"))
        attribute.flags = static_cast<uint16_t>(wholeNumber(*flags, where + ".flags", 0, 0xFFFF,
                                                            "a number from 0 to 65535"));
    attribute.value = byteField(object, "value", where, 100);
    attribute.worst = byteField(object, "worst", where, attribute.value);
    attribute.raw = rawBytes(object, "raw", where);
    attribute.reserved = byteField(object, "reserved", where, 0);
    attribute.threshold = byteField(object, "threshold", where, 0);
    attribute.driveLimit = rawBytes(object, "driveLimit", where);
    return attribute;
}

// The contents of a file named under "sectors": exactly N bytes.
template <size_t N>
std::array<uint8_t, N> dataFile(const json& sectors, const std::string& key, const std::string& where,
                                const std::string& baseDir)
{
    const std::string at = where + ".sectors." + key;
    const std::string name = stringValue(sectors.at(key), at, "a file name");
    if (name.empty() || name.find('\0') != std::string::npos)
        fail(at, "expected a file name");
    // An absolute name stands as it is (on Windows also with a drive letter).
    const std::string path = (std::filesystem::path(baseDir) / name).string();
    std::array<uint8_t, N> contents{};
    std::string error;
    const auto bytes = readRegularFile(path, contents.size(), error);
    if (!bytes)
        fail(at, path + " " + error);
    if (bytes->size() != contents.size())
        fail(at, path + " is not exactly " + std::to_string(N) + " bytes");
    std::copy(bytes->begin(), bytes->end(), contents.begin());
    return contents;
}

// A number of at most `max`, or `fallback` when the key is absent.
uint64_t numberField(const json& object, const std::string& key, const std::string& where, uint64_t max,
                     uint64_t fallback = 0)
{
    const json* value = member(object, key);
    if (!value)
        return fallback;
    return wholeNumber(*value, where + "." + key, 0, max, "a number from 0 to " + std::to_string(max));
}

// A counter of the health log: a number, or its decimal digits as a text for
// counts beyond 2^64 - 1.
Counter128 counterField(const json& object, const std::string& key, const std::string& where)
{
    Counter128 counter{};
    const json* value = member(object, key);
    if (!value)
        return counter;
    const std::string at = where + "." + key;
    const std::string expected = "a whole, non-negative number, or its decimal digits as a text, below 2^128";
    if (!value->is_string()) {
        uint64_t number = wholeNumber(*value, at, 0, UINT64_MAX, expected);
        for (auto& byte : counter) {
            byte = static_cast<uint8_t>(number & 0xFF);
            number >>= 8;
        }
        return counter;
    }
    const std::string digits = value->get<std::string>();
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
        fail(at, "expected " + expected);
    for (char digit : digits) {
        // counter = counter * 10 + digit, a byte at a time
        unsigned carry = static_cast<unsigned>(digit - '0');
        for (auto& byte : counter) {
            const unsigned product = byte * 10u + carry;
            byte = static_cast<uint8_t>(product & 0xFF);
            carry = product >> 8;
        }
        if (carry)
            fail(at, "expected " + expected);
    }
    return counter;
}


// An NVMe drive's health log from its fields, each 0 unless given.
NvmeHealthLog parseHealth(const json& object, const std::string& at)
{
    std::vector<std::string> known = {"criticalWarning", "temperature", "availableSpare", "spareThreshold",
                                      "percentageUsed", "warningTemperatureTime", "criticalTemperatureTime",
                                      "temperatureSensors"};
    for (const NvmeCounterField& counter : kNvmeCounterFields)
        known.push_back(counter.key);
    checkKeys(object, at, known);
    NvmeHealthFields fields;
    fields.criticalWarning = byteField(object, "criticalWarning", at, 0);
    fields.temperature = static_cast<uint16_t>(numberField(object, "temperature", at, UINT16_MAX));
    fields.availableSpare = byteField(object, "availableSpare", at, 0);
    fields.spareThreshold = byteField(object, "spareThreshold", at, 0);
    fields.percentageUsed = byteField(object, "percentageUsed", at, 0);
    for (const NvmeCounterField& counter : kNvmeCounterFields)
        fields.*counter.field = counterField(object, counter.key, at);
    fields.warningTemperatureTime = static_cast<uint32_t>(numberField(object, "warningTemperatureTime", at, UINT32_MAX));
    fields.criticalTemperatureTime =
        static_cast<uint32_t>(numberField(object, "criticalTemperatureTime", at, UINT32_MAX));
    if (const json* sensors = member(object, "temperatureSensors")) {
        const std::string sensorsAt = at + ".temperatureSensors";
        if (!sensors->is_array() || sensors->size() > fields.temperatureSensors.size())
            fail(sensorsAt, "expected an array of at most 8 temperatures in kelvins");
        for (size_t k = 0; k < sensors->size(); ++k)
            fields.temperatureSensors[k] = static_cast<uint16_t>(
                wholeNumber((*sensors)[k], sensorsAt + "[" + std::to_string(k) + "]", 0, UINT16_MAX,
                            "a temperature in kelvins from 0 to 65535"));
    }
    return buildNvmeHealthLog(fields);
}

struct IdentityFields {
    std::string serial, model, firmware;
    uint64_t wwn;  // 0: none given
};

// The identity's texts when given as fields (and then not as a file too).
std::optional<IdentityFields> identityFields(const json& drive, const json& sectors, const std::string& where)
{
    const json* identity = member(drive, "identity");
    if (!identity)
        return std::nullopt;
    if (sectors.contains("identify"))
        fail(where, "give the identity either as fields or as a file, not both");
    const std::string at = where + ".identity";
    checkKeys(*identity, at, {"serial", "model", "firmware", "wwn"});
    return IdentityFields{textField(*identity, "serial", at), textField(*identity, "model", at),
                          textField(*identity, "firmware", at), worldWideName(*identity, at)};
}

// An ATA drive's identity and SMART, as fields or as raw sector files.
void parseAtaAnswers(const json& drive, const json& sectors, const std::string& where, const std::string& baseDir,
                     DriveBehaviour& behaviour)
{
    if (member(drive, "health") || sectors.contains("healthLog"))
        fail(where, "only an NVMe drive (\"bus\": \"nvme\") reports a health log; give SMART as \"smart\"");
    if (const auto identity = identityFields(drive, sectors, where)) {
        behaviour.identify =
            buildIdentifySector(identity->serial, identity->model, identity->firmware, identity->wwn);
    } else if (sectors.contains("identify")) {
        behaviour.identify = dataFile<512>(sectors, "identify", where, baseDir);
    }

    const json* smart = member(drive, "smart");
    if (smart && (sectors.contains("smartData") || sectors.contains("smartThresholds")))
        fail(where, "give SMART either as attributes or as sector files, not both");
    std::vector<SmartAttribute> attributes;
    bool marker = false;
    if (smart) {
        const std::string at = where + ".smart";
        checkKeys(*smart, at, {"attributes", "marker"});
        if (const json* value = member(*smart, "marker"))
            marker = boolValue(*value, at + ".marker");
        if (const json* list = member(*smart, "attributes")) {
            if (!list->is_array() || list->size() > 30)
                fail(at + ".attributes", "expected an array of at most 30 attributes");
            for (size_t i = 0; i < list->size(); ++i)
                attributes.push_back(parseAttribute((*list)[i], at + ".attributes[" + std::to_string(i) + "]"));
        }
    }
    behaviour.smartData = sectors.contains("smartData") ? dataFile<512>(sectors, "smartData", where, baseDir)
                                                        : buildSmartDataSector(attributes, marker);
    behaviour.smartThresholds = sectors.contains("smartThresholds")
                                    ? dataFile<512>(sectors, "smartThresholds", where, baseDir)
                                    : buildSmartThresholdSector(attributes);
}

// An NVMe drive's Identify Controller data and health log, as fields or as
// raw files of 4096 and 512 bytes.
void parseNvmeAnswers(const json& drive, const json& sectors, const std::string& where, const std::string& baseDir,
                      DriveBehaviour& behaviour)
{
    if (member(drive, "smart") || sectors.contains("smartData") || sectors.contains("smartThresholds"))
        fail(where, "an NVMe drive reports a health log, not SMART attributes; give it as \"health\"");
    if (const auto identity = identityFields(drive, sectors, where)) {
        if (identity->wwn)
            fail(where + ".identity.wwn", "an NVMe drive's Identify Controller data has no world wide name");
        behaviour.nvmeIdentify = buildNvmeIdentify(identity->serial, identity->model, identity->firmware);
    } else if (sectors.contains("identify")) {
        behaviour.nvmeIdentify = dataFile<4096>(sectors, "identify", where, baseDir);
    }

    const json* health = member(drive, "health");
    if (health && sectors.contains("healthLog"))
        fail(where, "give the health log either as fields or as a file, not both");
    if (health)
        behaviour.healthLog = parseHealth(*health, where + ".health");
    else if (sectors.contains("healthLog"))
        behaviour.healthLog = dataFile<512>(sectors, "healthLog", where, baseDir);
}

// A drive's answers, by the commands its bus takes.
DriveBehaviour parseBehaviour(const json& drive, uint32_t busType, const std::string& where,
                              const std::string& baseDir)
{
    DriveBehaviour behaviour;
    const json* sectorsValue = member(drive, "sectors");
    const json sectors = sectorsValue ? *sectorsValue : json::object();
    checkKeys(sectors, where + ".sectors", {"identify", "smartData", "smartThresholds", "healthLog"});
    if (busType == kBusTypeNvme)
        parseNvmeAnswers(drive, sectors, where, baseDir, behaviour);
    else
        parseAtaAnswers(drive, sectors, where, baseDir, behaviour);

    if (const json* k = member(drive, "failCommand"))
        behaviour.failingCommand = static_cast<int>(
            wholeNumber(*k, where + ".failCommand", 1, INT_MAX,
                        "the number (from 1 to " + std::to_string(INT_MAX) + ") of the command that fails"));
    if (const json* ms = member(drive, "delayMs"))
        behaviour.delayMs = static_cast<int>(
            wholeNumber(*ms, where + ".delayMs", 0, kMaxDelayMs,
                        "milliseconds from 0 to " + std::to_string(kMaxDelayMs)));
    return behaviour;
}

FleetDrive parseDrive(const json& object, const std::string& where, const std::string& baseDir,
                      std::vector<FleetVolume>& volumes)
{
    checkKeys(object, where,
              {"number", "bus", "length", "volumes", "faults", "failCommand", "delayMs", "identity", "smart",
               "health", "sectors", "power", "locked"});
    FleetDrive drive;
    const json* number = member(object, "number");
    drive.number = driveNumber(number ? *number : json(), where + ".number");
    drive.busType = busType(member(object, "bus"), where + ".bus");
    const json* length = member(object, "length");
    if (!length)
        fail(where + ".length", "missing");
    drive.length = static_cast<int64_t>(wholeNumber(*length, where + ".length", 0, INT64_MAX,
                                                    "a whole, non-negative number of bytes up to " +
                                                        std::to_string(INT64_MAX)));

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
    drive.behaviour = parseBehaviour(object, drive.busType, where, baseDir);
    if (faults.count("identify")) {
        drive.behaviour.identify.reset();
        drive.behaviour.nvmeIdentify.reset();
    }
    drive.behaviour.smartUnsupported = faults.count("smart") > 0;
    if (const json* power = member(object, "power")) {
        const std::string mode = stringValue(*power, where + ".power", "\"active\" or \"standby\"");
        if (mode != "active" && mode != "standby")
            fail(where + ".power", "expected \"active\" or \"standby\", got " + power->dump());
        drive.behaviour.standby = mode == "standby";
    }
    if (const json* locked = member(object, "locked"))
        drive.lockedElsewhere = boolValue(*locked, where + ".locked");

    if (const json* list = member(object, "volumes")) {
        arrayValue(*list, where + ".volumes", "volumes");
        for (size_t i = 0; i < list->size(); ++i) {
            const std::string at = where + ".volumes[" + std::to_string(i) + "]";
            if ((*list)[i].contains("drives"))
                fail(at + ".drives", "a drive's volume lies on that drive; list spanned volumes at the top level");
            FleetVolume volume = parseVolume((*list)[i], at);
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
    const json root = parseJson(text);
    checkKeys(root, "fleet", {"systemDirectory", "drives", "volumes", "faults"});

    Fleet fleet;
    if (const json* directory = member(root, "systemDirectory"))
        fleet.systemDirectory = stringValue(*directory, "systemDirectory", "a path such as \"C:\\\\Windows\\\\system32\"");
    const auto faults = faultNames(root, "fleet", {"systemDirectory", "logicalDrives"});
    fleet.systemDirectoryFails = faults.count("systemDirectory") > 0;
    fleet.noLogicalDrives = faults.count("logicalDrives") > 0;

    if (const json* drives = member(root, "drives")) {
        arrayValue(*drives, "drives", "drives");
        for (size_t i = 0; i < drives->size(); ++i) {
            const std::string where = "drives[" + std::to_string(i) + "]";
            FleetDrive drive = parseDrive((*drives)[i], where, baseDir, fleet.volumes);
            if (fleet.drive(drive.number))
                fail(where + ".number", "drive " + std::to_string(drive.number) + " is listed twice");
            fleet.drives.push_back(drive);
        }
    }

    if (const json* volumes = member(root, "volumes")) {
        arrayValue(*volumes, "volumes", "volumes");
        for (size_t i = 0; i < volumes->size(); ++i) {
            const std::string where = "volumes[" + std::to_string(i) + "]";
            FleetVolume volume = parseVolume((*volumes)[i], where);
            if (const json* on = member((*volumes)[i], "drives"))
                for (const json& number : arrayValue(*on, where + ".drives", "drive numbers"))
                    volume.drives.push_back(driveNumber(number, where + ".drives"));
            fleet.volumes.push_back(volume);
        }
    }

    std::set<char> letters;
    for (const auto& volume : fleet.volumes)
        if (!letters.insert(volume.letter).second)
            fail("volumes", std::string("letter ") + volume.letter + " is used twice");
    return fleet;
}

Fleet loadFleet(const std::string& path)
{
    std::string error;
    const auto text = readRegularFile(path, kMaxFleetBytes, error);
    if (!text)
        throw FleetError(error);
    // The file's folder, whichever separators its path uses.
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return parseFleet(*text, folder.empty() ? "." : folder);
}
