#pragma once

#include "printing/paperlayout.h"

#include <QCoreApplication>
#include <QStringList>

#include <vector>

class PictureRegistry;
class QPagedPaintDevice;
class QPainter;

// A picture the paper test could not draw.
struct PictureProblem
{
    int question;    // from 0
    QString picture; // as the question names it
    QString reason;  // the French reason the picture gave
};

// A questionnaire made ready for paper: its questions read from the document's lines and the
// size of each picture, then drawn page by page on a printer or a PDF writer. A picture is read
// again for the page it stands on, decoded no larger than it is printed, and let go with that
// page. One that cannot be drawn is named on the page, in its place, and in pictureProblems().
class PaperTest
{
    Q_DECLARE_TR_FUNCTIONS(PaperTest)

public:
    // `pictures` must outlive the paper test. Pictures whose stored path leads nowhere are looked
    // for in `pictureFolder` (PictureLocation), as in a run.
    PaperTest(const QString &name, const QStringList &document, const PictureRegistry &pictures,
              const QString &pictureFolder = QString());
    // Questions already read (a copy's, in its own order): each picture path as the question names
    // it, already resolved; only their sizes are read here.
    PaperTest(const QString &name, std::vector<PaperQuestion> questions, std::vector<QString> picturePaths,
              const PictureRegistry &pictures);
    ~PaperTest();

    const std::vector<PaperQuestion> &questions() const { return m_questions; }

    // Lays the pages out for the device's printable area, then draws them; returns the layout.
    PaperLayout print(QPagedPaintDevice &device, bool answerKey);

    // Draws one item of a layout whose points are the painter's units; `dotsPerPoint` is the
    // device's resolution, for the pictures. A picture item's question is its index here.
    void drawItem(QPainter &painter, const PaperItem &item, qreal dotsPerPoint);

    // The pictures that could not be drawn, found on reading the questions or while printing;
    // one per question, in the order found.
    const std::vector<PictureProblem> &pictureProblems() const { return m_problems; }
    // The warning that names the problems not told yet, or nothing; they are told from then on.
    QString untoldPictureProblems();

private:
    void measurePictures();
    void drawPicture(QPainter &painter, const PaperItem &item, qreal dotsPerPoint);
    // Records the problem (once per question) and returns the text printed in the picture's place.
    QString noteProblem(int question, const QString &reason);

    QString m_name;
    const PictureRegistry &m_registry;
    std::vector<PaperQuestion> m_questions;
    std::vector<QString> m_picturePaths; // as each question names it, possibly empty
    std::vector<PictureProblem> m_problems;
    size_t m_told = 0;
};
