#pragma once
// Result codes of a firmware download and the texts the user sees for them.

// 0 or a negative code; there is no -3.
constexpr int kFwOk = 0;
constexpr int kFwPathEmpty = -1;
constexpr int kFwSizeZero = -2;       // includes a missing file
constexpr int kFwOpenFailed = -4;
constexpr int kFwNoMemory = -5;
constexpr int kFwReadFailed = -6;
constexpr int kFwCommandFailed = -7;  // a drive command failed; nothing was sent after it
constexpr int kFwTooLarge = -8;       // more sectors than the 16-bit offset field can address

// The text shown when no update is offered.
constexpr const char* kFwLatestText = "已是最新版本无需升级";
// The text shown for an NVMe drive: the maker's images are for its SATA drives.
constexpr const char* kFwNvmeText = "NVMe硬盘不支持固件升级";
// The text shown when another program is updating the same drive.
constexpr const char* kFwBusyText = "另一个程序正在升级此磁盘的固件，请等它结束后再试";
// The text shown when the administrator's password for the update was refused or not given.
constexpr const char* kFwNotAuthorisedText = "升级固件需要管理员密码，未获授权，没有发送任何数据";

// Which of the page's two message boxes shows a text: ShowSuccess uses the
// icon ":/Quillfence/Resources/icon1.png", ShowNotice ":/Quillfence/Resources/icon2.png".
enum class FwDialog { Success, Notice };

struct FwMessage {
    FwDialog dialog;
    const char* text;  // UTF-8
};

// The message of a result code; any code without its own text is a command error.
FwMessage FwResultMessage(int code);
