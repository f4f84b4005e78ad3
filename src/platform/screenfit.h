#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Windows that open at a size of their own (statistics, print preview, file dialogs) must fit
// the screen they open on, enlarged text included: at 200 % a 1366 x 768 screen holds 683 x 384
// of the window's pixels, and a window larger than that, or placed past its edge, hides buttons
// that nothing else reaches.

// The room window may take: the available area (panels and docks left out) of the screen it
// opens on, its parent's when it has one. Empty without a screen.
QRect availableRoom(const QWidget &window);

// Gives window the size wanted, or less where room is smaller, and places it within room,
// centred on its parent's window or on room; placed again with its frame when first shown. The
// window's own smallest size (its layout's) must fit room too: that is the window's to keep.
void fitToScreen(QWidget &window, QSize wanted);
