#include "document/exchange/giftformat.h"

#include <QtTest>

class TestGiftFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsMultipleChoice_data();
    void readsMultipleChoice();
    void readsSeveralRightAnswers_data();
    void readsSeveralRightAnswers();
    void skipsOtherKinds_data();
    void skipsOtherKinds();
    void fileWithEverything();
    void writtenQuestionsReadBack_data();
    void writtenQuestionsReadBack();
};

void TestGiftFormat::readsMultipleChoice_data()
{
    QTest::addColumn<QString>("gift");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("right");
    QTest::addColumn<QStringList>("feedback");

    // Moodle's own examples first.
    QTest::newRow("grant's tomb") << "Who's buried in Grant's tomb?{~Grant ~Jefferson =no one}"
                                  << "Who's buried in Grant's tomb?" << QStringList{"Grant", "Jefferson", "no one"} << 2
                                  << QStringList();
    QTest::newRow("missing word") << "Grant is {~buried =entombed ~living} in Grant's tomb."
                                  << "Grant is _____ in Grant's tomb." << QStringList{"buried", "entombed", "living"}
                                  << 1 << QStringList();
    QTest::newRow("answers on their own lines")
        << "The American holiday of Thanksgiving is celebrated on the {\n    ~second\n    ~third\n    =fourth\n} "
           "Thursday of November."
        << "The American holiday of Thanksgiving is celebrated on the _____ Thursday of November."
        << QStringList{"second", "third", "fourth"} << 2 << QStringList();
    QTest::newRow("closing brace after last answer")
        << "Japanese characters originally came from what country? {\n    ~India\n    =China\n    ~Korea\n    ~Egypt}"
        << "Japanese characters originally came from what country?" << QStringList{"India", "China", "Korea", "Egypt"}
        << 1 << QStringList();
    QTest::newRow("answer feedback")
        << "::Q2:: What's between orange and green in the spectrum?\n"
           "{ =yellow # right; good! ~red # wrong, it's yellow ~blue # wrong, it's yellow }"
        << "What's between orange and green in the spectrum?" << QStringList{"yellow", "red", "blue"} << 0
        << QStringList{"1) right; good!", "2) wrong, it's yellow", "3) wrong, it's yellow"};
    QTest::newRow("escaped equals signs") << "Which answer equals 5? {\n    ~ \\= 2 + 2\n    = \\= 2 + 3\n    ~ \\= 2 + 4\n}"
                                          << "Which answer equals 5?" << QStringList{"= 2 + 2", "= 2 + 3", "= 2 + 4"}
                                          << 1 << QStringList();
    QTest::newRow("every escape")
        << "a\\~b\\=c\\#d\\{e\\}f\\:g\\\\h\\nline {=x\\~\\} ~y\\#\\: ####fin\\: ok}"
        << "a~b=c#d{e}f:g\\h\nline" << QStringList{"x~}", "y#:"} << 0 << QStringList{"fin: ok"};
    QTest::newRow("other backslashes stay") << "C:\\temp\\dossier ? {=a ~b}" << "C:\\temp\\dossier ?"
                                            << QStringList{"a", "b"} << 0 << QStringList();
    QTest::newRow("general feedback") << "Combien ? {=deux #bien ~trois ####Deux\\nlignes}"
                                      << "Combien ?" << QStringList{"deux", "trois"} << 0
                                      << QStringList{"Deux", "lignes", "1) bien"};
    QTest::newRow("html reduced to text") << "[html]<p>Quelle <b>ville</b>&nbsp;?</p>{=<i>Paris</i> ~Lyon &amp; co}"
                                          << QStringLiteral("Quelle ville\u00A0?") << QStringList{"Paris", "Lyon & co"}
                                          << 0 << QStringList();
    QTest::newRow("markdown kept as written") << "::n::[markdown]Un **mot** ?{=*a* ~b}" << "Un **mot** ?"
                                              << QStringList{"*a*", "b"} << 0 << QStringList();
    QTest::newRow("answer with its own format") << "[moodle]Q {=[html]<b>a</b> ~b}" << "Q" << QStringList{"a", "b"}
                                                << 0 << QStringList();
    QTest::newRow("empty wrong answer dropped") << "Q {~ =a ~b}" << "Q" << QStringList{"a", "b"} << 0 << QStringList();
    // Only "%N%" opens a weight, and only after "~"; a zero weight is an ordinary wrong answer.
    QTest::newRow("answers starting with a percent sign") << "Q {=5 % ~% d'erreur ~%x% ~50 %}" << "Q"
                                                          << QStringList{"5 %", "% d'erreur", "%x%", "50 %"} << 0
                                                          << QStringList();
    QTest::newRow("zero weight") << "Q {=a ~%0%b ~%-0%c}" << "Q" << QStringList{"a", "b", "c"} << 0 << QStringList();
    QTest::newRow("weight after = is text") << "Q {=%50%a ~b}" << "Q" << QStringList{"%50%a", "b"} << 0
                                            << QStringList();
    // Format names are read in lower case only; another name is text.
    QTest::newRow("upper-case or unknown marker is text") << "Q {=[HTML]a ~[texte] b}" << "Q"
                                                          << QStringList{"[HTML]a", "[texte] b"} << 0 << QStringList();
    QTest::newRow("two general feedback markers: the last") << "Q {=a ~b ####un ####deux}" << "Q"
                                                            << QStringList{"a", "b"} << 0
                                                            << QStringList{"deux", "2) ###un"};
    QTest::newRow("auto-format text is HTML") << "Q <b>gras</b> &amp; 1 < 2 {=a ~b}" << "Q gras & 1 < 2"
                                              << QStringList{"a", "b"} << 0 << QStringList();
}

