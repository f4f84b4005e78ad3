#pragma once

#include <QStringList>

#include <vector>

// The order of the questions as the question list shows it, and its writing back. Blocks keep
// their place in the file: reordering only exchanges the numbers in their tag lines.
namespace QuestionOrder {

// The titles of blocks 0, 1, 2... (the text after "TITLE ", at most 255 characters), up to the
// first missing block number. Row k is block k.
QStringList listedTitles(const QStringList &lines);

// Gives the block numbered order[k] the number k, for every k, by rewriting the digits of its
// tag lines (letter case and every other line stay as they are). `order` must be a permutation
// of 0 to order.size() - 1. Returns true when a line changed.
bool apply(QStringList &lines, const std::vector<int> &order);

} // namespace QuestionOrder
