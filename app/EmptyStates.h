#pragma once
// What the left half of the main window says where it has no partition bars
// to show. The label keeps the form's look (微软雅黑 30 pt, light blue on the
// gradient); each state brings its own short text. A new state is one row
// here and one call of MainWin::showEmptyState.

enum class EmptyState {
    Reading,      // the first list of disks is still being read
    NoDisk,       // no disk besides the system disk, or the list could not be read
    NoRights,     // disks are there, but none could be opened for lack of rights
    NotAuthorised,  // the administrator's password was refused or not given: the refresh asks again
    NoPartition,  // the selected disk has no lettered partition
};

struct EmptyStateText {
    EmptyState state;
    const char* text;  // UTF-8
};

inline constexpr EmptyStateText kEmptyStateTexts[] = {
    {EmptyState::Reading, "正在读取磁盘…"},
    {EmptyState::NoDisk, "未检测到磁盘"},
    {EmptyState::NoRights, "需要管理员权限"},
    {EmptyState::NotAuthorised, "读取磁盘需要管理员密码"},
    {EmptyState::NoPartition, "未能检测分区"},
};