void TestGiftFormat::readsMultipleChoice()
{
    QFETCH(QString, gift);
    QFETCH(QString, text);
    QFETCH(QStringList, answers);
    QFETCH(int, right);
    QFETCH(QStringList, feedback);
    const ReadResult result = GiftFormat::read(gift);
    QVERIFY2(result.skipped.isEmpty(), qPrintable(result.skipped.value(0).reason));
    QCOMPARE(result.questions.size(), 1);
    const ExchangeQuestion &question = result.questions.first();
    QCOMPARE(question.text, text);
    QCOMPARE(question.answers, answers);
    QCOMPARE(question.rightAnswer, right);
    // Each answer's feedback is its own; shown here after the general one, numbered.
    QStringList shown = question.feedback;
    for (int a = 0; a < int(question.answerFeedback.size()); ++a) {
        if (!question.answerFeedback.at(a).isEmpty())
            shown << QStringLiteral("%1) %2").arg(a + 1).arg(question.answerFeedback.at(a));
    }
    QCOMPARE(shown, feedback);
    QVERIFY(question.answerFeedback.isEmpty() || question.answerFeedback.size() == question.answers.size());
    QVERIFY(question.rightAnswers.isEmpty());
}

void TestGiftFormat::readsSeveralRightAnswers_data()
{
    QTest::addColumn<QString>("gift");
    QTest::addColumn<QList<int>>("right");
    QTest::addColumn<QStringList>("answerFeedback");
    QTest::addColumn<bool>("noted"); // Moodle's weights are not the program's partial credit
    QTest::newRow("Moodle's example: taken, its weights noted")
        << "What two people are entombed in Grant's tomb? {\n~%-100%No one\n~%50%Grant\n~%50%Grant's wife\n"
           "~%-100%Grant's father\n}"
        << QList<int>{1, 2} << QStringList() << true;
    QTest::newRow("the program's own weights") << "Q {~%50%a ~%-100%b ~%50%c}" << QList<int>{0, 2} << QStringList() << false;
    QTest::newRow("thirds as Moodle writes them")
        << "Q {~%33.33333%a ~%33.33333%b ~%33.33333%c ~%-50%d ~%-50%e}" << QList<int>{0, 1, 2} << QStringList() << false;
    QTest::newRow("wrong answers worth nothing: noted") << "Q {~%50%a ~%50%b ~c}" << QList<int>{0, 1} << QStringList() << true;
    QTest::newRow("each answer's feedback") << "Q {~%50%a #oui ~%50%b ~%-100%c #non}" << QList<int>{0, 1}
                                            << QStringList{"oui", "", "non"} << false;
}

