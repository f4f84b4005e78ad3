#pragma once

#include <QRect>
#include <QSize>

// Placement rules for a picture in a box, kept apart from the widgets so tests drive them.

// The fitting rule of the question sheet's picture box (Echelle): the picture is stretched over
// the whole box only when it is larger than the box in both directions.
bool echelleStretches(QSize box, QSize picture);

// Where a picture is drawn in a box: the whole box when stretched; otherwise at its own size,
// centred or from the top left corner. Parts outside the box are cut by the caller's clip.
QRect pictureRectInBox(QSize box, QSize picture, bool stretch, bool center);

// The preview pane of the picture-choice dialog: centred at its own size when it fits; otherwise
// scaled down with its proportions kept from the top left corner, to the pane's width when the
// picture is wider than high and to the pane's height otherwise.
QRect previewRect(QSize pane, QSize picture);
