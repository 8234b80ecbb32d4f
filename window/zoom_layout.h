// Zooming a window laid out in fixed pixel positions: every child's
// geometry and pixel font scaled from those it had at zoom 1.
#pragma once

class QWidget;

// Scales `parent`'s fixed size and its direct children's geometries, and the
// pixel size of every font set on them, to `factor` times those they had
// when first zoomed.
void zoomLayout(QWidget *parent, int factor);

class QMainWindow;

// What Qt sizes by itself in `window` scaled too: the menu bar's and menus'
// font, and the style's scroll bar arrows, check box indicators and margins.
void zoomChrome(QMainWindow *window, int factor);
