#pragma once

#include <QByteArray>

#include <optional>

// Qt's SVG renderer opens whatever file an <image> names, on the thread that parses the
// drawing: a FIFO or a terminal there blocks it for good, and an embedded SVG picture is
// parsed the same way with its own references. A drawing shown by the program therefore keeps
// only what it holds itself: references to its own elements ("#id") and embedded raster
// pictures (PNG, JPEG, GIF, BMP, WebP as "data:...;base64,"). Every other reference is dropped
// (an <image> naming a file goes whole), and the rest of the drawing stays as it was.
//
// Returns the drawing unchanged when it refers to nothing outside itself, the drawing without
// those references otherwise, and nothing when it is not well-formed XML (whatever a renderer
// would make of a broken file, this check could not vouch for it).
std::optional<QByteArray> svgWithoutOutsideReferences(const QByteArray &svg);
