// The simulation's failures as Windows error numbers, as the Windows backend
// reports them.

#include "disk/simulated/SimulatedStorage.h"

#include <windows.h>

const uint32_t SimulatedStorage::kErrorInvalidFunction = ERROR_INVALID_FUNCTION;
const uint32_t SimulatedStorage::kErrorFileNotFound = ERROR_FILE_NOT_FOUND;
const uint32_t SimulatedStorage::kErrorAccessDenied = ERROR_ACCESS_DENIED;
const uint32_t SimulatedStorage::kErrorInvalidHandle = ERROR_INVALID_HANDLE;
const uint32_t SimulatedStorage::kErrorWriteFault = ERROR_WRITE_FAULT;
const uint32_t SimulatedStorage::kErrorSharingViolation = ERROR_SHARING_VIOLATION;
const uint32_t SimulatedStorage::kErrorNotSupported = ERROR_NOT_SUPPORTED;
const uint32_t SimulatedStorage::kErrorInsufficientBuffer = ERROR_INSUFFICIENT_BUFFER;
