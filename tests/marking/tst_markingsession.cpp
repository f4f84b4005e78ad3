#include "markedcorpus.h"

#include "classroom/classrun.h"
#include "classroom/classversion.h"
#include "marking/copypagereader.h"
#include "marking/markingsession.h"
#include "platform/apperror.h"

#include <QTemporaryDir>
#include <QtTest>

#include <map>
#include <set>

using namespace MarkedCorpus;


namespace {

constexpr double Dpi = 150;

struct ListKeeper : ClassRunKeeper
{
    std::vector<ClassRunRecord> kept;
    QString keep(const ClassRunRecord &record) override
    {
        kept.push_back(record);
        return QStringLiteral("essai-resultats.csv");
    }
};

// Answers by question number, in the questionnaire's numbering.
using Answers = std::map<int, std::vector<int>>;

// A printed pile: copies printed to PDF, and pages scanned from it with chosen boxes blackened.
class Pile
{
public:
    Pile(std::shared_ptr<const ClassQuestionnaire> questionnaire, CopyLayout layout, const std::vector<PrintedCopy> &copies)
        : m_questionnaire(std::move(questionnaire)), m_layout(layout), m_copies(copies)
    {
        PaperCopies printer(QStringLiteral("Essai"), m_questionnaire, m_pictures);
        m_pdf = m_dir.filePath(QStringLiteral("copies.pdf"));
        m_pages = print(printer, copies, layout, m_pdf);
    }

    int pageCount(int copy) const { return int(m_pages[size_t(copy)].size()); }

    // Page `page` (from 0) of copy `copy` (an index), scanned with `answers` blackened and
    // `erased` blackened then rubbed out.
    QImage scan(int copy, int page, const Answers &answers, const Answers &erased = {})
    {
        int first = 0;
        for (size_t c = 0; c < size_t(copy); ++c)
            first += pageCount(int(c));
        QImage image = ScanFile(m_pdf).page(first + page, Dpi).convertToFormat(QImage::Format_RGB32);
        const CopyPage &printed = m_pages[size_t(copy)][size_t(page)];
        QRandomGenerator random(quint32(copy * 100 + page));
        for (const auto &[marks, how] : {std::pair{&answers, Mark::Filled}, std::pair{&erased, Mark::Erased}}) {
            for (const auto &[question, chosen] : *marks) {
                for (int answer : chosen) {
                    const QRectF box = boxOf(printed, m_copies[size_t(copy)].seed, question, answer);
                    if (!box.isNull())
                        drawMark(image, QRectF(box.topLeft() * Dpi / 72, box.size() * Dpi / 72), how, random);
                }
            }
        }
        return image;
    }

private:
    QRectF boxOf(const CopyPage &page, quint64 seed, int question, int answer) const
    {
        if (m_layout == CopyLayout::AnswerSheet) {
            const int slot = question - (page.payload.page - 1) * CopyGeometry::SheetSlotsPerPage;
            return slot >= 0 && slot < CopyGeometry::SheetSlotsPerPage ? CopyGeometry::sheetBox(slot, answer) : QRectF();
        }
        const auto boxes = CopyPageReader::printedBoxes(*m_questionnaire, m_layout, seed);
        for (size_t i = 0; i < page.payload.boxTops.size(); ++i) {
            const auto &box = boxes[size_t(page.payload.firstBox) + i];
            if (box.question == question && box.answer == answer)
                return QRectF(CopyGeometry::besideBoxLeft(), page.payload.boxTops[i], CopyGeometry::besideBoxSide(),
                              CopyGeometry::besideBoxSide());
        }
        return {};
    }

    std::shared_ptr<const ClassQuestionnaire> m_questionnaire;
    CopyLayout m_layout;
    std::vector<PrintedCopy> m_copies;
    PictureRegistry m_pictures;
    QTemporaryDir m_dir;
    QString m_pdf;
    std::vector<std::vector<CopyPage>> m_pages;
};

// Right for even questions, the next answer for odd ones.
Answers halfRight(const ClassQuestionnaire &questionnaire)
{
    Answers answers;
    for (const ClassQuestion &question : questionnaire.questions()) {
        const int right = *question.rightAnswer;
        const int count = int(question.answerNumbers().size());
        answers[question.number] = {question.number % 2 == 0 ? right : right % count + 1};
    }
    return answers;
}

PageSource source(int page)
{
    return {QStringLiteral("pile.pdf"), page};
}

} // namespace

class TestMarkingSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pileGatheredIntoCopies();
    void doubtSettledByTheTeacher();
    void printedNameAndAnswerSheet();
    void sameScansMarkedTwice();
    void pagesNotDecodedAreNamed_data();
    void pagesNotDecodedAreNamed();
    void doubtsNamedThenPassedOver();
    void severalTicks_data();
    void severalTicks();
    void drawnCopyReadBackToItsQuestions();
};

void TestMarkingSession::pileGatheredIntoCopies()
{
    const auto questionnaire = MarkedCorpus::questionnaire(16, true);
    const std::vector<PrintedCopy> copies = {{1, QString(), 0xABCDEF}, {2, QString(), 0x123456}};
    Pile pile(questionnaire, CopyLayout::BoxesBeside, copies);
    QVERIFY(pile.pageCount(0) >= 2);
    const Answers answers = halfRight(*questionnaire);
    const auto other = MarkedCorpus::questionnaire(17, true);
    Pile otherPile(other, CopyLayout::BoxesBeside, {{1, QString(), 5}});

    MarkingSession session(questionnaire);
    int scanned = 0;
    // In the copier's order: backwards, a page twice, a stranger, a blank sheet; copy 2's
    // first page never comes.
    for (int page = pile.pageCount(0) - 1; page >= 0; --page)
        session.addPage(pile.scan(0, page, answers), source(++scanned));
    session.addPage(pile.scan(0, 0, answers), source(++scanned));
    session.addPage(otherPile.scan(0, 0, {}), source(++scanned));
    QImage blank(800, 1131, QImage::Format_Grayscale8);
    blank.fill(Qt::white);
    session.addPage(blank, source(++scanned));
    for (int page = 1; page < pile.pageCount(1); ++page)
        session.addPage(pile.scan(1, page, {}), source(++scanned));

    QCOMPARE(session.pagesGiven(), scanned);
    QCOMPARE(session.pagesRead(), scanned - 2); // the stranger and the blank sheet
    QCOMPARE(session.pagesNotRead(), 2);
    QCOMPARE(session.copies().size(), size_t(2));
    QCOMPARE(session.copies()[0].number, 1);
    QStringList notes;
    for (const auto &note : session.notes())
        notes << note.text;
    QCOMPARE(notes, (QStringList{QStringLiteral("pile.pdf, page %1 : Copie n° 1, page 1, déjà lue (pile.pdf, page %2) ; "
                                                "elle ne compte qu'une fois.")
                                     .arg(pile.pageCount(0) + 1)
                                     .arg(pile.pageCount(0)),
                                 QStringLiteral("pile.pdf, page %1 : copie n° 1, page 1, d'un autre questionnaire, ou de "
                                                "celui-ci modifié depuis l'impression des copies. Page refusée.")
                                     .arg(pile.pageCount(0) + 2),
                                 QStringLiteral("pile.pdf, page %1 : les quatre carrés noirs des coins n'y sont pas tous : "
                                                "ce n'est pas une copie, ou la page est coupée ou tachée. Page non lue.")
                                     .arg(pile.pageCount(0) + 3)}));
    QVERIFY(!session.notes()[2].thumbnail.isNull());
    QCOMPARE(session.missingPages(),
             QStringList{QStringLiteral("Copie n° 2 : page 1 / %1 manquante.").arg(pile.pageCount(1))});

    // Copy 1 waits for its name, read by the teacher from the name box's picture.
    const ReadCopy &first = session.copies()[0];
    QVERIFY(!first.namePicture.isNull());
    QCOMPARE(first.waitingCount(), 0);
    QVERIFY(!first.ready());
    session.setPupil(0, QStringLiteral("  MARTIN   Zoé "));
    QVERIFY(session.copies()[0].ready());

    ListKeeper keeper;
    const QDateTime when(QDate(2026, 12, 8), QTime(10, 0));
    const MarkingSession::KeepReport report = session.keep(keeper, {}, when);
    QCOMPARE(report.kept, 1);
    QCOMPARE(report.lines, QStringList{QStringLiteral("Copie n° 2 : pas gardée (1 page manquante, nom à lire).")});
    QCOMPARE(keeper.kept.size(), size_t(1));
    const ClassRunRecord &run = keeper.kept[0];
    QCOMPARE(run.way, ClassRunRecord::Way::Paper);
    QCOMPARE(run.copy, 1);
    QCOMPARE(run.seed, quint64(0xABCDEF));
    QCOMPARE(run.pupil, QStringLiteral("MARTIN Zoé"));
    for (const auto &[question, chosen] : answers)
        QCOMPARE(run.answers[size_t(question)], chosen.front());
    QCOMPARE(run.score.rightCount, 8);
    QCOMPARE(run.score.mark, 10.0);
    // Kept once: asking again adds nothing.
    QCOMPARE(session.keep(keeper, {}, when).kept, 0);
    QCOMPARE(keeper.kept.size(), size_t(1));
}

