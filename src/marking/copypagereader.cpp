#include "marking/copypagereader.h"

#include "classroom/classquestionnaire.h"
#include "classroom/classversion.h"
#include "marking/scannedpage.h"
#include "printing/copygeometry.h"

using namespace CopyGeometry;

namespace {

// A picture of a question reaches this far around its boxes, and this far right of them: the
// start of the answers' texts, enough to tell them apart, without a page's width of paper.
constexpr qreal PictureMargin = 6;
constexpr qreal PictureWidth = 300;

ReadQuestion &questionFor(ReadPage &page, int question, int position, int boxCount)
{
    if (page.questions.empty() || page.questions.back().question != question)
        page.questions.push_back({question, position, boxCount, {}, QRectF()});
    return page.questions.back();
}

void readBeside(ReadPage &page, const ScannedPage &scan, const ClassQuestionnaire &questionnaire)
{
    const CopyPayload &payload = scan.payload();
    const std::vector<CopyPageReader::PrintedBox> boxes =
        CopyPageReader::printedBoxes(questionnaire, CopyLayout::BoxesBeside, payload.seed);
    if (size_t(payload.firstBox) + payload.boxTops.size() > boxes.size()) {
        page.problem = ReadPage::Problem::Inconsistent;
        return;
    }
    const QRectF column(questionsArea(1).left(), 0, PictureWidth, 0);
    for (size_t i = 0; i < payload.boxTops.size(); ++i) {
        const CopyPageReader::PrintedBox &printed = boxes[size_t(payload.firstBox) + i];
        const QRectF place(besideBoxLeft(), payload.boxTops[i], besideBoxSide(), besideBoxSide());
        ReadQuestion &question = questionFor(page, printed.question, printed.position,
                                             int(questionnaire.question(printed.question).answerNumbers().size()));
        question.boxes.push_back({printed.answer, place, scan.measure(place)});
        const QRectF line(column.left(), place.top() - PictureMargin, column.width(), place.height() + 2 * PictureMargin);
        question.area = question.area.isNull() ? line : question.area.united(line);
    }
}

void readSheet(ReadPage &page, const ScannedPage &scan, const ClassQuestionnaire &questionnaire)
{
    const CopyPayload &payload = scan.payload();
    const int first = (payload.page - 1) * SheetSlotsPerPage;
    const int pages = (questionnaire.size() + SheetSlotsPerPage - 1) / SheetSlotsPerPage;
    if (payload.pageCount != pages) {
        page.problem = ReadPage::Problem::Inconsistent;
        return;
    }
    const int slots = std::min(SheetSlotsPerPage, questionnaire.size() - first);
    for (int slot = 0; slot < slots; ++slot) {
        const int number = first + slot;
        const std::vector<int> answers = questionnaire.question(number).answerNumbers();
        ReadQuestion &question = questionFor(page, number, number, int(answers.size()));
        for (int answer : answers) {
            const QRectF place = sheetBox(slot, answer);
            question.boxes.push_back({answer, place, scan.measure(place)});
        }
        const QRectF numberArea = sheetNumber(slot);
        question.area = QRectF(QPointF(numberArea.left(), numberArea.top()),
                               QPointF(sheetBox(slot, 5).right() + PictureMargin, numberArea.bottom()));
    }
}

} // namespace

namespace CopyPageReader {

ClassSettings settingsFor(const ClassQuestionnaire &questionnaire, CopyLayout layout)
{
    ClassSettings settings = questionnaire.settings();
    if (layout == CopyLayout::AnswerSheet) {
        settings.shuffleQuestions = settings.shuffleAnswers = false;
        // The sheet answers the whole booklet: it is never printed under a draw, and one
        // printed before a draw was set is still read whole.
        settings.draw = ClassSettings::Draw::None;
    }
    return settings;
}

std::vector<PrintedBox> printedBoxes(const ClassQuestionnaire &questionnaire, CopyLayout layout, quint64 seed)
{
    const ClassVersion version = ClassVersion::build(questionnaire, settingsFor(questionnaire, layout), seed);
    std::vector<PrintedBox> boxes;
    for (int position = 0; position < version.size(); ++position) {
        const int question = version.questionAt(position);
        for (int answer : version.shownAnswers(question))
            boxes.push_back({question, position, answer});
    }
    return boxes;
}

ReadPage read(const ScannedPage &scan, const ClassQuestionnaire &questionnaire, const QString &fingerprint)
{
    ReadPage page;
    page.payload = scan.payload();
    if (page.payload.fingerprint != fingerprint) {
        page.problem = ReadPage::Problem::OtherQuestionnaire;
        return page;
    }
    if (page.payload.layout == CopyLayout::BoxesBeside)
        readBeside(page, scan, questionnaire);
    else
        readSheet(page, scan, questionnaire);
    if (page.problem != ReadPage::Problem::None)
        page.questions.clear();
    return page;
}

} // namespace CopyPageReader