void TestGiftFormat::readsSeveralRightAnswers()
{
    QFETCH(QString, gift);
    QFETCH(QList<int>, right);
    QFETCH(bool, noted);
    const ReadResult result = GiftFormat::read(gift);
    QVERIFY2(result.skipped.isEmpty(), qPrintable(result.skipped.value(0).reason));
    QCOMPARE(result.questions.size(), 1);
    const ExchangeQuestion &question = result.questions.first();
    QCOMPARE(question.rightAnswers, right);
    QCOMPARE(question.rightAnswer, right.first());
    QTEST(question.answerFeedback, "answerFeedback");
    QCOMPARE(result.notes.size(), noted ? 1 : 0);
    if (noted)
        QVERIFY2(result.notes.first().startsWith(QStringLiteral("Question 1 : les parts de Moodle")), qPrintable(result.notes.first()));
}

void TestGiftFormat::skipsOtherKinds_data()
{
    QTest::addColumn<QString>("gift");
    QTest::addColumn<QString>("reason");
    QTest::newRow("true/false") << "Grant was buried in a tomb in New York City.{T}" << "vrai/faux";
    QTest::newRow("false with feedback") << "The sun rises in the West.{FALSE#Non}" << "vrai/faux";
    QTest::newRow("short answer") << "Who's buried in Grant's tomb?{=Grant =Ulysses S. Grant =Ulysses Grant}"
                                  << "réponse courte";
    QTest::newRow("matching") << "Match the following countries with their corresponding capitals. {\n"
                                 "=Canada -> Ottawa\n=Italy -> Rome\n=Japan -> Tokyo\n=India -> New Delhi\n}"
                              << "appariement";
    QTest::newRow("numerical") << "When was Ulysses S. Grant born?{#1822:5}" << "numérique";
    QTest::newRow("essay") << "Write a short biography of Dag Hammarskjöld. {}" << "composition";
    QTest::newRow("weights beside =") << "Q {=a ~%50%b ~%50%c}" << "pourcentage";
    QTest::newRow("several answers ticked, one right") << "Q {~%100%a ~%-100%b}" << "une seule bonne";
    QTest::newRow("several right answers") << "Deux bonnes ? {=a =b ~c}" << "plusieurs bonnes";
    QTest::newRow("no right answer") << "Aucune ? {~a ~b}" << "aucune bonne";
    QTest::newRow("description") << "You can use your pencil and paper for these next math questions." << "description";
    QTest::newRow("unclosed brace") << "Q {=a ~b" << "accolade";
    QTest::newRow("unclosed name") << "::nom Q {=a ~b}" << "::";
    QTest::newRow("two answer blocks") << "Q {=a ~b} et {=c ~d}" << "plusieurs blocs";
    QTest::newRow("text before the answers") << "Q {texte =a ~b}" << "hors des réponses";
    QTest::newRow("empty right answer") << "Q {= ~b}" << "bonne réponse est vide";
    QTest::newRow("partial credit") << "Q {=a ~%50%b}" << "pourcentage";
    QTest::newRow("full weight without =: several answers allowed") << "Q {~%100%a ~b}" << "plusieurs réponses";
}

void TestGiftFormat::skipsOtherKinds()
{
    QFETCH(QString, gift);
    QFETCH(QString, reason);
    const ReadResult result = GiftFormat::read(gift);
    QCOMPARE(result.questions.size(), 0);
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().number, 1);
    QVERIFY2(result.skipped.first().reason.contains(reason), qPrintable(result.skipped.first().reason));
}

