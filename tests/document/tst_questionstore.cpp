#include "fakesheet.h"

#include "document/qcmblock.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "platform/apperror.h"
#include "platform/scriptedmessageboxes.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList block(int n, const QString &title, const QString &rightAnswer = QStringLiteral("1"),
                  const QStringList &freeText = {}, const QString &picture = {})
{
    QStringList lines{QcmFormat::openingTag(n), "TITLE " + title, "PICTURE " + picture};
    for (int a = 1; a <= 5; ++a)
        lines << QStringLiteral("REP%1 %2 r%1").arg(a).arg(title);
    lines << "REPONSE " + rightAnswer;
    lines << freeText;
    lines << QcmFormat::closingTag(n);
    return lines;
}

QStringList questionnaire(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n)
        lines << block(n, QStringLiteral("q%1").arg(n)) << QStringLiteral(" ");
    return lines;
}

// The two-question file that documents the format.
const QByteArray WorkedExample =
    "<BLOC0000>\r\nTITLE What colour is a clear sky?\r\nPICTURE C:\\Quiz\\sky.jpg\r\nREP1 Green\r\n"
    "REP2 Blue\r\nREP3 Red\r\nREP4 Yellow\r\nREP5 Black\r\nREPONSE 2\r\n</BLOC0000>\r\n \r\n"
    "<BLOC0001>\r\nTITLE How many legs has a spider?\r\nPICTURE \r\nREP1 Six\r\nREP2 Eight\r\nREP3 Ten\r\n"
    "REP4 Four\r\nREP5 Twelve\r\nREPONSE 2\r\nCount the legs on both sides.\r\nSpiders are not insects.\r\n"
    "</BLOC0001>\r\n";

struct Workspace
{
    FakeSheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store{sheet, boxes};
    QTemporaryDir dir;

    Workspace() { sheet.store = &store; }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write a test file");
        return path(name);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void load(const QStringList &lines) { store.ChargeLignes(lines, QStringLiteral("test.qcm")); }
    int blocksNumbered(int n) const { return int(store.document().count(QcmFormat::openingTag(n))); }
};

} // namespace

class TestQuestionStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void workedExampleRoundTrips();
    void readsFields_data();
    void readsFields();
    void loadingAFile();
    void loadingAMissingFileChangesNothing();
    void savingANewQuestionWritesOneBlock();
    void writingBackTwiceKeepsOneBlock();
    void squizeDropsBlankLinesAtTheTop();
    void failedSaveKeepsEverything();
    void unencodableTextIsReportedNotLost();
    void ajout();
    void ajoutOnAFileWithoutBlocks();
    void ajoutRefusesTheQuestionAfter10000();
    void supprime_data();
    void supprime();
    void renumLeavesUnnumberedTagLines();
    void navigation_data();
    void navigation();
    void restoreQuestion_data();
    void restoreQuestion();
    void repairKeepsEveryBlock();
    void repairKeepsAClosingTagInAnotherCaseInsideItsRenumberedBlock();
    void missingClosingTagDoesNotSwallowTheNextBlock();
    void modifiedFlag_data();
    void modifiedFlag();
    void collerKeepsRightAnswerPictureAndFreeText();
    void freeTextBeginningLikeATagStaysInItsBlock_data();
    void freeTextBeginningLikeATagStaysInItsBlock();
    void nulBytesAreDroppedNotWhatFollows();
    void questionsBeyond10000AreKeptButNeverReached();
    void loadingReportsComeOverTheFirstQuestion_data();
    void loadingReportsComeOverTheFirstQuestion();
};

void TestQuestionStore::workedExampleRoundTrips()
{
    const QStringList lines = QcmText::decodeLines(WorkedExample);
    QCOMPARE(lines.size(), 23);
    QCOMPARE(QcmText::encodeLines(lines), WorkedExample);

    // Reading each block and writing it again gives back the same lines.
    for (int n = 0; n < 2; ++n) {
        const auto content = QcmBlock::read(lines, n);
        QVERIFY(content);
        QStringList rewritten = lines;
        QVERIFY(QcmBlock::remove(rewritten, n));
        QStringList appended;
        QcmBlock::append(appended, n, content->picture, content->fields);
        const int open = QcmFormat::findBlock(lines, n);
        QCOMPARE(appended, lines.mid(open, QcmFormat::blockEnd(lines, open, n) - open));
    }
}

