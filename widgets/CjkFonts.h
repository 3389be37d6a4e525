#pragma once

// The user interface names the Windows font families "微软雅黑", "黑体" and
// "宋体", which other systems do not have. Maps each of them to the first
// installed CJK font of its candidates, so every Chinese text renders as
// glyphs and no lookup tries fonts that are not there. Call once, right
// after the application object is created and before any widget is built.
void installCjkFontSubstitutes();
