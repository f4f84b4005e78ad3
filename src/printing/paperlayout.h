#pragma once

#include "document/qcmformat.h"

#include <QCoreApplication>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

// One question as it is printed.
struct PaperQuestion
{
    QString title;
    QSizeF pictureSize;    // empty: no picture drawn
    QString pictureProblem; // a picture named but not drawable: this text is printed in its place
    QStringList freeText;   // the statement part: what the pupil reads before answering
    QStringList correction; // printed on the answer key only
    std::array<QString, QcmFormat::AnswerCount> answers; // empty: no answer at that number
    std::optional<int> solution;
    // Every right answer of a question that has several (solution is the first of them), empty
    // for a one-answer question: its title then says "plusieurs réponses possibles", never which.
    std::vector<int> solutions;

    bool severalAnswers() const { return solutions.size() >= 2; }
};

// One thing drawn on a page, in points from the page's printable area's top left corner.
struct PaperItem
{
    enum Kind { Heading, NameField, QuestionTitle, Picture, MissingPicture, FreeText, Answer, CheckBox, Footer, KeyHeading,
                KeyLine };
    Kind kind;
    int page;          // from 0
    QRectF rect;
    QString text;
    int question = -1; // index of the question it belongs to, -1 for page furniture
};

// The paper test: a header with lines for the pupil's name, first name, class and date; then
// each question with its number and title, picture (in proportion, at most a third of the width
// and of the height; the name of one that cannot be drawn), free text and answers "1)" to "5)" each with a box to tick; "Page n / N"
// at the foot of every page; and, when asked, the answer key on pages of its own at the end,
// followed by the questions' corrections.
// A question starts on a new page rather than be split, unless it is taller than a whole page.
//
// A function of the questions and the page's printable size, so that tests check the pages
// without printing; measured with fonts in pixel sizes, which the painter draws one point each.
class PaperLayout
{
    Q_DECLARE_TR_FUNCTIONS(PaperLayout)

public:
    // What a question with several right answers says beside its title, on every paper.
    static QString severalAnswersNote();
    // The question's heading as printed: "3. Quels nombres sont pairs ? (plusieurs réponses
    // possibles)".
    static QString heading(int number, const PaperQuestion &question);

    struct Fonts
    {
        QFont heading, title, text;
    };
    static Fonts fonts();

    // The box to tick beside each answer, in points.
    static constexpr qreal BoxSize = 9;
    // Answers, their boxes and the free text stand this far right of the title.
    static constexpr qreal Indent = 18;

    static PaperLayout layOut(const QString &name, const std::vector<PaperQuestion> &questions, const QSizeF &area,
                              bool answerKey);
    // The questions alone, without header, footers or key, for pages whose furniture is drawn by
    // someone else: the first page's questions start `firstPageTop` points down the area.
    static PaperLayout layOutQuestions(const std::vector<PaperQuestion> &questions, const QSizeF &area,
                                       qreal firstPageTop);

    std::vector<PaperItem> items;
    int pageCount = 0;
};