void TestQuestionStore::readsFields_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("rightAnswer");
    QTest::addColumn<int>("freeTextLines");
    QTest::addColumn<bool>("pictureShown");

    const QString longTitle(300, QLatin1Char('t'));
    QStringList fifteen;
    for (int i = 0; i < 15; ++i)
        fifteen << QStringLiteral("ligne %1").arg(i);
    QTest::newRow("right answer 3") << block(0, "a", "3", {}, "@") << "a" << 3 << 0 << true;
    QTest::newRow("300-character title cut to 255") << block(0, longTitle) << longTitle.left(255) << 1 << 0 << false;
    QTest::newRow("15 free-text lines read as 12") << block(0, "a", "2", fifteen) << "a" << 2 << 12 << false;
    QTest::newRow("'x' keeps 1 and skips the picture") << block(0, "a", "x", {}, "@") << "a" << 1 << 0 << false;
    QTest::newRow("empty right answer keeps 1") << block(0, "a", "", {}, "@") << "a" << 1 << 0 << true;
    QTest::newRow("9 is kept within 5") << block(0, "a", "9") << "a" << 5 << 0 << false;
    QTest::newRow("no block: empty sheet") << block(1, "a") << "" << 1 << 0 << false;
    QTest::newRow("lower-case tag still found") << QStringList{"<bloc0000>", "TITLE low", "</bloc0000>"} << "low" << 1 << 0
                                                << false;
    QTest::newRow("short block reads nothing past its end")
        << QStringList{"<BLOC0000>", "TITLE a", "</BLOC0000>", "<BLOC0001>", "TITLE b", "</BLOC0001>"} << "a" << 1 << 0
        << false;
}

void TestQuestionStore::readsFields()
{
    QFETCH(QStringList, lines);
    QFETCH(QString, title);
    QFETCH(int, rightAnswer);
    QFETCH(int, freeTextLines);
    QFETCH(bool, pictureShown);

    Workspace w;
    // "@" stands for a picture file that exists.
    const QString picture = w.write(QStringLiteral("chat.bmp"), "BM");
    lines.replaceInStrings(QStringLiteral("PICTURE @"), "PICTURE " + picture);
    w.load(lines);
    QCOMPARE(w.sheet.shown.title, title);
    QCOMPARE(w.sheet.shown.rightAnswer, rightAnswer);
    QCOMPARE(w.sheet.shown.freeText.size(), freeTextLines);
    QCOMPARE(w.sheet.picture.isEmpty(), !pictureShown);
    QVERIFY(!w.sheet.shown.answers[4].contains(QStringLiteral("TITLE")));
    QCOMPARE(w.sheet.label, QStringLiteral("Question 1"));
}

void TestQuestionStore::loadingAFile()
{
    Workspace w;
    w.write(QStringLiteral("quiz.qcm"), WorkedExample);
    w.store.Charge(w.path(QStringLiteral("quiz.txt")));
    QCOMPARE(w.store.QuestionCount(), 2);
    QCOMPARE(w.store.CurrentQuestion(), 0);
    QCOMPARE(w.sheet.caption, QStringLiteral("quiz.qcm"));
    QCOMPARE(w.sheet.shown.title, QStringLiteral("What colour is a clear sky?"));
    QCOMPARE(w.store.CurrentPicture(), QStringLiteral("C:\\Quiz\\sky.jpg"));
    QVERIFY(w.sheet.picture.isEmpty()); // a Windows path that does not exist here
    QVERIFY(!w.store.DocumentModified());
    QVERIFY(!w.store.SheetModified());
    QVERIFY(w.boxes.shown().isEmpty());

    w.store.Suivant();
    QCOMPARE(w.sheet.shown.freeText, (QStringList{"Count the legs on both sides.", "Spiders are not insects."}));

    w.write(QStringLiteral("vide.qcm"), QByteArray());
    w.store.Charge(w.path(QStringLiteral("vide.qcm")));
    QCOMPARE(w.store.QuestionCount(), 0);
    QCOMPARE(w.sheet.label, QStringLiteral("Question 1"));
    QCOMPARE(w.sheet.shown, QuestionFields());
}

