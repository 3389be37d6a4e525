#pragma once
// Result codes of a firmware download and the texts the user sees for them:
// marked texts of the context "firmware", translated where they are shown.

#include "common/UiText.h"

// 0 or a negative code; there is no -3.
constexpr int kFwOk = 0;
constexpr int kFwPathEmpty = -1;
constexpr int kFwSizeZero = -2;       // includes a missing file
constexpr int kFwOpenFailed = -4;
constexpr int kFwNoMemory = -5;
constexpr int kFwReadFailed = -6;
constexpr int kFwCommandFailed = -7;  // a drive command failed; nothing was sent after it
constexpr int kFwTooLarge = -8;       // more sectors than the 16-bit offset field can address
// The drive was no longer the device read when the first command was to go:
// nothing was sent.
constexpr int kFwDriveChanged = -9;

// The text shown when no update is offered.
constexpr const char* kFwLatestText = QF_TEXT("firmware", "已是最新版本无需升级");
// The text shown for an NVMe drive: the maker's images are for its SATA drives.
constexpr const char* kFwNvmeText = QF_TEXT("firmware", "NVMe硬盘不支持固件升级");
// The text shown for the system disk, which the window lists only on request:
// a drive the running system lives on is never sent an image.
constexpr const char* kFwSystemDiskText = QF_TEXT("firmware", "此磁盘是系统盘，不能升级固件，没有发送任何数据");
// The texts of an update that sent nothing because the drive could not be
// had: each names the cause and says that nothing was sent.
// Another program is updating the same drive.
constexpr const char* kFwBusyText = QF_TEXT("firmware", "另一个程序正在升级此磁盘的固件，没有发送任何数据，请等它结束后再试");
// The administrator's password for the update was refused or not given.
constexpr const char* kFwNotAuthorisedText = QF_TEXT("firmware", "升级固件需要管理员密码，未获授权，没有发送任何数据");
// The drive is gone, or another disk stands under its number.
constexpr const char* kFwDriveChangedText = QF_TEXT("firmware", "此磁盘已移除或已换成另一块磁盘，没有发送任何数据，请刷新后再试");
// The drive could not be opened for lack of rights.
constexpr const char* kFwNoAccessText = QF_TEXT("firmware", "没有打开此磁盘的权限，没有发送任何数据");
// The drive could not be opened or locked for another reason.
constexpr const char* kFwNotOpenedText = QF_TEXT("firmware", "无法打开或锁定此磁盘，没有发送任何数据");

// Which of the page's two message boxes shows a text: ShowSuccess uses the
// icon ":/Quillfence/Resources/icon1.png", ShowNotice ":/Quillfence/Resources/icon2.png".
enum class FwDialog { Success, Notice };

struct FwMessage {
    FwDialog dialog;
    const char* text;  // UTF-8
};

// The message of a result code; any code without its own text is a command error.
FwMessage FwResultMessage(int code);
