#include "document/answerchoices.h"
#include "document/memorysheet.h"
#include "document/picturepaths.h"
#include "document/qcmblock.h"
#include "document/qcmformat.h"
#include "document/questionorder.h"
#include "document/questionstore.h"
#include "document/titlesearch.h"
#include "platform/scriptedmessageboxes.h"

#include <QTemporaryDir>
#include <QtTest>

using AnswerChoices::Choices;

namespace {

Choices choices(const QList<int> &right, const QMap<int, QString> &feedback = {})
{
    Choices c;
    for (const int a : right)
        c.right[size_t(a - 1)] = true;
    for (auto it = feedback.cbegin(); it != feedback.cend(); ++it)
        c.feedback[size_t(it.key() - 1)] = it.value();
    return c;
}

QStringList block(int n, const QString &title, int rightAnswer, const QStringList &freeText)
{
    QStringList lines{QcmFormat::openingTag(n), "TITLE " + title, QStringLiteral("PICTURE C:\\Quiz\\chat%1.bmp").arg(n)};
    for (int a = 1; a <= 5; ++a)
        lines << QStringLiteral("REP%1 r%1").arg(a);
    lines << QStringLiteral("REPONSE %1").arg(rightAnswer) << freeText << QcmFormat::closingTag(n) << " ";
    return lines;
}

// The choices of the question titled `title`, wherever its block now stands.
AnswerChoices::Split choicesOf(const QStringList &document, const QString &title)
{
    for (int n = 0; n < QcmFormat::countQuestions(document); ++n) {
        const auto content = QcmBlock::read(document, n);
        if (content && content->fields.title.endsWith(title))
            return AnswerChoices::read(content->fields.freeText, content->fields.rightAnswer);
    }
    return {};
}

} // namespace

Q_DECLARE_METATYPE(Choices)

class TestAnswerChoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void writeThenRead_data();
    void writeThenRead();
    void keptByEveryCommand_data();
    void keptByEveryCommand();
    void keptAtTheLimit_data();
    void keptAtTheLimit();
};

void TestAnswerChoices::read_data()
{
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<int>("rightAnswer");
    QTest::addColumn<QStringList>("authorText");
    QTest::addColumn<Choices>("expected");
    QTest::newRow("no correction: nothing taken") << QStringList{"Bonnes réponses : 2, 4"} << 2
                                                  << QStringList{"Bonnes réponses : 2, 4"} << Choices();
    QTest::newRow("right answers and feedback, bare marker taken")
        << QStringList{"Énoncé", "Correction :", "Bonnes réponses : 2, 4", "Commentaire de la réponse 3 : trop"} << 2
        << QStringList{"Énoncé"} << choices({2, 4}, {{3, "trop"}});
    QTest::newRow("typed by hand: case, accents, et")
        << QStringList{"correction:", "BONNES REPONSES : 1 et 3 ; 5.", "commentaire de la reponse 1 :  oui "} << 1
        << QStringList{} << choices({1, 3, 5}, {{1, "oui"}});
    QTest::newRow("the correction's own text stays")
        << QStringList{"Correction : 2 + 2 = 4", "Bonnes réponses : 2, 4", "Voir le cours"} << 4
        << QStringList{"Correction : 2 + 2 = 4", "Voir le cours"} << choices({2, 4});
    QTest::newRow("REPONSE changed elsewhere: the list stays text")
        << QStringList{"Correction :", "Bonnes réponses : 2, 4"} << 3
        << QStringList{"Correction :", "Bonnes réponses : 2, 4"} << Choices();
    QTest::newRow("one answer named: text") << QStringList{"Correction :", "Bonnes réponses : 2"} << 2
                                            << QStringList{"Correction :", "Bonnes réponses : 2"} << Choices();
    QTest::newRow("answer 6 or a word: text") << QStringList{"Correction :", "Bonnes réponses : 2, 6", "Bonnes réponses : 2 ou 4"} << 2
                                              << QStringList{"Correction :", "Bonnes réponses : 2, 6", "Bonnes réponses : 2 ou 4"}
                                              << Choices();
    QTest::newRow("empty feedback and a second one for the same answer: text")
        << QStringList{"Correction :", "Commentaire de la réponse 1 :", "Commentaire de la réponse 2 : a",
                       "Commentaire de la réponse 2 : b"}
        << 1 << QStringList{"Correction :", "Commentaire de la réponse 1 :", "Commentaire de la réponse 2 : b"}
        << choices({}, {{2, "a"}});
    QTest::newRow("a second list: text") << QStringList{"Correction :", "Bonnes réponses : 1, 2", "Bonnes réponses : 1, 3"} << 1
                                         << QStringList{"Correction :", "Bonnes réponses : 1, 3"} << choices({1, 2});
}