void TestQuestionStore::loadingAMissingFileChangesNothing()
{
    Workspace w;
    w.load(questionnaire(3));
    w.sheet.type(QStringLiteral("modifié"));
    const QStringList before = w.store.document();
    try {
        w.store.Charge(w.path(QStringLiteral("absent.txt")));
        QFAIL("a missing file was loaded");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("Le fichier %1 est introuvable.").arg(w.path(QStringLiteral("absent.qcm"))));
    }
    QCOMPARE(w.store.document(), before);
    QVERIFY(w.store.DocumentModified());
    QCOMPARE(w.sheet.caption, QStringLiteral("test.qcm"));
    QCOMPARE(w.store.QuestionCount(), 3);
}

void TestQuestionStore::savingANewQuestionWritesOneBlock()
{
    Workspace w;
    w.store.Nouveau();
    QCOMPARE(w.sheet.restyled, 1);
    w.sheet.type(QStringLiteral("Capitale de la France ?"));
    w.store.Sauve(w.path(QStringLiteral("neuf.txt")));
    const QStringList saved = QcmText::decodeLines(w.read(QStringLiteral("neuf.qcm")));
    QCOMPARE(saved.first(), QStringLiteral("<BLOC0000>"));
    QCOMPARE(saved.last(), QStringLiteral("</BLOC0000>"));
    QCOMPARE(saved.size(), 10);
    QCOMPARE(saved.at(1), QStringLiteral("TITLE Capitale de la France ?"));
    QVERIFY(!w.store.DocumentModified());
    QVERIFY(!w.store.SheetModified());
}

void TestQuestionStore::writingBackTwiceKeepsOneBlock()
{
    Workspace w;
    w.store.Nouveau();
    w.sheet.type(QStringLiteral("a"));
    w.store.EcritFiche();
    w.sheet.type(QStringLiteral("b"));
    w.store.EcritFiche();
    QCOMPARE(w.store.document().size(), 10);
    QCOMPARE(w.store.document().at(1), QStringLiteral("TITLE b"));
}

void TestQuestionStore::squizeDropsBlankLinesAtTheTop()
{
    Workspace w;
    w.load(QStringList{"", " ", "\t"} + block(0, "a") + QStringList{" ", ""} + block(1, "b"));
    w.store.Squize();
    QCOMPARE(w.store.document().first(), QStringLiteral("<BLOC0000>"));
    QCOMPARE(w.store.document().mid(10, 2), (QStringList{" ", ""})); // lines between blocks stay

    w.load(QStringList{"", "", ""} + block(0, "a"));
    w.store.Sauve(w.path(QStringLiteral("q.qcm")));
    QVERIFY(w.read(QStringLiteral("q.qcm")).startsWith("<BLOC0000>\r\n"));

    Workspace tiny;
    tiny.load(QStringList{"", "", ""});
    tiny.store.Squize();
    QCOMPARE(tiny.store.document().size(), 2); // stops once fewer than 3 lines remain
}

void TestQuestionStore::failedSaveKeepsEverything()
{
    Workspace w;
    w.load(questionnaire(2));
    w.sheet.type(QStringLiteral("nouveau titre"));
    const QStringList before = w.store.document();
    QVERIFY_THROWS_EXCEPTION(AppError, w.store.Sauve(w.path(QStringLiteral("absent/q.qcm"))));
    QCOMPARE(w.store.document(), before);
    QVERIFY(w.store.DocumentModified());
    QVERIFY(w.store.SheetModified());

    // The earlier file survives a failed save.
    const QString existing = w.write(QStringLiteral("garde.qcm"), WorkedExample);
    w.sheet.type(QStringLiteral("Ωmega"));
    try {
        w.store.Sauve(existing);
        QFAIL("text outside the code page was saved");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("« Ω »")), qPrintable(error.message()));
        QVERIFY2(error.message().contains(QStringLiteral("question 1")), qPrintable(error.message()));
    }
    QCOMPARE(w.read(QStringLiteral("garde.qcm")), WorkedExample);
}

