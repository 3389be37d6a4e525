#include "disk/simulated/NvmeData.h"

#include "disk/NvmeCommands.h"

#include <algorithm>

namespace {

void putText(NvmeIdentifyData& data, int offset, int length, const std::string& text)
{
    std::string padded = text.substr(0, length);
    padded.resize(length, ' ');
    std::copy(padded.begin(), padded.end(), data.begin() + offset);
}

template <typename Number>
void putNumber(NvmeHealthLog& log, int offset, Number value)
{
    for (size_t i = 0; i < sizeof value; ++i)
        log[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

void putCounter(NvmeHealthLog& log, int offset, const Counter128& counter)
{
    std::copy(counter.begin(), counter.end(), log.begin() + offset);
}

}  // namespace

const std::array<NvmeCounterField, 10> kNvmeCounterFields = {{
    {"dataUnitsRead", &NvmeHealthFields::dataUnitsRead, NvmeHealthLayout::kDataUnitsRead},
    {"dataUnitsWritten", &NvmeHealthFields::dataUnitsWritten, NvmeHealthLayout::kDataUnitsWritten},
    {"hostReadCommands", &NvmeHealthFields::hostReadCommands, NvmeHealthLayout::kHostReadCommands},
    {"hostWriteCommands", &NvmeHealthFields::hostWriteCommands, NvmeHealthLayout::kHostWriteCommands},
    {"controllerBusyTime", &NvmeHealthFields::controllerBusyTime, NvmeHealthLayout::kControllerBusyTime},
    {"powerCycles", &NvmeHealthFields::powerCycles, NvmeHealthLayout::kPowerCycles},
    {"powerOnHours", &NvmeHealthFields::powerOnHours, NvmeHealthLayout::kPowerOnHours},
    {"unsafeShutdowns", &NvmeHealthFields::unsafeShutdowns, NvmeHealthLayout::kUnsafeShutdowns},
    {"mediaErrors", &NvmeHealthFields::mediaErrors, NvmeHealthLayout::kMediaErrors},
    {"errorLogEntries", &NvmeHealthFields::errorLogEntries, NvmeHealthLayout::kErrorLogEntries},
}};

NvmeIdentifyData buildNvmeIdentify(const std::string& serial, const std::string& model, const std::string& firmware)
{
    NvmeIdentifyData data{};
    putText(data, kNvmeSerialOffset, kNvmeSerialLength, serial);
    putText(data, kNvmeModelOffset, kNvmeModelLength, model);
    putText(data, kNvmeFirmwareOffset, kNvmeFirmwareLength, firmware);
    return data;
}

NvmeHealthLog buildNvmeHealthLog(const NvmeHealthFields& f)
{
    using L = NvmeHealthLayout;
    NvmeHealthLog log{};
    log[L::kCriticalWarning] = f.criticalWarning;
    putNumber(log, L::kTemperature, f.temperature);
    log[L::kAvailableSpare] = f.availableSpare;
    log[L::kSpareThreshold] = f.spareThreshold;
    log[L::kPercentageUsed] = f.percentageUsed;
    for (const NvmeCounterField& counter : kNvmeCounterFields)
        putCounter(log, counter.offset, f.*counter.field);
    putNumber(log, L::kWarningTemperatureTime, f.warningTemperatureTime);
    putNumber(log, L::kCriticalTemperatureTime, f.criticalTemperatureTime);
    for (int k = 0; k < L::kSensorCount; ++k)
        putNumber(log, L::kTemperatureSensors + 2 * k, f.temperatureSensors[k]);
    return log;
}
