#pragma once

// The user interface names the Windows font families "微软雅黑", "黑体" and
// "宋体", which other systems do not have. Maps each of them to an installed
// CJK font so every Chinese text renders as glyphs. Call once, right after
// the application object is created and before any widget is built.
void installCjkFontSubstitutes();
