#pragma once

#include <QStringList>

#include <vector>

// Where every block starts, found in one pass: for each block number, the first line that the
// whole-line block search would find (-1 when the number has no block). Commands that visit
// every question use it instead of one search per question, which would be quadratic.
std::vector<int> firstOpeningLines(const QStringList &lines);