void TestQuestionStore::unencodableTextIsReportedNotLost()
{
    Workspace w;
    w.load(questionnaire(1));
    w.sheet.typeFreeText({QStringLiteral("Δ = b² − 4ac")});
    QVERIFY_THROWS_EXCEPTION(AppError, w.store.ContenuFichier());
    QCOMPARE(w.sheet.shown.freeText.first(), QStringLiteral("Δ = b² − 4ac"));
    QVERIFY(w.store.DocumentModified());
}

void TestQuestionStore::ajout()
{
    Workspace w;
    w.load(questionnaire(3));
    const int lines = int(w.store.document().size());
    w.store.Ajout();
    QCOMPARE(w.store.CurrentQuestion(), 3);
    QCOMPARE(w.store.QuestionCount(), 4);
    QCOMPARE(w.sheet.shown, QuestionFields());
    QCOMPARE(w.sheet.label, QStringLiteral("Question 4"));
    QCOMPARE(w.store.document().size(), lines + 1);
    QCOMPARE(w.store.document().last(), QStringLiteral(" "));
}

void TestQuestionStore::ajoutOnAFileWithoutBlocks()
{
    Workspace w;
    w.load({});
    QCOMPARE(w.store.QuestionCount(), 0);
    w.sheet.type(QStringLiteral("première"));
    w.store.Ajout();
    QCOMPARE(w.store.QuestionCount(), 2);
    QCOMPARE(w.store.CurrentQuestion(), 1);
    w.store.Premier();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("première"));
}

void TestQuestionStore::ajoutRefusesTheQuestionAfter10000()
{
    Workspace w;
    QStringList lines;
    for (int n = 0; n < QcmFormat::MaxQuestions; ++n)
        lines << QcmFormat::openingTag(n) << QcmFormat::closingTag(n);
    w.load(lines);
    QCOMPARE(w.store.QuestionCount(), 10000);
    w.store.Ajout();
    QCOMPARE(w.store.QuestionCount(), 10000);
    QCOMPARE(w.store.document().size(), lines.size());
    QCOMPARE(w.boxes.shown().size(), 1);
    QCOMPARE(w.boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(w.boxes.lastText(), QStringLiteral("Un questionnaire ne peut pas contenir plus de 10000 questions."));
}

void TestQuestionStore::supprime_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("deleted");
    QTest::addColumn<int>("countAfter");
    QTest::addColumn<int>("currentAfter");
    QTest::addColumn<QString>("titleShown");
    QTest::newRow("second of four") << 4 << 1 << 3 << 1 << "q2";
    QTest::newRow("last of four") << 4 << 3 << 3 << 2 << "q2";
    QTest::newRow("first of two") << 2 << 0 << 1 << 0 << "q1";
    QTest::newRow("the only question") << 1 << 0 << 1 << 0 << "";
}

void TestQuestionStore::supprime()
{
    QFETCH(int, questions);
    QFETCH(int, deleted);
    QFETCH(int, countAfter);
    QFETCH(int, currentAfter);
    QFETCH(QString, titleShown);

    Workspace w;
    w.load(questionnaire(questions));
    w.store.AllerA(deleted);
    w.store.Supprime();
    QCOMPARE(w.store.QuestionCount(), countAfter);
    QCOMPARE(w.store.CurrentQuestion(), currentAfter);
    QCOMPARE(w.sheet.shown.title, titleShown);
    QVERIFY(w.store.DocumentModified());
    QCOMPARE(QcmFormat::tagBalance(w.store.document()), 0);
    QVERIFY(!w.store.document().contains(QStringLiteral("TITLE q%1").arg(deleted)));
    // Blocks are numbered 0 to count - 1 without holes, each once.
    for (int n = 0; n < questions - 1; ++n)
        QCOMPARE(w.blocksNumbered(n), 1);
    QCOMPARE(w.blocksNumbered(questions - 1), 0);
}

void TestQuestionStore::renumLeavesUnnumberedTagLines()
{
    Workspace w;
    w.boxes.script(MessageAnswer::No); // one tag-like line too many: kept as loaded
    w.load(block(0, "a") + block(1, "b", "1", {"<BLOC sans numéro", "</BLOCAGE", "<BLOC0002> suite"}) + block(2, "c"));
    w.store.Supprime();
    QCOMPARE(w.store.QuestionCount(), 4); // the free-text lines count as opening tags, as in any reader
    QVERIFY(w.store.document().contains(QStringLiteral("<BLOC sans numéro")));
    QVERIFY(w.store.document().contains(QStringLiteral("</BLOCAGE")));
    QVERIFY(w.store.document().contains(QStringLiteral("<BLOC0002> suite")));
    QCOMPARE(w.sheet.shown.title, QStringLiteral("b"));
}

