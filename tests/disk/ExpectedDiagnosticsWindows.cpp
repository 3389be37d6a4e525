// On Windows: the failed call and its error number.

#include "ExpectedDiagnostics.h"

const ExpectedDiagnostics kExpectedDiagnostics = {
    "GetSystemDirectory() Error: 122\n",
    "CreateFile() Error: 2\n",
    "CreateFile() Error: 2\n",
    "IOCTL_STORAGE_GET_DEVICE_NUMBER Error: 1\n"
    "CreateFile() Error: 5\n"
    "IOCTL_STORAGE_GET_DEVICE_NUMBER Error: 1\n"
    "IOCTL_STORAGE_GET_DEVICE_NUMBER Error: 1\n",
};
