#include "markedcorpus.h"

#include "marking/copypagereader.h"
#include "pdfreader.h"
#include "platform/apperror.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace MarkedCorpus;

namespace {

std::function<quint64()> counting()
{
    auto next = std::make_shared<quint64>(1000);
    return [next] { return (*next)++ * 0x9E3779B97F4A7C15ull; };
}

} // namespace

class TestPaperCopies : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void besideBoxesAreWhereTheCodeSays_data();
    void besideBoxesAreWhereTheCodeSays();
    void versions_data();
    void versions();
    void refused_data();
    void refused();
    void printed_data();
    void printed();
    void severalAnswersSaid_data();
    void severalAnswersSaid();

private:
    PictureRegistry m_pictures;
};

void TestPaperCopies::besideBoxesAreWhereTheCodeSays_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("shuffle");
    QTest::newRow("une question") << 1 << false;
    QTest::newRow("20 questions mélangées") << 20 << true;
    QTest::newRow("60 questions dans l'ordre") << 60 << false;
}

void TestPaperCopies::besideBoxesAreWhereTheCodeSays()
{
    QFETCH(int, questions);
    QFETCH(bool, shuffle);
    const auto q = questionnaire(questions, shuffle);
    PaperCopies copies(QStringLiteral("Essai"), q, m_pictures);
    const PrintedCopy copy{3, QString(), 0xC0FFEE};
    const std::vector<CopyPage> pages = copies.layOut(copy, CopyLayout::BoxesBeside);
    // What the reader will expect, box after box, from the code alone.
    const std::vector<CopyPageReader::PrintedBox> expected =
        CopyPageReader::printedBoxes(*q, CopyLayout::BoxesBeside, copy.seed);
    size_t box = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        const CopyPayload &payload = pages[p].payload;
        QCOMPARE(payload.page, int(p) + 1);
        QCOMPARE(payload.pageCount, int(pages.size()));
        QCOMPARE(payload.firstBox, int(box));
        QCOMPARE(payload.fingerprint, q->fingerprint());
        size_t onPage = 0;
        for (const PaperItem &item : pages[p].items) {
            const QRectF area = CopyGeometry::questionsArea(int(p));
            QVERIFY2(area.contains(item.rect) || item.kind != PaperItem::CheckBox, qPrintable(item.text));
            if (item.kind != PaperItem::CheckBox)
                continue;
            QVERIFY(box < expected.size());
            QCOMPARE(item.question, expected[box].question);
            QCOMPARE(item.rect, QRectF(CopyGeometry::besideBoxLeft(), payload.boxTops[onPage],
                                       CopyGeometry::besideBoxSide(), CopyGeometry::besideBoxSide()));
            ++box, ++onPage;
        }
        QCOMPARE(onPage, payload.boxTops.size());
        QVERIFY(CopyPayload::decode(payload.encode()).has_value());
    }
    QCOMPARE(box, expected.size());
}

void TestPaperCopies::versions_data()
{
    QTest::addColumn<bool>("shuffle");
    QTest::addColumn<int>("layout");
    QTest::addColumn<bool>("differ");
    QTest::newRow("mélangées, cases à côté") << true << int(CopyLayout::BoxesBeside) << true;
    QTest::newRow("dans l'ordre, cases à côté") << false << int(CopyLayout::BoxesBeside) << false;
    QTest::newRow("mélangées, feuille de réponses") << true << int(CopyLayout::AnswerSheet) << false;
}

void TestPaperCopies::versions()
{
    QFETCH(bool, shuffle);
    QFETCH(int, layout);
    QFETCH(bool, differ);
    const auto q = questionnaire(12, shuffle);
    PaperCopies copies(QStringLiteral("Essai"), q, m_pictures);
    const auto order = [&](quint64 seed) {
        QStringList texts;
        for (const CopyPage &page : copies.layOut({1, QString(), seed}, CopyLayout(layout)))
            for (const PaperItem &item : page.items)
                texts << item.text;
        for (const auto &box : CopyPageReader::printedBoxes(*q, CopyLayout(layout), seed))
            texts << QStringLiteral("%1:%2").arg(box.question).arg(box.answer);
        return texts;
    };
    QCOMPARE(order(77), order(77));
    QCOMPARE(order(77) != order(78), differ);
}

void TestPaperCopies::refused_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("layout");
    QTest::addColumn<int>("copy");
    QTest::addColumn<QString>("message");
    QTest::newRow("aucune question") << 0 << int(CopyLayout::BoxesBeside) << 1
                                     << "Le questionnaire n'a aucune question : il n'y a pas de copie à imprimer.";
    QTest::newRow("feuille trop petite")
        << 151 << int(CopyLayout::AnswerSheet) << 1
        << "Le questionnaire a 151 questions ; la feuille de réponses en tient 150 au plus. Imprimez les copies avec "
           "les cases à côté des réponses.";
    QTest::newRow("feuille pleine") << 150 << int(CopyLayout::AnswerSheet) << 1 << "";
    QTest::newRow("numéro trop grand") << 3 << int(CopyLayout::BoxesBeside) << 10000 << "Les copies sont numérotées de 1 à 9999.";
}

void TestPaperCopies::refused()
{
    QFETCH(int, questions);
    QFETCH(int, layout);
    QFETCH(int, copy);
    QFETCH(QString, message);
    PaperCopies copies(QStringLiteral("Essai"), questionnaire(questions, false), m_pictures);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    try {
        QPdfWriter writer(pdf);
        copies.print(writer, {{copy, QString(), 1}}, CopyLayout(layout));
        QVERIFY2(message.isEmpty(), "imprimé alors qu'il fallait refuser");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), message);
    }
}