void TestQuestionStore::navigation_data()
{
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("expected");
    QTest::newRow("next") << 3 << 0 << "Suivant" << 1;
    QTest::newRow("next on the last stays") << 3 << 2 << "Suivant" << 2;
    QTest::newRow("previous on the first stays") << 3 << 0 << "Precedent" << 0;
    QTest::newRow("last") << 3 << 0 << "Dernier" << 2;
    QTest::newRow("first") << 3 << 2 << "Premier" << 0;
    QTest::newRow("one question: next does nothing") << 1 << 0 << "Suivant" << 0;
    QTest::newRow("one question: last does nothing") << 1 << 0 << "Dernier" << 0;
    QTest::newRow("one question: previous rereads") << 1 << 0 << "Precedent" << 0;
}

void TestQuestionStore::navigation()
{
    QFETCH(int, questions);
    QFETCH(int, start);
    QFETCH(QString, command);
    QFETCH(int, expected);

    Workspace w;
    w.load(questionnaire(questions));
    w.store.AllerA(start);
    w.sheet.type(QStringLiteral("édité"));
    const int focused = w.sheet.titleFocused;
    const bool onlyQuestionNoop = questions < 2 && (command == "Suivant" || command == "Dernier");
    QMetaObject::invokeMethod(this, [&] {
        if (command == "Suivant") w.store.Suivant();
        else if (command == "Precedent") w.store.Precedent();
        else if (command == "Premier") w.store.Premier();
        else w.store.Dernier();
    });
    QCOMPARE(w.store.CurrentQuestion(), expected);
    QCOMPARE(w.sheet.label, QStringLiteral("Question %1").arg(expected + 1));
    if (onlyQuestionNoop) {
        QCOMPARE(w.sheet.titleFocused, focused);
        QVERIFY(w.store.SheetModified());
        return;
    }
    // The edit was written back before moving, and reading does not count as an edit.
    QVERIFY(w.store.document().contains(QStringLiteral("TITLE édité")));
    QVERIFY(!w.store.SheetModified());
    QVERIFY(w.sheet.titleFocused > focused);
}

void TestQuestionStore::restoreQuestion_data()
{
    QTest::addColumn<MessageAnswer>("answer");
    QTest::newRow("yes rebuilds") << MessageAnswer::Yes;
    QTest::newRow("no keeps") << MessageAnswer::No;
}

void TestQuestionStore::restoreQuestion()
{
    QFETCH(MessageAnswer, answer);
    Workspace w;
    // Block 1 written before block 0, a stray line, and one opening tag too many.
    const QStringList damaged = QStringList{"stray"} + block(1, "b") + QStringList{" "} + block(0, "a")
                                + QStringList{"<BLOC0002>", "TITLE c"};
    w.boxes.script(answer);
    w.load(damaged);
    QCOMPARE(w.boxes.shown().size(), 1);
    QCOMPARE(w.boxes.shown().first().text, QStringLiteral("Le fichier a été altéré. Restaurer ?"));
    QCOMPARE(w.boxes.shown().first().icon, MessageIcon::Warning);
    QCOMPARE(w.boxes.shown().first().buttons, MessageButtons::YesNo);
    QVERIFY(!w.store.DocumentModified());
    if (answer == MessageAnswer::No) {
        QCOMPARE(w.store.document(), damaged);
        return;
    }
    const QStringList expected =
        block(0, "a") + block(1, "b") + QStringList{"<BLOC0002>", "TITLE c", "</BLOC0002>"};
    QCOMPARE(w.store.document(), expected);
    QCOMPARE(w.store.QuestionCount(), 3);
}

