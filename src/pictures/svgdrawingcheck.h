#pragma once

#include <QByteArray>
#include <QSize>

#include <chrono>

// Parses and draws the SVG once, the way a picture frame would, on a canvas the size of a large
// frame, and tells whether that took no more processor time than the budget. The window later
// parses and draws the same shapes, so a picture over budget here would freeze it there.
bool drawsWithinBudget(const QByteArray &svg, QSize pictureSize, std::chrono::milliseconds budget);
