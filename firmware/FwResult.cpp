#include "firmware/FwResult.h"

namespace {

struct ResultText {
    int code;
    const char* text;
};

constexpr ResultText kResultTexts[] = {
    {kFwPathEmpty, "升级文件路径为空"},
    {kFwSizeZero, "升级文件大小为0"},
    {kFwOpenFailed, "升级文件句柄打开失败"},
    {kFwNoMemory, "内存申请失败"},
    {kFwReadFailed, "读升级文件失败"},
    {kFwTooLarge, "升级文件过大"},
    {kFwDriveChanged, kFwDriveChangedText},
};

constexpr const char* kSuccessText = "固件升级成功";
constexpr const char* kCommandErrorText = "固件升级命令交互出错";

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
