#include "document/exchange/moodlexmlformat.h"
#include "platform/apperror.h"

#include <QtTest>

class TestMoodleXmlFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsMultichoice();
    void skips_data();
    void skips();
    void readsTextsAsMoodleShowsThem_data();
    void readsTextsAsMoodleShowsThem();
    void refusesBrokenFiles_data();
    void refusesBrokenFiles();
    void deepMarkupIsSkipped_data();
    void deepMarkupIsSkipped();
    void bytesThatAreNotUtf8_data();
    void bytesThatAreNotUtf8();
    void writtenQuestionsReadBack();
    void writesWhatMoodleReads();
};

namespace {

// The general feedback, then each answer's own, numbered: what a reader of the question sees.
QStringList shownFeedback(const ExchangeQuestion &question)
{
    QStringList shown = question.feedback;
    for (int a = 0; a < int(question.answerFeedback.size()); ++a) {
        if (!question.answerFeedback.at(a).isEmpty())
            shown << QStringLiteral("%1) %2").arg(a + 1).arg(question.answerFeedback.at(a));
    }
    return shown;
}

QByteArray quiz(const QByteArray &questions)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + questions + "\n</quiz>\n";
}

// The shape of Moodle's own documentation example, with a picture in the question text.
const QByteArray DocumentationQuestion = R"(
<!-- question: 1 -->
<question type="category"><category><text>$course$/Défaut</text></category></question>
<question type="multichoice">
  <name><text>Name of question</text></name>
  <questiontext format="html">
    <text><![CDATA[<p>What is the answer to this question?</p><p><img src="@@PLUGINFILE@@/ma%20carte.png" alt=""></p>]]></text>
    <file name="ma carte.png" path="/" encoding="base64">iVBO
Rw0K</file>
  </questiontext>
  <generalfeedback format="html"><text>&lt;p&gt;Voir le cours.&lt;/p&gt;</text></generalfeedback>
  <single>true</single>
  <shuffleanswers>1</shuffleanswers>
  <answer fraction="100"><text>The correct answer</text><feedback><text>Correct!</text></feedback></answer>
  <answer fraction="0"><text>A distractor</text><feedback><text>Ooops!</text></feedback></answer>
  <answer fraction="0"><text>Another distractor</text><feedback><text></text></feedback></answer>
</question>)";

} // namespace

void TestMoodleXmlFormat::readsMultichoice()
{
    const ReadResult result = MoodleXmlFormat::read(quiz(DocumentationQuestion));
    QCOMPARE(result.skipped.size(), 0);
    QCOMPARE(result.questions.size(), 1);
    const ExchangeQuestion &question = result.questions.first();
    QCOMPARE(question.name, QStringLiteral("Name of question"));
    QCOMPARE(question.text, QStringLiteral("What is the answer to this question?"));
    QCOMPARE(question.answers, (QStringList{"The correct answer", "A distractor", "Another distractor"}));
    QCOMPARE(question.rightAnswer, 0);
    QCOMPARE(question.feedback, (QStringList{"Voir le cours."}));
    QCOMPARE(question.answerFeedback, (QStringList{"Correct!", "Ooops!", ""}));
    QCOMPARE(question.picture, QStringLiteral("ma carte.png"));
    QCOMPARE(question.pictureData, QByteArray("\x89PNG\r\n"));
}

void TestMoodleXmlFormat::skips_data()
{
    QTest::addColumn<QByteArray>("question");
    QTest::addColumn<QString>("reason");
    QTest::newRow("true/false") << QByteArray("<question type=\"truefalse\"><name><text>V</text></name></question>")
                                << "vrai/faux";
    QTest::newRow("cloze") << QByteArray("<question type=\"cloze\"/>") << "« cloze »";
    QTest::newRow("several answers allowed")
        << QByteArray("<question type=\"multichoice\"><single>false</single>"
                      "<answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text></answer>"
                      "</question>")
        << "plusieurs réponses";
    QTest::newRow("partial credit")
        << QByteArray("<question type=\"multichoice\"><answer fraction=\"50\"><text>a</text></answer>"
                      "<answer fraction=\"100\"><text>b</text></answer></question>")
        << "pondérées";
    QTest::newRow("two right answers")
        << QByteArray("<question type=\"multichoice\"><answer fraction=\"100\"><text>a</text></answer>"
                      "<answer fraction=\"100\"><text>b</text></answer></question>")
        << "plusieurs bonnes";
    QTest::newRow("no right answer")
        << QByteArray("<question type=\"multichoice\"><answer fraction=\"0\"><text>a</text></answer></question>")
        << "aucune bonne";
    // A questionnaire's answers are written: a choice that is a picture cannot be one.
    QTest::newRow("a wrong answer that is only a picture")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<answer fraction=\"100\"><text>a</text></answer>"
                      "<answer fraction=\"0\" format=\"html\"><text><![CDATA[<p><img src=\"@@PLUGINFILE@@/b.png\"></p>]]>"
                      "</text><file name=\"b.png\" encoding=\"base64\">eA==</file></answer></question>")
        << "la réponse 2 est une image";
    QTest::newRow("the right answer that is only a picture")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<answer fraction=\"0\"><text>a</text></answer>"
                      "<answer fraction=\"100\" format=\"html\"><text>&lt;img src=\"@@PLUGINFILE@@/b.png\"&gt;</text>"
                      "</answer></question>")
        << "la réponse 2 est une image";
}

