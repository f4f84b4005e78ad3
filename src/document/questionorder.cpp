#include "document/questionorder.h"

#include "document/blockindex.h"
#include "document/qcmformat.h"

using namespace QcmFormat;

namespace QuestionOrder {

QStringList listedTitles(const QStringList &lines)
{
    const std::vector<int> first = firstOpeningLines(lines);
    QStringList titles;
    for (int number = 0; number < MaxQuestions && first[size_t(number)] >= 0; ++number) {
        const int titleLine = first[size_t(number)] + TitleLine;
        // A tag on the document's last line has no title line: its title is empty.
        titles.append(titleLine < int(lines.size()) ? lines.at(titleLine).mid(TitleKeyword.size(), MaxFieldLength)
                                                     : QString());
    }
    return titles;
}

bool apply(QStringList &lines, const std::vector<int> &order)
{
    // Every tag line carrying a listed number is renumbered, duplicates and stray tags included:
    // a one-to-one renaming keeps the first block of each number first, so no question can end
    // up hidden behind another, and the tag balance and count stay as they were.
    const int listed = int(order.size());
    std::vector<int> newNumber(size_t(listed), -1);
    for (int row = 0; row < listed; ++row) {
        const int block = order[size_t(row)];
        if (block < 0 || block >= listed || newNumber[size_t(block)] >= 0)
            return false; // not an order of the listed blocks: nothing is touched
        newNumber[size_t(block)] = row;
    }

    bool changed = false;
    for (QString &line : lines) {
        int number = openingTagNumber(line);
        if (number < 0)
            number = closingTagNumber(line);
        if (number < 0 || number >= listed || newNumber[size_t(number)] == number)
            continue;
        line = renumberedTag(line, newNumber[size_t(number)]);
        changed = true;
    }
    return changed;
}

} // namespace QuestionOrder
