// The simulation's failures as errno values, as the Linux backend reports them.

#include "disk/simulated/SimulatedStorage.h"

#include <cerrno>

const uint32_t SimulatedStorage::kErrorInvalidFunction = ENOTTY;
const uint32_t SimulatedStorage::kErrorFileNotFound = ENOENT;
const uint32_t SimulatedStorage::kErrorAccessDenied = EACCES;
const uint32_t SimulatedStorage::kErrorInvalidHandle = EBADF;
const uint32_t SimulatedStorage::kErrorWriteFault = EIO;
const uint32_t SimulatedStorage::kErrorSharingViolation = EBUSY;
const uint32_t SimulatedStorage::kErrorNotSupported = EOPNOTSUPP;
const uint32_t SimulatedStorage::kErrorInsufficientBuffer = ERANGE;