void TestQuestionStore::repairKeepsEveryBlock()
{
    Workspace w;
    w.boxes.script(MessageAnswer::Yes);
    // Block 1 is missing, block 3 lost its closing tag, block 7 comes after the gap.
    QStringList damaged = block(0, "a") + block(2, "c");
    damaged << QcmFormat::openingTag(3) << "TITLE d" << "libre";
    damaged << block(7, "h");
    w.load(damaged);
    QCOMPARE(w.boxes.pendingAnswers(), 0);
    QCOMPARE(w.store.QuestionCount(), 4);
    QCOMPARE(QcmFormat::tagBalance(w.store.document()), 0);
    const QStringList titles = w.store.document().filter(QStringLiteral("TITLE "));
    QCOMPARE(titles, (QStringList{"TITLE a", "TITLE c", "TITLE d", "TITLE h"}));
    for (int n = 0; n < 4; ++n)
        QCOMPARE(w.blocksNumbered(n), 1);
    w.store.AllerA(2);
    QCOMPARE(w.sheet.shown.title, QStringLiteral("d"));
    QVERIFY(w.store.document().contains(QStringLiteral("libre")));
}

void TestQuestionStore::repairKeepsAClosingTagInAnotherCaseInsideItsRenumberedBlock()
{
    Workspace w;
    w.boxes.script(MessageAnswer::Yes);
    // Inside block 1 "</Bloc0001>" is free text; block 1 becomes block 0, where the same line
    // would close another block and leave "après" outside every block.
    w.load(block(1, "b", "1", {"avant", "</Bloc0001>", "après"}) + QStringList{"<BLOC0003>", "TITLE c"});
    QCOMPARE(w.boxes.pendingAnswers(), 0);
    const QStringList freeText{"avant", "</Bloc0000>", "après"};
    QCOMPARE(w.sheet.shown.freeText, freeText);
    w.store.Suivant();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("c"));
    w.store.Premier();
    QCOMPARE(w.sheet.shown.freeText, freeText);
    QCOMPARE(w.store.document().count(QStringLiteral("après")), 1);
    QCOMPARE(w.store.document().count(QcmFormat::closingTag(0)), 1);
}

void TestQuestionStore::missingClosingTagDoesNotSwallowTheNextBlock()
{
    Workspace w;
    w.boxes.script(MessageAnswer::No);
    QStringList lines = block(0, "a");
    lines.removeLast();
    lines << block(1, "b");
    w.load(lines);
    QVERIFY(w.sheet.shown.freeText.isEmpty()); // the next block is not read as free text
    w.sheet.type(QStringLiteral("a2"));
    w.store.Suivant();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("b"));
    QCOMPARE(w.store.document().count(QStringLiteral("TITLE b")), 1);
    QCOMPARE(QcmFormat::tagBalance(w.store.document()), 0);

    w.store.Premier();
    w.store.Supprime();
    QCOMPARE(w.store.document().filter(QStringLiteral("TITLE ")), QStringList{"TITLE b"});
}

void TestQuestionStore::modifiedFlag_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("modified");
    QTest::newRow("browsing") << "browse" << false;
    QTest::newRow("typing the title") << "title" << true;
    QTest::newRow("typing free text") << "freetext" << true;
    QTest::newRow("choosing a picture") << "picture" << true;
    QTest::newRow("removing the picture") << "nopicture" << true;
    QTest::newRow("new questionnaire after typing") << "nouveau" << false;
}

void TestQuestionStore::modifiedFlag()
{
    QFETCH(QString, action);
    QFETCH(bool, modified);
    Workspace w;
    w.load(questionnaire(3));
    QVERIFY(!w.store.DocumentModified());
    if (action == "browse") {
        w.store.Suivant();
        w.store.Dernier();
        w.store.Premier();
    } else if (action == "title") {
        w.sheet.type(QStringLiteral("x"));
    } else if (action == "freetext") {
        w.sheet.typeFreeText({QStringLiteral("x")});
    } else if (action == "picture") {
        w.store.setCurrentPicture(QStringLiteral("/tmp/chat.bmp"));
    } else if (action == "nopicture") {
        w.store.SuppImg();
        QVERIFY(w.store.document().contains(QStringLiteral("PICTURE ")));
    } else {
        w.sheet.type(QStringLiteral("x"));
        w.store.Nouveau();
    }
    QCOMPARE(w.store.TestModif(), modified);
}

