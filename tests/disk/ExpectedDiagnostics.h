#pragma once
// The disk layer's diagnostics in the scenarios of the disk tests, word for
// word as this platform prints them; each platform's file pins its own.

struct ExpectedDiagnostics {
    // The fleet's system directory cannot be read (the answer does not fit).
    const char* systemDirectoryFault;
    // The system directory lies on volume X:, which does not exist.
    const char* systemVolumeMissing;
    // Volume Q: is looked up and does not exist.
    const char* volumeQMissing;
    // Volumes whose drive cannot be told, in letter order: E: refuses the
    // device number, F: cannot be opened, S: (mounted on /srv/pool) spans
    // drives 1 and 2, T: lies on none.
    const char* volumesWithoutDrive;
};

extern const ExpectedDiagnostics kExpectedDiagnostics;
