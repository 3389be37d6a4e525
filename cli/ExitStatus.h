#pragma once
// The exit status of quillfence-cli: bits, set together where several things
// happened, so that a script can tell a drive that could not be read from
// one that reads well and warns.

constexpr int kExitOk = 0;
// The disk list could not be read, or a drive could not be opened or
// identified (IDENTIFY DEVICE failed).
constexpr int kExitDeviceUnreadable = 1;
// The command line could not be parsed.
constexpr int kExitUsage = 2;
// A command to a drive failed: SMART READ DATA or SMART READ THRESHOLDS got
// no answer.
constexpr int kExitCommandFailed = 4;
// A SMART value is over its limit (or a capacitor at risk or abnormal), or
// the health level is 警告.
constexpr int kExitWarning = 8;
// The metrics could not be written to their file, or a sample to the
// health history.
constexpr int kExitOutputFailed = 16;