void TestQuestionStore::collerKeepsRightAnswerPictureAndFreeText()
{
    Workspace w;
    w.load(block(0, "a", "4", {"libre"}, "img.bmp"));
    std::array<QString, 5> answers{"1", "2", "3", "4", "5"};
    w.store.Coller(QStringLiteral("collé"), answers);
    QCOMPARE(w.sheet.shown.title, QStringLiteral("collé"));
    QCOMPARE(w.sheet.shown.answers, answers);
    QCOMPARE(w.sheet.shown.rightAnswer, 4);
    QVERIFY(w.store.document().contains(QStringLiteral("libre")));
    QCOMPARE(w.store.CurrentPicture(), QStringLiteral("img.bmp"));
    QVERIFY(w.store.DocumentModified());
}

void TestQuestionStore::freeTextBeginningLikeATagStaysInItsBlock_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<MessageAnswer>("restore");
    QTest::newRow("<BLOCAGE, kept as loaded") << "<BLOCAGE moteur" << MessageAnswer::No;
    QTest::newRow("<BLOCAGE, restored") << "<BLOCAGE moteur" << MessageAnswer::Yes;
    QTest::newRow("</BLOCKQUOTE>, restored") << "</BLOCKQUOTE>" << MessageAnswer::Yes;
    QTest::newRow("closing tag cut short, restored") << "</BLOC0000." << MessageAnswer::Yes;
    QTest::newRow("<BLOC without four digits") << "<BLOC 12 ans>" << MessageAnswer::No;
}

void TestQuestionStore::freeTextBeginningLikeATagStaysInItsBlock()
{
    QFETCH(QString, line);
    QFETCH(MessageAnswer, restore);
    Workspace w;
    // Such a line counts as a tag, so the file looks unbalanced: the restore question comes.
    w.boxes.script(restore);
    const QStringList freeText{"avant", line, "après"};
    w.load(block(0, "a", "1", freeText) + block(1, "b"));
    QCOMPARE(w.boxes.pendingAnswers(), 0);
    QCOMPARE(w.sheet.shown.freeText, freeText);
    w.store.Suivant();
    w.store.Premier();
    QCOMPARE(w.sheet.shown.freeText, freeText);
    const QStringList &document = w.store.document();
    QCOMPARE(document.count(line), 1);
    const int open = QcmFormat::findBlock(document, 0);
    const int at = int(document.indexOf(line));
    QVERIFY(at > open && at < QcmFormat::blockEnd(document, open, 0));
    QCOMPARE(document.count(QStringLiteral("TITLE b")), 1);
}

void TestQuestionStore::nulBytesAreDroppedNotWhatFollows()
{
    Workspace w;
    QByteArray bytes = QcmText::encodeLines(questionnaire(3));
    bytes += '\0';
    bytes += QcmText::encodeLines(block(3, "q3") + block(4, "q4") + block(5, "q5"));
    w.store.Charge(w.write(QStringLiteral("nul.qcm"), bytes));
    QCOMPARE(w.boxes.shown().size(), 1);
    QCOMPARE(w.boxes.lastText(), QStringLiteral("Le fichier contenait 1 caractère(s) nul(s), qui ont été retirés."));
    QCOMPARE(w.store.QuestionCount(), 6);
    // The file on disk still holds the NUL: closing must offer to save.
    QVERIFY(w.store.DocumentModified());
    w.store.Sauve(w.path(QStringLiteral("nul.qcm")));
    const QByteArray saved = w.read(QStringLiteral("nul.qcm"));
    QVERIFY(!saved.contains('\0'));
    QCOMPARE(QcmFormat::countQuestions(QcmText::decodeLines(saved)), 6);
}