void TestAnswerChoices::read()
{
    QFETCH(QStringList, freeText);
    QFETCH(int, rightAnswer);
    const AnswerChoices::Split split = AnswerChoices::read(freeText, rightAnswer);
    QTEST(split.freeText, "authorText");
    QFETCH(Choices, expected);
    QCOMPARE(split.choices.right, expected.right);
    QCOMPARE(split.choices.feedback, expected.feedback);
}

void TestAnswerChoices::writeThenRead_data()
{
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<Choices>("written");
    QTest::addColumn<QStringList>("fileLines");
    QTest::newRow("nothing chosen: the lines as they are")
        << QStringList{"a", "Correction : b"} << Choices() << QStringList{"a", "Correction : b"};
    QTest::newRow("a marker added at the end") << QStringList{"a"} << choices({1, 3}, {{5, "non"}})
                                               << QStringList{"a", "Correction :", "Bonnes réponses : 1, 3",
                                                              "Commentaire de la réponse 5 : non"};
    QTest::newRow("first in the correction") << QStringList{"a", "Correction : b", "c"} << choices({2, 3, 4, 5})
                                             << QStringList{"a", "Correction : b", "Bonnes réponses : 2, 3, 4, 5", "c"};
    QTest::newRow("feedback only, one-answer question")
        << QStringList{} << choices({}, {{1, "oui"}, {2, "tu as confondu périmètre et aire"}})
        << QStringList{"Correction :", "Commentaire de la réponse 1 : oui",
                       "Commentaire de la réponse 2 : tu as confondu périmètre et aire"};
}

void TestAnswerChoices::writeThenRead()
{
    QFETCH(QStringList, freeText);
    QFETCH(Choices, written);
    const QStringList lines = AnswerChoices::write(freeText, written);
    QTEST(lines, "fileLines");
    QCOMPARE(AnswerChoices::lineCount(freeText, written), int(lines.size()));
    const AnswerChoices::Split back = AnswerChoices::read(lines, written.firstRight(1));
    QCOMPARE(back.freeText, freeText);
    QVERIFY(back.choices == written);
}

void TestAnswerChoices::keptByEveryCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("save and load") << "save";
    QTest::newRow("repair") << "repair";
    QTest::newRow("question order") << "order";
    QTest::newRow("replace in titles") << "replace";
    QTest::newRow("relative picture paths") << "paths";
    QTest::newRow("absolute picture paths") << "absolute";
    QTest::newRow("add, delete, renumber") << "add-delete";
    QTest::newRow("sheet written back and read") << "sheet";
}

