#pragma once
// The sliding of the switched pages. A page grows upwards from the line y of
// the main window to its full height and collapses back onto that line; the
// main window's toolbar strip moves with it.

class QWidget;

// Shows the page and animates its geometry over 200 ms from height 0 at y
// to `pageHeight` with its bottom edge at y - 1, x 1 and the parent's width
// less 2; then calls the main window's toolbarSlideUp().
void slidePageIn(QWidget* page, int y, int pageHeight);

// The reverse animation; the page is hidden when it finishes. Then calls the
// main window's toolbarSlideDown().
void slidePageOut(QWidget* page, int y, int pageHeight);
