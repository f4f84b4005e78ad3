#pragma once

#include "document/classsettings.h"
#include "marking/boxdecision.h"
#include "printing/copypayload.h"

#include <QRectF>

#include <vector>

class ClassQuestionnaire;
class ScannedPage;

// One box of a copy as read: the answer it stands for, in the questionnaire's own numbering
// whatever the order printed, its place on the page (points) and how dark it is.
struct ReadBox
{
    int answer = 0;
    QRectF place;
    BoxMeasure measure;
};

// The boxes of one question on one page (a question taller than a page has them on two).
struct ReadQuestion
{
    int question = 0; // the questionnaire's number, from 0
    int position = 0; // the printed number, from 0
    // How many boxes the question has on all pages: those read here may be fewer.
    int boxCount = 0;
    std::vector<ReadBox> boxes;
    // What a picture of the question on this page shows: its boxes and their answers' texts.
    QRectF area;
};

// A scanned copy's page read with the questionnaire it was printed from: every box its code
// places, measured, by question.
struct ReadPage
{
    enum class Problem {
        None,
        // Another questionnaire's copy, or this questionnaire's changed since the copies were
        // printed: its fingerprint is not the questionnaire's.
        OtherQuestionnaire,
        // The right fingerprint but boxes the questionnaire does not have: a code damaged in a
        // way its error correction did not see.
        Inconsistent,
    };

    Problem problem = Problem::None;
    CopyPayload payload;
    std::vector<ReadQuestion> questions;
};

namespace CopyPageReader {

// `fingerprint` is the questionnaire's, computed once by the caller.
ReadPage read(const ScannedPage &page, const ClassQuestionnaire &questionnaire, const QString &fingerprint);

// The settings a copy's version was drawn with: the questionnaire's, except that the answer
// sheet keeps the questionnaire's order and all its questions, since all pupils share one
// booklet.
ClassSettings settingsFor(const ClassQuestionnaire &questionnaire, CopyLayout layout);

// The boxes a copy's version prints, in the order printed: by position, then by place.
struct PrintedBox
{
    int question = 0;
    int position = 0;
    int answer = 0;
};
std::vector<PrintedBox> printedBoxes(const ClassQuestionnaire &questionnaire, CopyLayout layout, quint64 seed);

} // namespace CopyPageReader
