#pragma once
// What the left half of the main window says where it has no partition bars
// to show. The label keeps the form's look (微软雅黑 30 pt, light blue on the
// gradient); each state brings its own short text. A new state is one row
// here and one call of MainWin::showEmptyState. The texts are translated in
// the context "MainWin".

#include <QtGlobal>

enum class EmptyState {
    Reading,      // the first list of disks is still being read
    NoDisk,       // no disk besides the system disk, or the list could not be read
    SystemDiskLeftOut,  // the system disk is the only disk: a button offers to show it
    NoRights,     // disks are there, but none could be opened for lack of rights
    NotAuthorised,  // the administrator's password was refused or not given: the refresh asks again
    NoPartition,  // the selected disk has no lettered partition
};

struct EmptyStateText {
    EmptyState state;
    const char* text;  // UTF-8
};

inline constexpr EmptyStateText kEmptyStateTexts[] = {
    {EmptyState::Reading, QT_TRANSLATE_NOOP("MainWin", "正在读取磁盘…")},
    {EmptyState::NoDisk, QT_TRANSLATE_NOOP("MainWin", "未检测到磁盘")},
    {EmptyState::SystemDiskLeftOut, QT_TRANSLATE_NOOP("MainWin", "系统盘未列出")},
    {EmptyState::NoRights, QT_TRANSLATE_NOOP("MainWin", "需要管理员权限")},
    {EmptyState::NotAuthorised, QT_TRANSLATE_NOOP("MainWin", "读取磁盘需要管理员密码")},
    {EmptyState::NoPartition, QT_TRANSLATE_NOOP("MainWin", "未能检测分区")},
};
