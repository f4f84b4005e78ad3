#pragma once

#include "printing/copypayload.h"
#include "printing/paperlayout.h"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class ClassQuestionnaire;
class PaperTest;
class PictureRegistry;
class QPagedPaintDevice;
class QPainter;

// One copy to print: its number, the pupil whose name it carries (or none: it then has a box
// for the name) and its version's seed.
struct PrintedCopy
{
    int number = 1;
    QString pupil;
    quint64 seed = 0;
    // For the invigilator, on the first page: the pupil's extra time ("Temps majoré : +33 %
    // (1 h 14 min au lieu de 55 min)"); empty for none.
    QString timeNote{}; // braced, so that a copy made of its first three fields leaves it empty without a warning
};

// One page of a copy: what its code says, and the questions drawn on it (boxes beside the
// answers only), in points from the paper's corner. The items' question is the questionnaire's
// own number.
struct CopyPage
{
    CopyPayload payload;
    std::vector<PaperItem> items;
};

// Copies of a questionnaire to be marked from a scan. Each page carries the four corner marks
// and a code naming the questionnaire, the copy, the page and the version, so pages are read
// alone and in any order. With boxes beside the answers, each copy comes in its own version
// (the class engine's, from its seed) when the settings shuffle; with the answer sheet, every
// pupil answers one booklet, printed once after the sheets, in the questionnaire's order.
class PaperCopies
{
    Q_DECLARE_TR_FUNCTIONS(PaperCopies)

public:
    using SeedSource = std::function<quint64()>;
    // Seeds a copy's code carries in ten characters or fewer.
    static constexpr quint64 SeedMask = (quint64(1) << 48) - 1;

    // `pictures` must outlive the copies. Pictures are looked for as in a run.
    PaperCopies(const QString &name, std::shared_ptr<const ClassQuestionnaire> questionnaire,
                const PictureRegistry &pictures, const QString &pictureFolder = QString());
    ~PaperCopies();

    // Copies numbered from 1, or one per pupil in the list's order; each its own seed.
    static std::vector<PrintedCopy> numbered(int count, const SeedSource &seeds);
    static std::vector<PrintedCopy> forPupils(const QStringList &pupils, const SeedSource &seeds);

    // The pages of one copy. Throws AppError, in French, when the questionnaire cannot be
    // printed that way (no question; more questions than the answer sheet holds; a page with
    // more boxes than its code can say).
    std::vector<CopyPage> layOut(const PrintedCopy &copy, CopyLayout layout) const;
    // The booklet of the answer-sheet layout: the questions in order, answers numbered as in
    // the questionnaire, no boxes; pages of the paper's whole area.
    PaperLayout bookletLayout() const;

    // Every copy, one after the other (then the booklet for the answer sheet), on the whole
    // A4 sheet whatever the device's margins. Throws AppError as layOut() does, before
    // anything is drawn.
    void print(QPagedPaintDevice &device, const std::vector<PrintedCopy> &copies, CopyLayout layout);

    // Pictures that could not be drawn, named as the paper test names them.
    QString untoldPictureProblems();

    // How to tick, on a copy's first page: a questionnaire with questions of several right
    // answers says where more than one box may be blackened.
    QString instructionsText(CopyLayout layout) const;
    // What an answer sheet's row says right of the boxes of a question with several right answers.
    static QString sheetNoteText();

private:
    void drawCopyPage(QPainter &painter, const PrintedCopy &copy, const CopyPage &page, qreal dotsPerPoint);
    void drawBookletPage(QPainter &painter, const PaperLayout &booklet, int pageIndex, qreal dotsPerPoint);
    std::vector<CopyPage> besidePages(const PrintedCopy &copy) const;
    std::vector<CopyPage> sheetPages(const PrintedCopy &copy) const;
    CopyPayload payloadFor(const PrintedCopy &copy, CopyLayout layout) const;

    QString m_name;
    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    QString m_fingerprint;
    bool m_severalAnswers = false; // some question has several right answers
    std::unique_ptr<PaperTest> m_test; // the questions in the questionnaire's order, pictures measured
};