void TestMarkingSession::doubtSettledByTheTeacher()
{
    const auto questionnaire = MarkedCorpus::questionnaire(5, true);
    Pile pile(questionnaire, CopyLayout::BoxesBeside, {{4, QString(), 99}});
    Answers answers = halfRight(*questionnaire);
    answers[2] = {1, 2};
    MarkingSession session(questionnaire);
    for (int page = 0; page < pile.pageCount(0); ++page)
        session.addPage(pile.scan(0, page, answers), source(page + 1));
    session.setPupil(0, QStringLiteral("BERNARD Paul"));
    const ReadCopy &copy = session.copies().at(0);
    QCOMPARE(copy.waitingCount(), 1);
    const auto doubtful = std::find_if(copy.questions.begin(), copy.questions.end(),
                                       [](const CopyQuestion &q) { return q.waiting(); });
    QCOMPARE(doubtful->question, 2);
    QCOMPARE(doubtful->reading.doubt, QuestionReading::Doubt::SeveralTicked);
    QVERIFY(!doubtful->picture.isNull());
    QCOMPARE(doubtful->boxesInPicture.size(), doubtful->boxes.size());
    for (const QRectF &place : doubtful->boxesInPicture)
        QVERIFY(QRectF(doubtful->picture.rect()).contains(place));
    QVERIFY(!copy.ready());

    QVERIFY(!session.settle(0, 2, 5)); // question 3 has four answers
    QVERIFY(!session.settle(0, 9, 1)); // no question 10
    QVERIFY(session.settle(0, 2, 2));
    QVERIFY(session.copies()[0].ready());
    const std::vector<ClassRunRecord> records = session.readyRecords(QDateTime());
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(records[0].answers[2], 2);
}

void TestMarkingSession::printedNameAndAnswerSheet()
{
    const auto questionnaire = MarkedCorpus::questionnaire(80, true);
    Pile pile(questionnaire, CopyLayout::AnswerSheet, {{1, QStringLiteral("LÉGER Ève"), 7}});
    QCOMPARE(pile.pageCount(0), 2);
    Answers answers = halfRight(*questionnaire);
    answers.erase(79); // left blank
    MarkingSession session(questionnaire);
    session.addPage(pile.scan(0, 1, answers), source(1));
    session.addPage(pile.scan(0, 0, answers), source(2));
    const ReadCopy &copy = session.copies().at(0);
    QCOMPARE(copy.pupil, QStringLiteral("LÉGER Ève"));
    QVERIFY(copy.namePicture.isNull());
    QVERIFY(copy.ready());
    const ClassRunRecord record = session.readyRecords(QDateTime()).at(0);
    QCOMPARE(record.answers[79], 0);
    QCOMPARE(record.answers[78], answers[78].front());
    // The booklet is in the questionnaire's order whatever the settings: so is every sheet.
    QCOMPARE(record.score.rightCount, 40);
    QCOMPARE(record.score.unansweredCount, 1);
}