void TestMoodleXmlFormat::skips()
{
    QFETCH(QByteArray, question);
    QFETCH(QString, reason);
    const ReadResult result = MoodleXmlFormat::read(quiz(question + DocumentationQuestion));
    QCOMPARE(result.questions.size(), 1);
    QCOMPARE(result.skipped.size(), 1);
    QCOMPARE(result.skipped.first().number, 1);
    QVERIFY2(result.skipped.first().reason.contains(reason), qPrintable(result.skipped.first().reason));
}

// Texts as Moodle shows them: HTML (the format of a text that names none, and of answers and
// feedback that name none where the question text is HTML) and auto-format reduced to text,
// plain text as written; pictures of the old <image> element kept like embedded ones.
void TestMoodleXmlFormat::readsTextsAsMoodleShowsThem_data()
{
    QTest::addColumn<QByteArray>("question");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("feedback");
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QString>("note");
    const QByteArray answers = "<answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text></answer>";
    QTest::newRow("no format: HTML")
        << QByteArray("<question type=\"multichoice\"><questiontext><text>&lt;p&gt;A &amp;amp; B&lt;/p&gt;&lt;p&gt;C&lt;/p&gt;"
                      "</text></questiontext>" + answers + "</question>")
        << "A & B\nC" << QStringList{"a", "b"} << QStringList() << "" << "";
    QTest::newRow("auto-format: HTML with its line breaks")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"moodle_auto_format\"><text>Quelle "
                      "&lt;b&gt;ville&lt;/b&gt; ?\nDeux  lignes &amp;eacute;</text></questiontext>" + answers + "</question>")
        << "Quelle ville ?\nDeux lignes é" << QStringList{"a", "b"} << QStringList() << "" << "";
    QTest::newRow("plain text as written")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"plain_text\"><text>a &lt;b&gt; &amp;amp;</text>"
                      "</questiontext><answer fraction=\"100\"><text>&lt;i&gt;x&lt;/i&gt;</text></answer>"
                      "<answer fraction=\"0\" format=\"html\"><text>&lt;i&gt;y&lt;/i&gt;</text></answer></question>")
        << "a <b> &amp;" << QStringList{"<i>x</i>", "y"} << QStringList() << "" << "";
    QTest::newRow("answers and feedback in the question's HTML, feedback in its own format")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<generalfeedback><text>&lt;p&gt;Vu&lt;/p&gt;</text></generalfeedback>"
                      "<answer fraction=\"100\"><text>&lt;p&gt;x &amp;amp; y&lt;/p&gt;</text>"
                      "<feedback format=\"plain_text\"><text>&lt;3</text></feedback></answer>"
                      "<answer fraction=\"0\" format=\"plain_text\"><text>z</text>"
                      "<feedback><text>&lt;b&gt;non&lt;/b&gt;</text></feedback></answer></question>")
        << "Q" << QStringList{"x & y", "z"} << QStringList{"Vu", "1) <3", "2) non"} << "" << "";
    QTest::newRow("old <image> element with its data")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<image>images/carte.png</image><image_base64>UE5H</image_base64>" + answers + "</question>")
        << "Q" << QStringList{"a", "b"} << QStringList() << "carte.png" << "";
    QTest::newRow("old <image> element naming a file outside")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<image>http://exemple.fr/carte.png</image>" + answers + "</question>")
        << "Q" << QStringList{"a", "b"} << QStringList() << "" << "carte.png est hors du fichier";
    QTest::newRow("a picture beside an answer's text")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<answer fraction=\"100\"><text>a &lt;img src=\"@@PLUGINFILE@@/a.png\"&gt;</text></answer>"
                      "<answer fraction=\"0\"><text>b</text></answer></question>")
        << "Q" << QStringList{"a", "b"} << QStringList() << "" << "l'image a.png de la réponse 1 n'est pas reprise";
    QTest::newRow("a picture in the feedback")
        << QByteArray("<question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<generalfeedback format=\"html\"><text>Voir &lt;img src=\"@@PLUGINFILE@@/f.png\"&gt;</text>"
                      "</generalfeedback>" + answers + "</question>")
        << "Q" << QStringList{"a", "b"} << QStringList{"Voir"} << "" << "l'image f.png du feedback n'est pas reprise";
}

