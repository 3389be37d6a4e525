// On Linux: the file system or volume and the errno value's text.

#include "ExpectedDiagnostics.h"

const ExpectedDiagnostics kExpectedDiagnostics = {
    "quillfence: the volume mounted on / could not be found: Numerical result out of range\n",
    "quillfence: volume X: could not be looked up: No such file or directory\n",
    "quillfence: volume Q: could not be looked up: No such file or directory\n",
    "quillfence: the disk of volume E: could not be determined: Inappropriate ioctl for device\n"
    "quillfence: volume F: could not be looked up: Permission denied\n"
    "quillfence: the disk of volume S: (/srv/pool) could not be determined: Inappropriate ioctl for device\n"
    "quillfence: the disk of volume T: could not be determined: Inappropriate ioctl for device\n",
};