void TestMarkingSession::sameScansMarkedTwice()
{
    const auto questionnaire = MarkedCorpus::questionnaire(4, false);
    Pile pile(questionnaire, CopyLayout::BoxesBeside, {{1, QStringLiteral("A Léo"), 11}, {2, QStringLiteral("B Lou"), 12}});
    const Answers answers = halfRight(*questionnaire);
    std::vector<QImage> scans = {pile.scan(0, 0, answers), pile.scan(1, 0, answers)};
    ListKeeper keeper;
    // What the results already hold, as a results file tells it.
    const auto inResults = [&keeper](int copy, quint64 seed) {
        return std::any_of(keeper.kept.begin(), keeper.kept.end(),
                           [&](const ClassRunRecord &run) { return run.copy == copy && run.seed == seed; });
    };
    for (int round = 0; round < 2; ++round) {
        MarkingSession session(questionnaire);
        for (size_t i = 0; i < scans.size(); ++i)
            session.addPage(scans[i], source(int(i) + 1));
        const MarkingSession::KeepReport report = session.keep(keeper, inResults, QDateTime());
        QCOMPARE(report.kept, round == 0 ? 2 : 0);
        QCOMPARE(report.alreadyThere, round == 0 ? 0 : 2);
    }
    QCOMPARE(keeper.kept.size(), size_t(2));
}

// A pile in one TIFF, copy 2's page in it too large to be a scan: that page is named, with its
// file and page, the summary counts it as not read, and copy 2 is listed as missing.
void TestMarkingSession::pagesNotDecodedAreNamed_data()
{
    QTest::addColumn<bool>("spoilt");
    QTest::newRow("page illisible") << true;
    QTest::newRow("toutes lisibles") << false;
}

void TestMarkingSession::pagesNotDecodedAreNamed()
{
    QFETCH(bool, spoilt);
    const auto questionnaire = MarkedCorpus::questionnaire(4, false);
    Pile pile(questionnaire, CopyLayout::BoxesBeside,
              {{1, QString(), 1}, {2, QString(), 2}, {3, QString(), 3}});
    const Answers answers = halfRight(*questionnaire);
    QImage broken(40000, 2, QImage::Format_Grayscale8);
    broken.fill(Qt::white);
    const std::vector<QImage> pages = {pile.scan(0, 0, answers), spoilt ? broken : pile.scan(1, 0, answers),
                                       pile.scan(2, 0, answers)};
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("pile.tif"));
    QVERIFY(writeTiff(path, pages, false, int(Dpi)));

    MarkingSession session(questionnaire);
    const ScanFile scan(path);
    QCOMPARE(scan.pageCount(), 3);
    for (int page = 0; page < scan.pageCount(); ++page)
        session.addPageOf(scan, page);
    QCOMPARE(session.pagesGiven(), 3);
    QCOMPARE(session.pagesNotRead(), spoilt ? 1 : 0);
    const QStringList summary = session.summary();
    if (!spoilt) {
        QCOMPARE(summary.front(), QStringLiteral("3 pages lues, 3 copies."));
        QVERIFY(session.missingCopies().empty());
        return;
    }
    QCOMPARE(summary.front(), QStringLiteral("2 pages lues sur 3, 1 non lue ; 2 copies."));
    QVERIFY2(summary.contains(QStringLiteral("pile.tif, page 2 : l'image de la page ne peut pas être décodée (fichier "
                                             "abîmé ou coupé, ou d'un genre d'image que le programme ne lit pas). Page "
                                             "non lue.")),
             qPrintable(summary.join(QLatin1Char('\n'))));
    QCOMPARE(session.missingCopies(), std::vector<int>{2});
    QVERIFY(summary.contains(QStringLiteral("Copie n° 2 : aucune page lue (ses pages sont peut-être parmi celles qui "
                                            "n'ont pas pu être lues).")));
}

