#include "disk/BusTypes.h"

#include <iterator>

namespace {

// Indexed by the bus type's number.
const char* const kBusNames[] = {
    "unknown", "scsi", "atapi", "ata",     "1394",    "ssa",
    "fibre",   "usb",  "raid",  "iscsi",   "sas",     "sata",
    "sd",      "mmc",  "virtual", "filebackedvirtual", "spaces", "nvme",
};

}  // namespace

const char* BusTypeName(uint32_t busType)
{
    return busType < std::size(kBusNames) ? kBusNames[busType] : nullptr;
}

std::optional<uint32_t> BusTypeOfName(const std::string& name)
{
    for (uint32_t busType = 0; busType < std::size(kBusNames); ++busType)
        if (name == kBusNames[busType])
            return busType;
    return std::nullopt;
}