void TestAnswerChoices::keptByEveryCommand()
{
    QFETCH(QString, command);
    const Choices chosen = choices({2, 4}, {{3, "tu as ajouté une fois de trop"}});
    const QStringList freeText{"Combien ?", "Correction : 4"};
    QStringList lines = block(0, "un", 1, {"Correction :", "Commentaire de la réponse 1 : oui"})
                      + block(1, "deux", 2, AnswerChoices::write(freeText, chosen)) + block(2, "trois", 1, {});
    if (command == QLatin1String("repair"))
        lines.removeAll(QcmFormat::closingTag(1));
    MemorySheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store(sheet, boxes);
    store.ChargeLignes(lines, QStringLiteral("quiz"));
    QTemporaryDir dir;
    if (command == QLatin1String("save")) {
        const QString path = dir.filePath(QStringLiteral("quiz.qcm"));
        store.Sauve(path);
        store.Nouveau();
        store.Charge(path);
    } else if (command == QLatin1String("repair")) {
        boxes.script(MessageAnswer::Yes);
        store.Verif();
        QCOMPARE(QcmFormat::tagBalance(store.document()), 0);
    } else if (command == QLatin1String("order")) {
        store.rewriteDocument([](QStringList &document) { return QuestionOrder::apply(document, {1, 2, 0}); });
        QCOMPARE(QcmBlock::read(store.document(), 0)->fields.title, QStringLiteral("deux"));
    } else if (command == QLatin1String("replace")) {
        store.rewriteDocument([](QStringList &document) {
            for (int line : TitleText::titleLines(document, 3))
                document[line] = TitleText::replaced(document[line], QStringLiteral("DEUX"), QStringLiteral("Q. deux"));
            return true;
        });
    } else if (command == QLatin1String("paths")) {
        store.rewriteDocument([](QStringList &document) { return PicturePaths::makeRelative(document); });
        QVERIFY(store.document().contains(QStringLiteral("PICTURE chat1.bmp")));
    } else if (command == QLatin1String("absolute")) {
        store.rewriteDocument([](QStringList &document) { return PicturePaths::makeAbsolute(document, QStringLiteral("/images/")); });
        QVERIFY(store.document().contains(QStringLiteral("PICTURE /images/chat1.bmp")));
    } else if (command == QLatin1String("add-delete")) {
        store.AllerA(0);
        store.Ajout();
        store.AllerA(0);
        store.Supprime();
        store.Renum();
    } else {
        for (int n = 0; n < 3; ++n)
            store.AllerA(n);
        store.AllerA(1);
        store.EcritFiche();
    }
    const AnswerChoices::Split kept = choicesOf(store.document(), QStringLiteral("deux"));
    // The repair closes the block at the next one, so the blank line between them joins it.
    QCOMPARE(kept.freeText, command == QLatin1String("repair") ? freeText + QStringList{" "} : freeText);
    QVERIFY(kept.choices == chosen);
    if (command != QLatin1String("add-delete"))
        QCOMPARE(choicesOf(store.document(), QStringLiteral("un")).choices.feedback[0], QStringLiteral("oui"));
}

void TestAnswerChoices::keptAtTheLimit_data()
{
    QTest::addColumn<int>("statementLines");
    QTest::addColumn<int>("correctionLines");
    QTest::addColumn<int>("authorLinesKept");
    // Marker, right answers and two feedback lines: four lines of the twelve.
    QTest::newRow("exactly twelve: all read back") << 5 << 3 << 9;
    QTest::newRow("one past: the correction's last line is cut, the choices kept") << 5 << 4 << 9;
    // The correction's lines cut, the marker goes with the choices and is written again with them.
    QTest::newRow("long statement: choices still within twelve") << 8 << 2 << 8;
    QTest::newRow("statement past the limit: the choices come before its end") << 11 << 0 << 8;
}

void TestAnswerChoices::keptAtTheLimit()
{
    QFETCH(int, statementLines);
    QFETCH(int, correctionLines);
    QStringList freeText;
    for (int i = 0; i < statementLines; ++i)
        freeText << QStringLiteral("énoncé %1").arg(i);
    freeText << QStringLiteral("Correction :");
    for (int i = 0; i < correctionLines; ++i)
        freeText << QStringLiteral("correction %1").arg(i);
    const Choices chosen = choices({1, 5}, {{1, "a"}, {5, "e"}});
    QCOMPARE(AnswerChoices::lineCount(freeText, chosen), statementLines + correctionLines + 4);
    const QStringList document = block(0, "q", 1, AnswerChoices::write(freeText, chosen));
    const auto content = QcmBlock::read(document, 0);
    QCOMPARE(int(content->fields.freeText.size()), QcmFormat::MaxFreeTextLines);
    const AnswerChoices::Split back = AnswerChoices::read(content->fields.freeText, content->fields.rightAnswer);
    QVERIFY(back.choices == chosen);
    QTEST(int(back.freeText.size()), "authorLinesKept");
}

QTEST_GUILESS_MAIN(TestAnswerChoices)
#include "tst_answerchoices.moc"