void TestMoodleXmlFormat::readsTextsAsMoodleShowsThem()
{
    QFETCH(QByteArray, question);
    QFETCH(QString, text);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, feedback);
    QFETCH(QString, picture);
    QFETCH(QString, note);
    const ReadResult result = MoodleXmlFormat::read(quiz(question));
    QVERIFY2(result.skipped.isEmpty(), qPrintable(result.skipped.value(0).reason));
    QCOMPARE(result.questions.size(), 1);
    QCOMPARE(result.questions.first().text, text);
    QCOMPARE(result.questions.first().answers, answers);
    QCOMPARE(shownFeedback(result.questions.first()), feedback);
    QCOMPARE(result.questions.first().picture, picture);
    if (!picture.isEmpty())
        QCOMPARE(result.questions.first().pictureData, QByteArray("PNG"));
    if (note.isEmpty())
        QCOMPARE(result.notes, QStringList());
    else
        QVERIFY2(result.notes.size() == 1 && result.notes.first().contains(note), qPrintable(result.notes.join('\n')));
}

void TestMoodleXmlFormat::refusesBrokenFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("not XML") << QByteArray("Q {=a ~b}") << "ne commence pas par <quiz>";
    QTest::newRow("other root") << QByteArray("<html><body/></html>") << "ne commence pas par <quiz>";
    QTest::newRow("cut short") << quiz(DocumentationQuestion).left(300) << "incomplet";
    QTest::newRow("mismatched tags") << QByteArray("<quiz><question></quiz>") << "ligne 1";
    // The fault is named where it is, not taken for a file of another kind.
    QTest::newRow("control character before <quiz>") << QByteArray("<?xml version=\"1.0\"?>\n\x01<quiz></quiz>")
                                                     << "erreur de syntaxe à la ligne 2";
    QTest::newRow("bad byte in a file declared Latin-1 is still read as declared, broken tag found")
        << QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<quiz>\n<question>\xE9</quiz>") << "ligne 3";
}

void TestMoodleXmlFormat::refusesBrokenFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    try {
        MoodleXmlFormat::read(bytes);
        QFAIL("the file was read");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(message), qPrintable(error.message()));
    }
}

// Thousands of nested elements (an 840 KB file once overflowed the stack): whatever the file
// nests where nothing is expected is passed over, and the question around it is read.
void TestMoodleXmlFormat::deepMarkupIsSkipped_data()
{
    constexpr int Depth = 40000;
    const auto nested = [](const QByteArray &element) {
        return element.repeated(Depth) + QByteArray(element).insert(1, '/').repeated(Depth);
    };
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("feedback");
    const QByteArray answers = "<answer fraction=\"0\"><text>b</text></answer>";
    QTest::newRow("feedback in feedback")
        << quiz("<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>"
                "<answer fraction=\"100\"><text>a</text><feedback><text>Bravo</text>"
                + nested("<feedback>") + "</feedback></answer>" + answers + "</question>")
        << QStringList{"1) Bravo"};
    QTest::newRow("unknown elements in a question")
        << quiz("<question type=\"multichoice\">" + nested("<x>") + "<questiontext><text>Q</text></questiontext>"
                "<answer fraction=\"100\"><text>a</text></answer>" + answers + "</question>")
        << QStringList();
    QTest::newRow("unknown elements in the question text")
        << quiz("<question type=\"multichoice\"><questiontext><text>Q</text>" + nested("<y>")
                + "</questiontext><answer fraction=\"100\"><text>a</text></answer>" + answers + "</question>")
        << QStringList();
    QTest::newRow("unknown elements in the quiz")
        << quiz(nested("<question>") + "<question type=\"multichoice\"><questiontext><text>Q</text></questiontext>"
                "<answer fraction=\"100\"><text>a</text></answer>" + answers + "</question>")
        << QStringList();
}

void TestMoodleXmlFormat::deepMarkupIsSkipped()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, feedback);
    const ReadResult result = MoodleXmlFormat::read(bytes);
    QCOMPARE(result.questions.size(), 1);
    QCOMPARE(result.questions.first().text, QStringLiteral("Q"));
    QCOMPARE(result.questions.first().answers, (QStringList{"a", "b"}));
    QCOMPARE(shownFeedback(result.questions.first()), feedback);
}

