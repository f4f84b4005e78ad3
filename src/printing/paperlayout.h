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
    struct Fonts
    {
        QFont heading, title, text;
    };
    static Fonts fonts();

    static PaperLayout layOut(const QString &name, const std::vector<PaperQuestion> &questions, const QSizeF &area,
                              bool answerKey);

    std::vector<PaperItem> items;
    int pageCount = 0;
};
