#include "document/blockindex.h"

#include "document/qcmformat.h"

std::vector<int> firstOpeningLines(const QStringList &lines)
{
    std::vector<int> first(QcmFormat::MaxQuestions, -1);
    for (int i = 0; i < int(lines.size()); ++i) {
        const int number = QcmFormat::openingTagNumber(lines.at(i));
        if (number >= 0 && first[size_t(number)] < 0)
            first[size_t(number)] = i;
    }
    return first;
}
