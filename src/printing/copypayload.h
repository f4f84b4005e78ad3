#pragma once

#include "printing/copygeometry.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// What the code printed on each page of a copy says: which questionnaire (its fingerprint),
// which copy, which page of how many, which version (its seed), and where the boxes beside the
// answers stand on that page. With it, a page is read alone, in any order, by a program that
// has the questionnaire. Written as a short text of upper-case letters, digits and colons, the
// characters a QR code packs tightest; a printed pupil's name, on the first page, follows as is.
struct CopyPayload
{
    static constexpr int MaxCopy = 9999;
    static constexpr int MaxPages = 99;
    static constexpr int MaxBoxesPerPage = 200;
    static constexpr int MaxFirstBox = 1000000;
    static constexpr int MaxPupilBytes = 120;

    CopyLayout layout = CopyLayout::BoxesBeside;
    QString fingerprint;       // sixteen lower-case hexadecimal digits
    int copy = 1;              // 1 to MaxCopy
    int page = 1;              // 1 to pageCount
    int pageCount = 1;
    quint64 seed = 0;
    // Boxes beside the answers: the place, among all the copy's boxes in the order printed, of
    // this page's first box, and the top of each of its boxes in whole points.
    int firstBox = 0;
    std::vector<int> boxTops;
    QString pupil;             // the name printed on the copy, on its first page; else empty

    QByteArray encode() const;
    // Nothing when the text is not one this program writes, or names impossible values.
    static std::optional<CopyPayload> decode(const QByteArray &text);
    // Whether the text begins as this program's codes do, whatever its version and layout: a
    // page printed by another version is then named as such rather than as a stranger's.
    static bool isOurs(const QByteArray &text);

    bool operator==(const CopyPayload &other) const;
};