// Each doubt is named by copy, pupil, question and boxes; once the results hold the copy, the
// same scans read again offer nothing more to settle.
void TestMarkingSession::doubtsNamedThenPassedOver()
{
    const auto questionnaire = MarkedCorpus::questionnaire(8, false);
    Pile pile(questionnaire, CopyLayout::BoxesBeside, {{12, QStringLiteral("DUPONT Léa"), 5}, {13, QString(), 6}});
    Answers answers = halfRight(*questionnaire);
    answers[6] = {2, 4};
    const auto read = [&](MarkingSession &session) {
        for (int copy = 0; copy < 2; ++copy) {
            for (int page = 0; page < pile.pageCount(copy); ++page)
                session.addPage(pile.scan(copy, page, answers), source(copy * 10 + page + 1));
        }
    };
    MarkingSession first(questionnaire);
    read(first);
    QCOMPARE(first.doubtLines(), (QStringList{QStringLiteral("Copie n° 12 (DUPONT Léa), question 7 : cases 2 et 4 noircies"),
                                              QStringLiteral("Copie n° 13 : nom à lire"),
                                              QStringLiteral("Copie n° 13, question 7 : cases 2 et 4 noircies")}));

    MarkingSession again(questionnaire);
    read(again);
    again.passOver([](int copy, quint64 seed) { return copy == 12 && seed == 5; });
    QCOMPARE(again.doubtLines(), (QStringList{QStringLiteral("Copie n° 13 : nom à lire"),
                                              QStringLiteral("Copie n° 13, question 7 : cases 2 et 4 noircies")}));
    const auto items = again.reviewItems();
    QVERIFY(std::none_of(items.begin(), items.end(), [](const MarkingSession::ReviewItem &item) { return item.copy == 0; }));
    ListKeeper keeper;
    const MarkingSession::KeepReport report = again.keep(keeper, {}, QDateTime());
    QCOMPARE(report.kept, 0);
    QCOMPARE(report.lines, QStringList{QStringLiteral("Copie n° 13 : pas gardée (1 question à trancher, nom à lire).")});
    QVERIFY(again.summary().contains(QStringLiteral("Copie n° 12 : déjà dans les résultats, pas ajoutée une seconde fois.")));
    QVERIFY(again.readyRecords(QDateTime()).empty());
}

// Question 4 (five answers) has three right answers, 1, 2 and 4; question 3 (four answers) one.
// Ticks on question 4 are its answer, marked by the settings' rule, unless a box beside them is
// rubbed out; on question 3 two ticks wait for the teacher. The teacher's clicks take or leave
// a box of question 4, choose one of question 3.
void TestMarkingSession::severalTicks_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<bool>("partial");
    QTest::addColumn<int>("question");
    QTest::addColumn<std::vector<int>>("ticked");
    QTest::addColumn<std::vector<int>>("erased");
    QTest::addColumn<QString>("doubt");  // how its "À trancher" line starts; empty: read without doubt
    QTest::addColumn<std::vector<int>>("clicks"); // the teacher's, on the boxes of these answers
    QTest::addColumn<int>("kept");       // the answers kept, bit k - 1 for answer k
    QTest::addColumn<double>("points");
    const int beside = int(CopyLayout::BoxesBeside), sheet = int(CopyLayout::AnswerSheet);
    const QString several = "Copie n° 1 (MARTIN Zoé), question 4 (plusieurs réponses possibles) : ";
    using V = std::vector<int>;
    QTest::newRow("deux des trois, tout ou rien") << beside << true << false << 3 << V{1, 2} << V{} << "" << V{} << 0b11 << 0.0;
    QTest::newRow("deux des trois, partiel") << beside << true << true << 3 << V{1, 2} << V{} << "" << V{} << 0b11 << 2.0 / 3;
    QTest::newRow("feuille, les trois") << sheet << false << false << 3 << V{4, 2, 1} << V{} << "" << V{} << 0b1011 << 1.0;
    QTest::newRow("feuille, une bonne, deux fausses") << sheet << false << true << 3 << V{1, 3, 5} << V{} << "" << V{}
                                                      << 0b10101 << 0.0;
    QTest::newRow("rien coché") << beside << true << true << 3 << V{} << V{} << "" << V{} << 0 << 0.0;
    QTest::newRow("une case gommée, une ajoutée") << beside << false << true << 3 << V{1, 2} << V{5}
                                                 << several + "cases 1 et 2 noircies, case 5 " << V{4} << 0b1011 << 1.0;
    QTest::newRow("feuille, une gommée, une retirée") << sheet << false << false << 3 << V{2, 3} << V{1}
                                                     << several + "cases 2 et 3 noircies, case 1 " << V{3} << 0b10 << 0.0;
    QTest::newRow("une réponse, deux cochées") << beside << false << true << 2 << V{1, 3} << V{}
                                              << "Copie n° 1 (MARTIN Zoé), question 3 : cases 1 et 3 noircies" << V{1, 3}
                                              << 0b100 << 1.0;
    QTest::newRow("une réponse, changement d'avis") << beside << true << false << 2 << V{3} << V{1} << "" << V{} << 0b100
                                                   << 1.0;
}

