#pragma once
// Marks a user-visible text of the Qt-free code for translation. The text
// stays Chinese, the source language, in the code, in the JSON output and in
// stored files; it is translated where it is shown: in the window through
// QCoreApplication::translate(context, text), in quillfence-cli through
// uiText(context, text). lupdate finds the marked texts (it is run with
// -tr-function-alias QT_TRANSLATE_NOOP+=QF_TEXT), so every such text lands
// in the translation file under its context.
//
//     constexpr const char* kBusy = QF_TEXT("firmware", "另一个程序正在升级此磁盘的固件…");

#define QF_TEXT(context, text) text
