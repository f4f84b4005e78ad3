#pragma once

#include "classroom/classquestionnaire.h"
#include "classroom/classrunrecord.h"
#include "marking/boxdecision.h"
#include "marking/copypagereader.h"
#include "printing/copygeometry.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QImage>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ScanFile;
class ScanReading;
class ScannedPage;

// Where a scanned page came from: "copies.pdf, page 3".
struct PageSource
{
    QString file; // as named to the teacher: the file's name
    int page = 1; // from 1

    QString text() const;
};

// One question of a copy as read, over all the pages its boxes stand on.
struct CopyQuestion
{
    int question = 0; // the questionnaire's number, from 0
    int position = 0; // the printed number, from 0
    int boxCount = 0; // boxes printed for it
    std::vector<ReadBox> boxes;
    // The question has several right answers: several boxes ticked are its answer, not a doubt.
    bool severalAllowed = false;
    QuestionReading reading;
    // The teacher's answer when the reading was doubtful, in the questionnaire's numbering: one
    // answer at most on a one-answer question, 0 for none.
    std::optional<AnswerSet> settled;
    // For doubtful questions: the question on the scan, upright, and where each box stands on
    // that picture (pixels), in the order of `boxes`.
    QImage picture;
    std::vector<QRectF> boxesInPicture;

    // "cases 2 et 4 noircies", "case 3 entourée": what makes it doubtful, by the boxes' places.
    QString doubtText() const;

    bool complete() const { return int(boxes.size()) >= boxCount; }
    bool waiting() const { return !settled && reading.kind == QuestionReading::Kind::Doubtful; }
    // The answers kept, in the questionnaire's numbering (0: none); the proposal while waiting.
    AnswerSet answers() const;
    // The first of them (1 to 5), 0 for none.
    int answer() const { return AnswerSets::first(answers()); }
    // The answers once the teacher clicks box `index`: where several answers may be right, the
    // box is taken or left and the others kept; elsewhere it is the answer.
    AnswerSet afterClick(int index) const;
};

// A copy as read from its pages.
struct ReadCopy
{
    CopyLayout layout = CopyLayout::BoxesBeside;
    int number = 0;
    quint64 seed = 0;
    int pageCount = 0;
    QString printedPupil;      // the name printed on it, from its code
    QString pupil;             // the name kept: the printed one, or the teacher's choice
    QImage namePicture;        // the name box, for a copy printed without a name
    std::vector<std::optional<PageSource>> pages; // by page; empty for a page not scanned
    std::vector<CopyQuestion> questions;          // in the printed order
    bool kept = false;
    bool keptBefore = false; // already in the results when this pile was read (and so kept)

    std::vector<int> missingPages() const; // from 1
    bool named() const { return !pupil.trimmed().isEmpty(); }
    int waitingCount() const;
    // Complete, nothing doubtful left, named: it can become a run.
    bool ready() const;
    QString title() const; // "Copie n° 3"
};

// A pile of scanned pages marked against one questionnaire, without any window. Pages come one
// at a time, in any order; each is read at once and its image let go. Pages are gathered into
// copies, a page scanned twice is read once, pages of another questionnaire are refused, and
// what could not be read is said. The teacher settles the doubtful questions and names the
// copies without a printed name; ready copies then become class runs.
class MarkingSession
{
    Q_DECLARE_TR_FUNCTIONS(MarkingSession)

public:
    using AlreadyKept = std::function<bool(int copy, quint64 seed)>;

    explicit MarkingSession(std::shared_ptr<const ClassQuestionnaire> questionnaire);

    const ClassQuestionnaire &questionnaire() const { return *m_questionnaire; }

    void addPage(const QImage &image, const PageSource &source);
    // Page `index` (from 0) of a scan file; a page that cannot be decoded is named among the
    // pages not read, with why, and the pile goes on.
    void addPageOf(const ScanFile &scan, int index);
    // A page given that could not even be decoded: it is named with `why`, not lost.
    void addUnreadablePage(const PageSource &source, const QString &why);
    // The same for a page already found and straightened.
    void addPage(const ScannedPage &page, const PageSource &source);