void TestMarkingSession::severalTicks()
{
    QFETCH(int, layout);
    QFETCH(bool, shuffle);
    QFETCH(bool, partial);
    QFETCH(int, question);
    QFETCH(std::vector<int>, ticked);
    QFETCH(std::vector<int>, erased);
    QFETCH(QString, doubt);
    QFETCH(std::vector<int>, clicks);
    QFETCH(int, kept);
    QFETCH(double, points);
    QStringList lines = withSeveralRight(questionnaireLines(5, shuffle), 3, {1, 2, 4});
    if (partial)
        lines.prepend(QStringLiteral("PASSATION plusieurs=partiel"));
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
    Pile pile(questionnaire, CopyLayout(layout), {{1, QStringLiteral("MARTIN Zoé"), 0x5EED}});
    MarkingSession session(questionnaire);
    for (int page = 0; page < pile.pageCount(0); ++page)
        session.addPage(pile.scan(0, page, {{question, ticked}}, {{question, erased}}), source(page + 1));
    const QStringList doubts = session.doubtLines();
    QCOMPARE(doubts.size(), doubt.isEmpty() ? 0 : 1);
    QVERIFY2(doubt.isEmpty() || doubts.front().startsWith(doubt), qPrintable(doubts.join('\n')));
    // A one-answer question never takes two answers, nor one the copy has no box for.
    QVERIFY(!session.settleAnswers(0, 2, AnswerSets::of(1) | AnswerSets::of(2)));
    QVERIFY(!session.settleAnswers(0, 2, AnswerSets::of(5)));
    const auto &questions = session.copies().at(0).questions;
    const auto read = std::find_if(questions.begin(), questions.end(), [&](const CopyQuestion &q) { return q.question == question; });
    for (int answer : clicks) {
        const auto box = std::find_if(read->boxes.begin(), read->boxes.end(), [&](const ReadBox &b) { return b.answer == answer; });
        QVERIFY(session.settleAnswers(0, question, read->afterClick(int(box - read->boxes.begin()))));
    }
    QCOMPARE(session.copies().at(0).ready(), true);
    const ClassRunRecord record = session.readyRecords(QDateTime()).at(0);
    QCOMPARE(int(record.ticked.at(size_t(question))), kept);
    QCOMPARE(record.answers.at(size_t(question)), AnswerSets::first(AnswerSet(kept)));
    QCOMPARE(record.score.questionPoints.at(size_t(question)), points);
}

void TestMarkingSession::drawnCopyReadBackToItsQuestions()
{
    // Five questions drawn among twelve: each copy prints and reads only its own five.
    QStringList lines = questionnaireLines(12, true);
    lines.prepend(QStringLiteral("PASSATION tirage=5"));
    const auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
    const std::vector<PrintedCopy> copies = {{1, QStringLiteral("DUPONT Léa"), 0x5EED01},
                                             {2, QStringLiteral("MARTIN Zoé"), 0x5EED02}};
    Pile pile(questionnaire, CopyLayout::BoxesBeside, copies);
    // Every question blackened on the scan: only those printed have a box to blacken.
    const Answers answers = halfRight(*questionnaire);
    MarkingSession session(questionnaire);
    int scanned = 0;
    for (int copy = 0; copy < 2; ++copy) {
        for (int page = 0; page < pile.pageCount(copy); ++page)
            session.addPage(pile.scan(copy, page, answers), source(++scanned));
    }
    ListKeeper keeper;
    QCOMPARE(session.keep(keeper, {}, QDateTime()).kept, 2);
    std::set<std::vector<int>> drawn;
    for (const ClassRunRecord &run : keeper.kept) {
        const ClassVersion version = ClassVersion::build(*questionnaire, questionnaire->settings(), run.seed);
        QCOMPARE(version.size(), 5);
        std::vector<int> held;
        int right = 0;
        for (int n = 0; n < questionnaire->size(); ++n) {
            QCOMPARE(run.answers[size_t(n)], version.holds(n) ? answers.at(n).front() : 0);
            if (version.holds(n)) {
                held.push_back(n);
                right += n % 2 == 0 ? 1 : 0;
            }
        }
        QCOMPARE(run.score.markedCount, 5);
        QCOMPARE(run.score.rightCount, right);
        drawn.insert(held);
    }
    QCOMPARE(drawn.size(), size_t(2));
}

QTEST_MAIN(TestMarkingSession)
#include "tst_markingsession.moc"
