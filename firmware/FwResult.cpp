#include "firmware/FwResult.h"

namespace {

struct ResultText {
    int code;
    const char* text;
};

constexpr ResultText kResultTexts[] = {
    {kFwPathEmpty, QF_TEXT("firmware", "升级文件路径为空")},
    {kFwSizeZero, QF_TEXT("firmware", "升级文件大小为0")},
    {kFwOpenFailed, QF_TEXT("firmware", "升级文件句柄打开失败")},
    {kFwNoMemory, QF_TEXT("firmware", "内存申请失败")},
    {kFwReadFailed, QF_TEXT("firmware", "读升级文件失败")},
    {kFwTooLarge, QF_TEXT("firmware", "升级文件过大")},
    {kFwDriveChanged, kFwDriveChangedText},
};

constexpr const char* kSuccessText = QF_TEXT("firmware", "固件升级成功");
constexpr const char* kCommandErrorText = QF_TEXT("firmware", "固件升级命令交互出错");

}  // namespace

FwMessage FwResultMessage(int code)
{
    if (code == kFwOk)
        return {FwDialog::Success, kSuccessText};
    for (const ResultText& entry : kResultTexts)
        if (entry.code == code)
            return {FwDialog::Notice, entry.text};
    return {FwDialog::Notice, kCommandErrorText};
}