    // Every page given, and those of them read as pages of this questionnaire (a page scanned
    // twice is read, once).
    int pagesGiven() const { return m_pagesGiven; }
    int pagesRead() const;
    // Pages given that were not read: undecodable, not a copy, another questionnaire's.
    int pagesNotRead() const { return m_pagesGiven - pagesRead(); }
    const std::vector<ReadCopy> &copies() const { return m_copies; }

    // Pages not used, each with why: unreadable, another questionnaire, scanned twice.
    struct PageNote
    {
        enum class Kind { Unreadable, OtherQuestionnaire, Duplicate };
        Kind kind;
        PageSource source;
        QString text;    // the French sentence
        QImage thumbnail; // the scan, small, for a page that could not be read
    };
    const std::vector<PageNote> &notes() const { return m_notes; }

    // "Copie n° 3 : page 2 / 3 manquante", one line per copy with pages missing.
    QStringList missingPages() const;
    // Copies numbered below the highest read that have no page read at all, while some pages
    // of the pile could not be read: their pages are likely among those. Copies already in
    // the results (see passOver) are not counted.
    std::vector<int> missingCopies() const;

    // Copies the results already hold are passed over: nothing of them is offered to settle,
    // and keeping adds them no second time. Called after each scan file is read.
    void passOver(const std::function<bool(int copy, quint64 seed)> &alreadyKept);

    // What the teacher looks at: each doubtful question (settled or not yet) and each copy whose
    // name is not printed, in the copies' order.
    struct ReviewItem
    {
        enum class Kind { Question, Name };
        Kind kind;
        int copy;         // index in copies()
        int question;     // the questionnaire's number; -1 for a name
        QString text;     // "Copie n° 3, question 5 : plusieurs cases noircies"
        bool done;        // settled, or named
    };
    std::vector<ReviewItem> reviewItems() const;

    // The teacher's decisions. `answer` in the questionnaire's numbering, 0 for none; refused
    // (false) for a question the copy does not have or an answer it was not offered.
    bool settle(int copyIndex, int question, int answer);
    // The same with every answer ticked: several only on a question with several right answers.
    bool settleAnswers(int copyIndex, int question, AnswerSet answers);
    void setPupil(int copyIndex, const QString &pupil);

    // The records of the ready copies not kept yet, as the class engine marks them.
    std::vector<ClassRunRecord> readyRecords(const QDateTime &when) const;

    // Keeps every ready copy as a run, except those `alreadyKept` knows (the same scans marked
    // twice add nothing twice); returns one French line per copy not kept, and why.
    struct KeepReport
    {
        int kept = 0;
        int alreadyThere = 0;
        QStringList lines;
        QString file; // where the runs went
    };
    KeepReport keep(ClassRunKeeper &keeper, const AlreadyKept &alreadyKept, const QDateTime &when);

    // What is left to the teacher, one French line each, with how to settle it: "Copie n° 12
    // (DUPONT Léa), question 7 : cases 2 et 4 noircies", "Copie n° 3 : nom à lire"; empty when
    // nothing waits. Copies kept or passed over are left out.
    QStringList doubtLines() const;

    // The French summary of the whole pile: pages read, copies, doubts, notes, missing pages
    // and copies.
    QStringList summary() const;

private:
    ReadCopy &copyFor(const CopyPayload &payload);
    void gather(ReadCopy &copy, const ReadPage &page, const ScannedPage &scan);
    ClassRunRecord recordOf(const ReadCopy &copy, const QDateTime &when) const;

    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    QString m_fingerprint;
    std::vector<ReadCopy> m_copies;
    std::vector<PageNote> m_notes;
    int m_pagesGiven = 0;
    std::vector<int> m_keptBefore; // copy numbers the results held already
    const ScanReading *m_reading = nullptr; // loaded with the first page
};