void TestPaperCopies::printed_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QStringList>("pupils");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("pages"); // for each copy
    const QString longName = QStringLiteral("DE LA TOUR D'AUVERGNE-LAURAGAIS Marie-Éléonore Ghislaine Bénédicte "
                                            "Amélie Joséphine Hortense Philippine Gabrielle Clotilde");
    QTest::newRow("numérotées, cases à côté")
        << int(CopyLayout::BoxesBeside) << QStringList()
        << QStringList{"Copie n° 2, page 2 / 2", "Nom, prénom et classe :", "Noircissez entièrement la case", "Réponse 1"}
        << 2;
    QTest::newRow("une par élève, feuille de réponses")
        << int(CopyLayout::AnswerSheet) << QStringList{"DUPONT Léa", longName}
        << QStringList{"Élève : DUPONT Léa", "Feuille de réponses : Essai", "Copie n° 2, page 1 / 1",
                       "Livret des questions", "Livret, page 1 / 1"}
        << 1;
}

void TestPaperCopies::printed()
{
    QFETCH(int, layout);
    QFETCH(QStringList, pupils);
    QFETCH(QStringList, texts);
    QFETCH(int, pages);
    if (!PdfReader::available())
        QSKIP("poppler-utils manque");
    QStringList lines = questionnaireLines(8, true);
    // A correction stays off the pupils' copies.
    lines.insert(lines.indexOf(QcmFormat::closingTag(0)), QStringLiteral("Correction :"));
    lines.insert(lines.indexOf(QcmFormat::closingTag(0)), QStringLiteral("Secret du maître."));
    const auto q = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
    PaperCopies copies(QStringLiteral("Essai"), q, m_pictures);
    const std::vector<PrintedCopy> which =
        pupils.isEmpty() ? PaperCopies::numbered(2, counting()) : PaperCopies::forPupils(pupils, counting());
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    const auto laidOut = print(copies, which, CopyLayout(layout), pdf);
    const int booklet = CopyLayout(layout) == CopyLayout::AnswerSheet ? copies.bookletLayout().pageCount : 0;
    QCOMPARE(PdfReader::pageCount(pdf), 2 * pages + booklet);
    const QString text = PdfReader::text(pdf).simplified();
    for (const QString &expected : texts)
        QVERIFY2(text.contains(expected), qPrintable(expected));
    QVERIFY(!text.contains(QStringLiteral("Secret du maître")));
    if (!pupils.isEmpty()) {
        QCOMPARE(laidOut[0][0].payload.pupil, pupils[0]);
        // Too long for the code: printed, and the teacher reads it from the name box's picture.
        QCOMPARE(laidOut[1][0].payload.pupil, QString());
    }
}

// Every layout says "plusieurs réponses possibles" in the heading of a question with several
// right answers (the sheet's row says "plusieurs"), and the instructions where several boxes
// may be blackened: on each copy's first page, each heading and once in the booklet. Never
// which answers are right; a questionnaire without such a question prints as before.
void TestPaperCopies::severalAnswersSaid_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<QList<int>>("several"); // questions with several right answers, from 0
    QTest::addColumn<QString>("instructions");
    QTest::addColumn<int>("notes");          // "plusieurs réponses possibles"
    QTest::addColumn<int>("words");          // "plusieurs" alone
    const int beside = int(CopyLayout::BoxesBeside), sheet = int(CopyLayout::AnswerSheet);
    QTest::newRow("cases à côté") << beside << QList<int>{0, 3} << "là où il est écrit « plusieurs réponses possibles »"
                                  << 2 * (2 + 1) << 0;
    QTest::newRow("feuille de réponses") << sheet << QList<int>{2} << "aux questions marquées « plusieurs »" << 1 + 2
                                         << 2 * (1 + 1);
    QTest::newRow("aucune") << sheet << QList<int>() << "une seule par question, au stylo noir" << 0 << 0;
}

void TestPaperCopies::severalAnswersSaid()
{
    QFETCH(int, layout);
    QFETCH(QList<int>, several);
    QFETCH(QString, instructions);
    QFETCH(int, notes);
    QFETCH(int, words);
    if (!PdfReader::available())
        QSKIP("poppler-utils manque");
    QStringList lines = questionnaireLines(6, false);
    for (int question : several)
        lines = withSeveralRight(lines, question, {1, 2});
    PaperCopies copies(QStringLiteral("Essai"), std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines)),
                       m_pictures);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("copies.pdf"));
    print(copies, PaperCopies::numbered(2, counting()), CopyLayout(layout), pdf);
    const QString text = PdfReader::text(pdf).simplified();
    QVERIFY2(text.contains(instructions) && text.contains("ni sur le code."), qPrintable(text));
    QCOMPARE(int(text.count("plusieurs réponses possibles")), notes);
    QCOMPARE(int(text.count(QRegularExpression("\\bplusieurs\\b(?! réponses)"))), words);
    for (int question : {0, 2, 3, 4, 5}) // the second's title is long enough to wrap
        QCOMPARE(text.contains(QString("%1. Question %1 (plusieurs réponses possibles)").arg(question + 1)),
                 several.contains(question));
    QVERIFY(!text.contains("Bonnes réponses") && !text.contains("Correction"));
}

QTEST_MAIN(TestPaperCopies)
#include "tst_papercopies.moc"