// A file said to be UTF-8 (or saying nothing, which means UTF-8) that a Windows editor saved:
// read as Windows-1252, as the text formats are, with a note naming the first odd byte's line.
void TestMoodleXmlFormat::bytesThatAreNotUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("note");
    const QByteArray question = "<question type=\"multichoice\">\n<questiontext><text>Capitale \xE0 l'est ?</text>"
                                "</questiontext>\n<answer fraction=\"100\"><text>Vienne</text></answer>"
                                "<answer fraction=\"0\"><text>Lisbonne \x80</text></answer></question>";
    QTest::newRow("declared UTF-8") << quiz(question) << "Capitale à l'est ?" << "octet 0xE0 à la ligne 4";
    QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF" + quiz(question)) << "Capitale à l'est ?"
                                           << "octet 0xE0 à la ligne 4";
    QTest::newRow("no declaration") << QByteArray("<quiz>" + question + "</quiz>") << "Capitale à l'est ?"
                                    << "octet 0xE0 à la ligne 2";
    QTest::newRow("odd byte in a comment before <quiz>")
        << QByteArray("<!-- export\x92s -->\n<quiz>" + QByteArray(question).replace('\xE0', 'a') + "</quiz>")
        << "Capitale a l'est ?" << "octet 0x92 à la ligne 1";
    QTest::newRow("declared Windows-1252: as declared, no note")
        << QByteArray("<?xml version=\"1.0\" encoding=\"windows-1252\"?><quiz>" + question + "</quiz>")
        << "Capitale à l'est ?" << "";
    QTest::newRow("valid UTF-8: no note") << quiz(QByteArray(question).replace("\xE0", "\xC3\xA0").replace("\x80", "\xE2\x82\xAC")) << "Capitale à l'est ?"
                                          << "";
}

void TestMoodleXmlFormat::bytesThatAreNotUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(QString, note);
    const ReadResult result = MoodleXmlFormat::read(bytes);
    QCOMPARE(result.questions.size(), 1);
    QCOMPARE(result.questions.first().text, text);
    QCOMPARE(result.questions.first().answers.last(), QStringLiteral("Lisbonne €"));
    if (note.isEmpty()) {
        QCOMPARE(result.notes, QStringList());
    } else {
        QCOMPARE(result.notes.size(), 1);
        QVERIFY2(result.notes.first().contains(note) && result.notes.first().contains(QStringLiteral("Windows-1252")),
                 qPrintable(result.notes.first()));
    }
}

void TestMoodleXmlFormat::writtenQuestionsReadBack()
{
    ExchangeQuestion question;
    question.name = QStringLiteral("Capitale");
    question.text = QStringLiteral("Quelle  ville <b> & \"quoi\" ]]> ?");
    question.answers = QStringList{"a < b", " c", "d &amp;"};
    question.rightAnswer = 2;
    question.feedback = QStringList{"Une ligne", "", "Une autre"};
    question.picture = QStringLiteral("drapeau été#1.bmp");
    question.pictureData = QByteArray("BM\x00\x01\xFF", 5);
    ExchangeQuestion without;
    without.name = QStringLiteral("Sans image");
    without.text = QStringLiteral("Q");
    without.answers = QStringList{"x", "y"};
    without.rightAnswer = 0;
    without.answerFeedback = QStringList{"oui", ""};
    ExchangeQuestion several;
    several.name = QStringLiteral("Pairs");
    several.text = QStringLiteral("Quels nombres sont pairs ?");
    several.answers = QStringList{"2", "3", "4", "6", "9"};
    several.rightAnswers = QList<int>{0, 2, 3};
    several.rightAnswer = 0;
    several.answerFeedback = QStringList{"", "3 est impair", "", "", "<9>"};
    const QByteArray bytes = MoodleXmlFormat::write({question, without, several});
    const ReadResult result = MoodleXmlFormat::read(bytes);
    QCOMPARE(result.skipped.size(), 0);
    QVERIFY(result.notes.isEmpty());
    QCOMPARE(result.questions, (QList<ExchangeQuestion>{question, without, several}));
    // Moodle's own fractions for the program's partial credit: a third each, minus a half.
    const QString xml = QString::fromUtf8(bytes);
    for (const char *expected : {"<single>false</single>", "<answer fraction=\"33.33333\" format=\"html\">",
                                 "<answer fraction=\"-50\" format=\"html\">"})
        QVERIFY2(xml.contains(QLatin1String(expected)), expected);
}

// The elements and values Moodle's importer looks for.
void TestMoodleXmlFormat::writesWhatMoodleReads()
{
    ExchangeQuestion question;
    question.text = QStringLiteral("Q");
    question.answers = QStringList{"x", "y"};
    question.rightAnswer = 1;
    const QString xml = QString::fromUtf8(MoodleXmlFormat::write({question}));
    QVERIFY(xml.startsWith(QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")));
    for (const char *expected : {"<question type=\"multichoice\">", "<name>\n            <text>Q</text>",
                                 "<single>true</single>", "<answer fraction=\"0\" format=\"html\">",
                                 "<answer fraction=\"100\" format=\"html\">", "<questiontext format=\"html\">"})
        QVERIFY2(xml.contains(QLatin1String(expected)), expected);
}

QTEST_GUILESS_MAIN(TestMoodleXmlFormat)
#include "tst_moodlexmlformat.moc"