// Comments, categories, blank-line separation and numbering across taken and skipped questions.
void TestGiftFormat::fileWithEverything()
{
    const QString gift = QStringLiteral(
        "// Capitales, exportées à la main\n"
        "$CATEGORY: $course$/top/Géographie\n"
        "\n"
        "// question: 1\n"
        "::Paris::Capitale de la France ? {\n"
        "// a comment among the answers\n"
        "  ~Lyon\n"
        "  =Paris\n"
        "}\n"
        "\n\n"
        "La Terre est plate.{F}\n"
        "   \n"
        "// image : carte.png\n"
        "Où est Berne ? {=Suisse ~Autriche}\n"
        "\n"
        "// only a comment\n");
    const ReadResult result = GiftFormat::read(gift);
    QCOMPARE(result.questions.size(), 2);
    QCOMPARE(result.questions.at(0).name, QStringLiteral("Paris"));
    QCOMPARE(result.questions.at(0).answers, (QStringList{"Lyon", "Paris"}));
    QCOMPARE(result.questions.at(1).text, QStringLiteral("Où est Berne ?"));
    QCOMPARE(result.questions.at(1).picture, QStringLiteral("carte.png"));
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().number, 2);
    QCOMPARE(result.skipped.first().label, QStringLiteral("La Terre est plate.{F}"));
}

void TestGiftFormat::writtenQuestionsReadBack_data()
{
    QTest::addColumn<ExchangeQuestion>("question");
    ExchangeQuestion plain;
    plain.text = QStringLiteral("Quelle est la capitale de la France ?");
    plain.answers = QStringList{"Lyon", "Paris", "Marseille"};
    plain.rightAnswer = 1;
    QTest::newRow("plain") << plain;

    ExchangeQuestion special = plain;
    special.name = QStringLiteral("n:1 {x}");
    special.text = QStringLiteral("a~b=c#d{e}f:g\\h // pas un commentaire $CATEGORY: x [html]<b>");
    special.answers = QStringList{"=x", "~y", "#z", "{}", "a::b", "c\\n"};
    special.rightAnswer = 5;
    special.feedback = QStringList{"ligne 1", "", "####", "// trois"};
    special.picture = QStringLiteral("drapeau france.bmp");
    QTest::newRow("every special character") << special;

    ExchangeQuestion markers = plain;
    markers.answers = QStringList{"[moodle]", "[html]<b>x</b>", "[plain]", "[markdown]*y*", "[autre] z"};
    markers.feedback = QStringList{"[html]<p>voir</p>"};
    QTest::newRow("texts that read as format markers") << markers;

    ExchangeQuestion weights = plain;
    weights.answers = QStringList{"%50%la moitié", "% d'erreur", "%100%", "%-25%"};
    weights.rightAnswer = 1;
    QTest::newRow("answers that read as weights") << weights;

    ExchangeQuestion lines = plain;
    lines.text = QStringLiteral("Première ligne\nseconde ligne");
    QTest::newRow("line break in the text") << lines;

    ExchangeQuestion several = plain;
    several.answers = QStringList{"2", "3", "4", "6", "9"};
    several.rightAnswers = QList<int>{0, 2, 3};
    several.rightAnswer = 0;
    several.answerFeedback = QStringList{"", "3 est impair", "", "", "#9 {impair}"};
    QTest::newRow("several right answers, each answer's feedback") << several;

    ExchangeQuestion answerFeedback = plain;
    answerFeedback.answerFeedback = QStringList{"non", "oui", ""};
    QTest::newRow("one right answer, each answer's feedback") << answerFeedback;
}

void TestGiftFormat::writtenQuestionsReadBack()
{
    QFETCH(ExchangeQuestion, question);
    ExchangeQuestion second = question;
    second.text += QStringLiteral(" (bis)");
    const QString gift = GiftFormat::write({question, second});
    const ReadResult result = GiftFormat::read(gift);
    QVERIFY2(result.skipped.isEmpty(), qPrintable(gift));
    QCOMPARE(result.questions.size(), 2);
    QCOMPARE(result.questions.at(0), question);
    QCOMPARE(result.questions.at(1), second);
}

QTEST_GUILESS_MAIN(TestGiftFormat)
#include "tst_giftformat.moc"