void TestQuestionStore::questionsBeyond10000AreKeptButNeverReached()
{
    Workspace w;
    QStringList lines;
    for (int n = 0; n < QcmFormat::MaxQuestions; ++n)
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE q%1").arg(n) << QcmFormat::closingTag(n);
    // Questions 10,001 to 10,003 carry the tags of questions 1 to 3.
    QStringList beyond;
    for (int n = QcmFormat::MaxQuestions; n < QcmFormat::MaxQuestions + 3; ++n)
        beyond << QcmFormat::openingTag(n) << QStringLiteral("TITLE au-delà %1").arg(n) << QStringLiteral("libre")
               << QcmFormat::closingTag(n);
    w.load(lines + beyond);
    QCOMPARE(w.boxes.shown().size(), 1);
    QCOMPARE(w.boxes.lastText(), QStringLiteral("Ce questionnaire compte 10003 questions ; seules les 10000 premières "
                                                "peuvent être affichées et modifiées."));
    QCOMPARE(w.store.QuestionCount(), 10000);

    // Question 1, written back to the end of the document, is still question 1.
    w.sheet.type(QStringLiteral("q0 modifiée"));
    w.store.Dernier();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("q9999"));
    w.store.Suivant();
    QCOMPARE(w.store.CurrentQuestion(), 9999);
    w.store.Premier();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("q0 modifiée"));
    w.store.AllerA(1);
    w.store.Supprime();
    QCOMPARE(w.sheet.shown.title, QStringLiteral("q2"));
    w.store.Ajout();
    QCOMPARE(w.store.QuestionCount(), 10000);

    // The blocks beyond are saved as they were read, after the others.
    const QStringList saved = QcmText::decodeLines(w.store.ContenuFichier());
    QCOMPARE(saved.mid(saved.size() - beyond.size()), beyond);
    QCOMPARE(saved.count(QStringLiteral("TITLE au-delà 10000")), 1);
}

// Boxes that note the title on the sheet when each one comes up.
struct WatchingBoxes : ScriptedMessageBoxes
{
    const FakeSheet *sheet = nullptr;
    QStringList titlesSeen;

    // Every box but the one with details comes here.
    MessageAnswer showWithDefault(MessageIcon icon, const QString &text, MessageButtons buttons,
                                  MessageAnswer defaultAnswer) override
    {
        titlesSeen << sheet->shown.title;
        return ScriptedMessageBoxes::showWithDefault(icon, text, buttons, defaultAnswer);
    }
};

void TestQuestionStore::loadingReportsComeOverTheFirstQuestion_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("texts");
    const QString repair = QStringLiteral("Le fichier a été altéré. Restaurer ?");
    const QString nul = QStringLiteral("Le fichier contenait 1 caractère(s) nul(s), qui ont été retirés.");
    QStringList many;
    for (int n = 0; n < QcmFormat::MaxQuestions + 2; ++n)
        many << QcmFormat::openingTag(n) << QStringLiteral("TITLE q%1").arg(n % QcmFormat::MaxQuestions)
             << QcmFormat::closingTag(n);
    const QString tooMany = QStringLiteral("Ce questionnaire compte 10002 questions ; seules les 10000 premières "
                                           "peuvent être affichées et modifiées.");
    const QStringList stray{QStringLiteral("<BLOC0001>"), QStringLiteral("TITLE perdu")};

    QTest::newRow("NUL byte") << QcmText::encodeLines(block(0, "q0")) + '\0' << QStringList{nul};
    QTest::newRow("NUL byte in a damaged file") << QcmText::encodeLines(block(0, "q0") + stray) + '\0'
                                                << QStringList{repair, nul};
    QTest::newRow("10,002 questions") << QcmText::encodeLines(many) << QStringList{tooMany};
    QTest::newRow("10,002 questions, damaged") << QcmText::encodeLines(many + QStringList{"</BLOC0003>"})
                                               << QStringList{repair, tooMany};
}

void TestQuestionStore::loadingReportsComeOverTheFirstQuestion()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, texts);
    Workspace files;
    FakeSheet sheet;
    WatchingBoxes boxes;
    QuestionStore store{sheet, boxes};
    sheet.store = &store;
    boxes.sheet = &sheet;
    boxes.script(MessageAnswer::Yes); // the repair, when it is offered

    store.Charge(files.write(QStringLiteral("rapport.qcm"), bytes));
    QStringList shown;
    for (const ScriptedMessageBoxes::Shown &box : boxes.shown())
        shown << box.text;
    QCOMPARE(shown, texts);
    QCOMPARE(boxes.titlesSeen.last(), QStringLiteral("q0"));
    QCOMPARE(sheet.label, QStringLiteral("Question 1"));
}

QTEST_GUILESS_MAIN(TestQuestionStore)
#include "tst_questionstore.moc"
