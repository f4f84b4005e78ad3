#include "document/exchange/questionexchange.h"
#include "document/classsettings.h"
#include "document/exchange/questionmapping.h"
#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "pictures/picturecontent.h"
#include "platform/apperror.h"
#include "platform/scriptedprogress.h"

#include <QtTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using QuestionExchange::Format;

Q_DECLARE_METATYPE(QuestionExchange::Format)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestQuestionExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void examplesSurviveARoundTrip_data();
    void examplesSurviveARoundTrip();
    void everyFieldThatTravelsComesBack_data();
    void everyFieldThatTravelsComesBack();
    void severalRightAnswersComeBack_data();
    void severalRightAnswersComeBack();
    void importAppliesTheQuestionnaireLimits_data();
    void importAppliesTheQuestionnaireLimits();
    void exportSkipsQuestionsThatCannotTravel_data();
    void exportSkipsQuestionsThatCannotTravel();
    void feedbackBecomesTheCorrection_data();
    void feedbackBecomesTheCorrection();
    void correctionBecomesTheFeedback_data();
    void correctionBecomesTheFeedback();
    void shuffledAnswersTravelInMoodleXml();
    void exportNamesTheCategory_data();
    void exportNamesTheCategory();
    void importTakesOneCategoryOrAll_data();
    void importTakesOneCategoryOrAll();
    void addedQuestionsFollowTheOpenOnes();
    void unencodableCharacters();
    void embeddedPicturesNeverOverwrite();
    void attachmentsThatAreNoPictureStayOut();
    void detectFormat_data();
    void detectFormat();
    void failedWriteKeepsTheEarlierFile();
    void refusesFilesBeyondTheBound();
    void picturesAreNamedAgainstTheFolder_data();
    void picturesAreNamedAgainstTheFolder();
    void progressFollowsTheQuestions_data();
    void progressFollowsTheQuestions();
    void stoppedImportLeavesNothing_data();
    void stoppedImportLeavesNothing();
    void brokenFileLeavesNoPicture();
    void drawTravelsAsRandomQuestions_data();
    void drawTravelsAsRandomQuestions();
};

namespace {

QStringList examples()
{
    QFile file(QStringLiteral(NELO_EXAMPLES "/capitales.qcm"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QcmText::decodeLines(file.readAll());
}

// The program's checked reading, with the formats the registry knows by itself (BMP among them).
QByteArray readPicture(const QString &path)
{
    static const PictureRegistry registry;
    return readPictureAsIs(registry, path);
}

QuestionExchange::Imported importGift(const QString &gift, bool keepUnencodable = true)
{
    QuestionExchange::ImportOptions options;
    options.keepUnencodable = keepUnencodable;
    return QuestionExchange::importQuestions(gift.toUtf8(), options);
}

// A Moodle XML file of multiple-choice questions, each showing the picture named and holding
// the bytes given.
QByteArray xmlWithPictures(const QList<std::pair<QString, QByteArray>> &pictures)
{
    QByteArray xml = "<quiz>";
    for (const auto &[name, bytes] : pictures) {
        xml += QStringLiteral("<question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;img "
                              "src=\"@@PLUGINFILE@@/%1\"&gt;Q</text><file name=\"%1\" encoding=\"base64\">%2</file>"
                              "</questiontext><answer fraction=\"100\"><text>a</text></answer>"
                              "<answer fraction=\"0\"><text>b</text></answer></question>")
                   .arg(name, QString::fromLatin1(bytes.toBase64()))
                   .toUtf8();
    }
    return xml + "</quiz>";
}

QByteArray giftOf(int questions)
{
    QByteArray gift;
    for (int n = 1; n <= questions; ++n)
        gift += QStringLiteral("Question %1 ? {=oui ~non}\n\n").arg(n).toUtf8();
    return gift;
}

// The folder's files and their bytes.
QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(info.fileName(), file.readAll());
    }
    return files;
}

} // namespace

void TestQuestionExchange::examplesSurviveARoundTrip_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("picturesTravel");
    QTest::newRow("GIFT") << Format::Gift << false;
    QTest::newRow("Moodle XML") << Format::MoodleXml << true;
}

// Every question of the sample questionnaire comes back field for field.
void TestQuestionExchange::examplesSurviveARoundTrip()
{
    QFETCH(Format, format);
    QFETCH(bool, picturesTravel);
    const QStringList original = examples();
    QVERIFY(!original.isEmpty());
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(original, format, QStringLiteral(NELO_EXAMPLES), readPicture);
    QCOMPARE(exported.report.skipped.size(), 0);

    QTemporaryDir folder;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    options.absolutePicturePaths = false;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(exported.bytes, options);
    QCOMPARE(imported.report.skipped.size(), 0);
    QCOMPARE(imported.report.notes, QStringList());

    const auto before = QuestionMapping::blocks(original);
    const auto after = QuestionMapping::blocks(imported.lines);
    QCOMPARE(after.size(), before.size());
    QCOMPARE(imported.report.done, int(before.size()));
    for (qsizetype i = 0; i < before.size(); ++i) {
        QCOMPARE(after.at(i).first, before.at(i).first);
        QCOMPARE(after.at(i).second.fields, before.at(i).second.fields);
        QCOMPARE(after.at(i).second.picture, before.at(i).second.picture);
        if (picturesTravel && !before.at(i).second.picture.isEmpty()) {
            QFile copy(folder.filePath(after.at(i).second.picture));
            QFile source(QStringLiteral(NELO_EXAMPLES "/") + before.at(i).second.picture);
            QVERIFY(copy.open(QIODevice::ReadOnly) && source.open(QIODevice::ReadOnly));
            QCOMPARE(copy.readAll(), source.readAll());
        }
    }
}

// Questions that once came back otherwise, each with what its format can carry.
void TestQuestionExchange::everyFieldThatTravelsComesBack_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("freeTextTravels");
    QTest::addColumn<bool>("pictureTravels"); // by name in GIFT, with its bytes in Moodle XML
    QTest::newRow("GIFT") << Format::Gift << true << true;
    QTest::newRow("Aiken") << Format::Aiken << false << false;
    QTest::newRow("Moodle XML") << Format::MoodleXml << true << true;
}

void TestQuestionExchange::everyFieldThatTravelsComesBack()
{
    QFETCH(Format, format);
    QFETCH(bool, freeTextTravels);
    QFETCH(bool, pictureTravels);
    struct Question
    {
        QString title;
        QStringList answers;
        int right;
        QStringList freeText;
        QString picture;
    };
    const QList<Question> questions = {
        {"a~b=c#d{e}f:g\\h [html] // %50% $CATEGORY: x", {"[moodle]", "%50%la moitié", "% d'erreur", "ANSWER: B", "{=x ~y}"}, 4,
         {"Lisez.", "", "  Puis répondez.", "Correction :", "[html]<p>voir</p>", "####"}, "drapeau-france.bmp"},
        {"E.T. est arrivé en ?", {"A. 1982", "B) 1983"}, 1, {"Correction :", "En 1982."}, ""},
        {"?", {"a", "b", "c"}, 3, {}, ""},
        {"A)B)C) Que vaut {x} si x = 2 ?", {"2", "&amp; <b>"}, 2, {"Que vaut {x} ?"}, "drapeau-france.bmp"},
        {QString(QStringLiteral("mot ")).repeated(62) + QStringLiteral("la fin."), {"oui", "non"}, 1,
         {"Un énoncé de deux", "lignes.", "correction :", "1) Oui."}, ""},
    };
    QTemporaryDir source;
    QVERIFY(QFile::copy(QStringLiteral(NELO_EXAMPLES "/drapeau-france.bmp"), source.filePath(QStringLiteral("drapeau-france.bmp"))));
    QList<QuestionMapping::Block> blocks;
    for (const Question &question : questions) {
        QuestionMapping::Block block;
        block.fields.title = question.title;
        for (int a = 0; a < int(question.answers.size()); ++a)
            block.fields.answers[a] = question.answers.at(a);
        block.fields.rightAnswer = question.right;
        block.fields.freeText = question.freeText;
        block.picture = question.picture;
        blocks.append(block);
    }
    const QStringList original = QuestionMapping::documentOf(blocks);
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(original, format, source.path(), readPicture, QStringLiteral("essai"));
    QCOMPARE(exported.report.skipped.size(), 0);

    QTemporaryDir target;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = target.path();
    options.absolutePicturePaths = false;
    QCOMPARE(QuestionExchange::detectFormat(exported.bytes), format);
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(exported.bytes, options);
    const auto back = QuestionMapping::blocks(imported.lines);
    QCOMPARE(back.size(), questions.size());
    for (qsizetype i = 0; i < back.size(); ++i) {
        const QuestionFields &fields = back.at(i).second.fields;
        QCOMPARE(fields.title, blocks.at(i).fields.title);
        QCOMPARE(fields.answers, blocks.at(i).fields.answers);
        QCOMPARE(fields.rightAnswer, blocks.at(i).fields.rightAnswer);
        QStringList freeText = blocks.at(i).fields.freeText;
        freeText.replaceInStrings(QStringLiteral("correction :"), QStringLiteral("Correction :"));
        QCOMPARE(fields.freeText, freeTextTravels ? freeText : QStringList());
        QCOMPARE(back.at(i).second.picture, pictureTravels ? blocks.at(i).picture : QString());
    }
    if (format == Format::MoodleXml) {
        QFile copy(target.filePath(QStringLiteral("drapeau-france.bmp")));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), QcmFile::read(QStringLiteral(NELO_EXAMPLES "/drapeau-france.bmp")));
    }
}

void TestQuestionExchange::severalRightAnswersComeBack_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<bool>("travels"); // Aiken names one right answer: the question stays out
    QTest::newRow("GIFT") << Format::Gift << true;
    QTest::newRow("Moodle XML") << Format::MoodleXml << true;
    QTest::newRow("Aiken") << Format::Aiken << false;
}

void TestQuestionExchange::severalRightAnswersComeBack()
{
    QFETCH(Format, format);
    QFETCH(bool, travels);
    QList<QuestionMapping::Block> blocks(3);
    const QStringList answers{"2", "3", "", "4", "9"};
    for (QuestionMapping::Block &block : blocks) {
        for (int a = 0; a < 5; ++a)
            block.fields.answers[a] = answers.at(a);
    }
    blocks[0].fields.title = QStringLiteral("Quels nombres sont pairs ?");
    blocks[0].fields.rightAnswer = 1;
    blocks[0].fields.freeText = {"Cochez-les tous.", "Correction :", "Bonnes réponses : 1, 4",
                                 "Commentaire de la réponse 5 : 9 est impair.", "Un pair finit par 0, 2, 4, 6 ou 8."};
    blocks[1].fields.title = QStringLiteral("Le plus petit ?");
    blocks[1].fields.rightAnswer = 1;
    blocks[1].fields.freeText = {"Correction :", "Commentaire de la réponse 2 : non, 2 < 3."};
    blocks[2].fields.title = QStringLiteral("Tous sauf un ?");
    blocks[2].fields.rightAnswer = 1;
    blocks[2].fields.freeText = {"Correction :", "Bonnes réponses : 1, 2, 4"};
    const QStringList original = QuestionMapping::documentOf(blocks);
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(original, format, QString(), readPicture, QStringLiteral("essai"));
    if (!travels) {
        QCOMPARE(exported.report.skipped.size(), 2);
        QVERIFY(exported.report.skipped.first().reason.contains(QStringLiteral("plusieurs bonnes réponses")));
        return;
    }
    QCOMPARE(exported.report.skipped.size(), 0);
    QuestionExchange::ImportOptions options;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(exported.bytes, options);
    QVERIFY2(imported.report.notes.isEmpty(), qPrintable(imported.report.notes.join(QLatin1Char('\n'))));
    const auto back = QuestionMapping::blocks(imported.lines);
    QCOMPARE(back.size(), blocks.size());
    for (qsizetype i = 0; i < back.size(); ++i) {
        QCOMPARE(back.at(i).second.fields.title, blocks.at(i).fields.title);
        QCOMPARE(back.at(i).second.fields.rightAnswer, blocks.at(i).fields.rightAnswer);
        // The empty third answer does not travel: the others move up, and so do their numbers.
        QStringList freeText = blocks.at(i).fields.freeText;
        freeText.replaceInStrings(QStringLiteral("1, 4"), QStringLiteral("1, 3"));
        freeText.replaceInStrings(QStringLiteral("1, 2, 4"), QStringLiteral("1, 2, 3"));
        freeText.replaceInStrings(QStringLiteral("réponse 5"), QStringLiteral("réponse 4"));
        QCOMPARE(back.at(i).second.fields.freeText, freeText);
    }
}

void TestQuestionExchange::importAppliesTheQuestionnaireLimits_data()
{
    QTest::addColumn<QString>("gift");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<QString>("skipped"); // a part of the reason, or empty when imported
    QTest::addColumn<QString>("note");

    const QString words = QString(QStringLiteral("mot ")).repeated(70).trimmed(); // 279 characters
    QTest::newRow("long text goes on into the free text")
        << words + QStringLiteral(" {=a ~b ####fin}") << QString(QStringLiteral("mot ")).repeated(64).trimmed()
        << QStringList{"a", "b", "", "", ""} << QStringList{QString(QStringLiteral("mot ")).repeated(6).trimmed(), "Correction :", "fin"}
        << QString() << "255 caractères";
    QTest::newRow("six answers, right among the first five")
        << "Q {~1 ~2 =3 ~4 ~5 ~6}" << "Q" << QStringList{"1", "2", "3", "4", "5"} << QStringList() << QString()
        << "6 réponses";
    QTest::newRow("six answers, right one is the sixth") << "Q {~1 ~2 ~3 ~4 ~5 =6}" << QString() << QStringList()
                                                         << QStringList() << "6e" << QString();
    QTest::newRow("answer longer than a field") << "Q {=" + QString(256, QLatin1Char('x')) + " ~b}" << QString()
                                                << QStringList() << QStringList() << "255" << QString();
    // Moodle refuses a multiple-choice question with fewer than two answers.
    QTest::newRow("one answer, GIFT") << "Q {=a ~ }" << QString() << QStringList() << QStringList() << "deux réponses"
                                      << QString();
    QTest::newRow("one answer, Aiken") << "Qu ?\nA. seule\nANSWER: A\n" << QString() << QStringList() << QStringList()
                                       << "deux réponses" << QString();
    QTest::newRow("no question text") << "{=a ~b}" << QString() << QStringList() << QStringList() << "sans texte"
                                      << QString();
    QTest::newRow("text lines after the first")
        << "Ligne un\\nligne deux {=a ~b}" << "Ligne un" << QStringList{"a", "b", "", "", ""}
        << QStringList{"ligne deux"} << QString() << QString();
    QTest::newRow("free text past twelve lines is folded")
        << "Q {=a ~b ####1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\\n9\\n10\\n11\\n12\\n13\\n14}" << "Q"
        << QStringList{"a", "b", "", "", ""} << QStringList{"Correction :", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11 12 13 14"}
        << QString() << "12 lignes";
    QTest::newRow("free-text line that looks like a tag")
        << "Q {=a ~b ####[plain]<BLOC0000>}" << "Q" << QStringList{"a", "b", "", "", ""} << QStringList{"Correction :", " <BLOC0000>"}
        << QString() << "<BLOC";
}

void TestQuestionExchange::importAppliesTheQuestionnaireLimits()
{
    QFETCH(QString, gift);
    QFETCH(QString, title);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, freeText);
    QFETCH(QString, skipped);
    QFETCH(QString, note);
    const QuestionExchange::Imported imported = importGift(gift);
    if (!skipped.isEmpty()) {
        QCOMPARE(imported.report.done, 0);
        QCOMPARE(imported.report.skipped.size(), 1);
        QVERIFY2(imported.report.skipped.first().reason.contains(skipped),
                 qPrintable(imported.report.skipped.first().reason));
        QCOMPARE(imported.lines, QStringList());
        return;
    }
    const auto blocks = QuestionMapping::blocks(imported.lines);
    QCOMPARE(blocks.size(), 1);
    const QuestionFields &fields = blocks.first().second.fields;
    QCOMPARE(fields.title, title);
    QCOMPARE(QStringList(fields.answers.begin(), fields.answers.end()), answers);
    QCOMPARE(fields.freeText, freeText);
    if (note.isEmpty())
        QCOMPARE(imported.report.notes, QStringList());
    else
        QVERIFY2(imported.report.notes.join(QLatin1Char('\n')).contains(note), qPrintable(imported.report.notes.join(QLatin1Char('\n'))));
}

void TestQuestionExchange::exportSkipsQuestionsThatCannotTravel_data()
{
    QTest::addColumn<QStringList>("block");
    QTest::addColumn<QString>("reason");
    const auto block = [](const QString &title, const QStringList &answers, const QString &right) {
        return QStringList{"<BLOC0000>", "TITLE " + title, "PICTURE "} + answers
            + QStringList{"REPONSE " + right, "</BLOC0000>"};
    };
    QTest::newRow("empty right answer") << block("Q", {"REP1 a", "REP2 ", "REP3 c", "REP4 ", "REP5 "}, "2") << "vide";
    QTest::newRow("one answer") << block("Q", {"REP1 a", "REP2 ", "REP3 ", "REP4 ", "REP5 "}, "1") << "deux";
    QTest::newRow("no title") << block("  ", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "1") << "titre";
    QTest::newRow("unreadable right answer") << block("Q", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "x")
                                             << "illisible";
    // The sheet would show such a question with answer 1 or 5 marked right: Moodle must not.
    QTest::newRow("right answer missing") << block("Q", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "")
                                          << "aucune bonne réponse";
    QTest::newRow("right answer 0") << block("Q", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "0")
                                    << "n° 0";
    QTest::newRow("right answer negative") << block("Q", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "-2")
                                           << "n° -2";
    QTest::newRow("right answer beyond the five") << block("Q", {"REP1 a", "REP2 b", "REP3 c", "REP4 d", "REP5 e"}, "7")
                                                  << "n° 7";
    QTest::newRow("right answer beyond its answers") << block("Q", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "3")
                                                     << "vide";
    QTest::newRow("right answer missing line") << QStringList{"<BLOC0000>", "TITLE Q", "PICTURE ", "REP1 a", "REP2 b"}
                                               << "aucune bonne réponse";
    QTest::newRow("control character") << block("Q\x01", {"REP1 a", "REP2 b", "REP3 ", "REP4 ", "REP5 "}, "1")
                                       << "U+0001";
    QTest::newRow("empty answers are left out") << block("Q", {"REP1 ", "REP2 a", "REP3 ", "REP4 b", "REP5 "}, "4")
                                                << QString();
}

void TestQuestionExchange::exportSkipsQuestionsThatCannotTravel()
{
    QFETCH(QStringList, block);
    QFETCH(QString, reason);
    for (const Format format : {Format::Gift, Format::Aiken, Format::MoodleXml}) {
        // Only XML cannot carry control characters.
        if (reason == QLatin1String("U+0001") && format != Format::MoodleXml)
            continue;
        const QuestionExchange::Exported exported = QuestionExchange::exportQuestions(block, format, QString(), readPicture);
        if (reason.isEmpty()) {
            QCOMPARE(exported.report.done, 1);
            const QuestionExchange::Imported back = QuestionExchange::importQuestions(exported.bytes, {});
            const auto blocks = QuestionMapping::blocks(back.lines);
            QCOMPARE(blocks.size(), 1);
            QCOMPARE(blocks.first().second.fields.answers[1], QStringLiteral("b"));
            QCOMPARE(blocks.first().second.fields.rightAnswer, 2);
            continue;
        }
        QCOMPARE(exported.report.done, 0);
        QCOMPARE(exported.report.skipped.size(), 1);
        QVERIFY2(exported.report.skipped.first().reason.contains(reason), qPrintable(exported.report.skipped.first().reason));
    }
}

// Moodle shows feedback once the question is answered: it goes after the correction marker,
// never into what the pupil reads before answering; the question text's further lines do.
void TestQuestionExchange::feedbackBecomesTheCorrection_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("freeText");
    QTest::newRow("GIFT, general and answer feedback")
        << QByteArray("Q\\nLisez bien. {=a#Oui ~b#Non ####Voir le cours\\npage 3}") << "Q"
        << QStringList{"Lisez bien.", "Correction :", "Commentaire de la réponse 1 : Oui",
                       "Commentaire de la réponse 2 : Non", "Voir le cours", "page 3"};
    QTest::newRow("GIFT, answer feedback only") << QByteArray("Q {=a ~b#Non}") << "Q"
                                                << QStringList{"Correction :", "Commentaire de la réponse 2 : Non"};
    QTest::newRow("GIFT, several right answers") << QByteArray("Q {~%50%a ~%50%b ~%-100%c}") << "Q"
                                                 << QStringList{"Correction :", "Bonnes réponses : 1, 2"};
    QTest::newRow("GIFT, no feedback") << QByteArray("Q\\nLisez. {=a ~b}") << "Q" << QStringList{"Lisez."};
    QTest::newRow("Moodle XML")
        << QByteArray("<quiz><question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;p&gt;Q&lt;/p&gt;"
                      "&lt;p&gt;Lisez.&lt;/p&gt;</text></questiontext><generalfeedback format=\"html\"><text>Vu"
                      "</text></generalfeedback><answer fraction=\"100\"><text>a</text><feedback><text>Oui</text>"
                      "</feedback></answer><answer fraction=\"0\"><text>b</text></answer></question></quiz>")
        << "Q" << QStringList{"Lisez.", "Correction :", "Commentaire de la réponse 1 : Oui", "Vu"};
    QTest::newRow("Moodle XML, several right answers")
        << QByteArray("<quiz><question type=\"multichoice\"><questiontext format=\"html\"><text>Q</text></questiontext>"
                      "<single>false</single><answer fraction=\"-100\"><text>a</text></answer><answer fraction=\"50\">"
                      "<text>b</text></answer><answer fraction=\"50\"><text>c</text><feedback><text>Oui</text></feedback>"
                      "</answer></question></quiz>")
        << "Q" << QStringList{"Correction :", "Bonnes réponses : 2, 3", "Commentaire de la réponse 3 : Oui"};
    // Twelve lines at most: each part is folded on its own, so that the marker stays a line.
    QTest::newRow("long statement") << QByteArray("Q\\n1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\\n9\\n10\\n11\\n12 {=a ~b ####Vu}")
                                    << "Q"
                                    << QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10 11 12",
                                                   "Correction :", "Vu"};
    QTest::newRow("long feedback") << QByteArray("Q\\nLisez. {=a ~b ####1\\n2\\n3\\n4\\n5\\n6\\n7\\n8\\n9\\n10\\n11\\n12}")
                                   << "Q"
                                   << QStringList{"Lisez.", "Correction :", "1", "2", "3", "4", "5", "6", "7", "8",
                                                  "9", "10 11 12"};
}

void TestQuestionExchange::feedbackBecomesTheCorrection()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, title);
    QFETCH(QStringList, freeText);
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(file, {});
    const auto blocks = QuestionMapping::blocks(imported.lines);
    QCOMPARE(blocks.size(), 1);
    QCOMPARE(blocks.first().second.fields.title, title);
    QCOMPARE(blocks.first().second.fields.freeText, freeText);
}

void TestQuestionExchange::correctionBecomesTheFeedback_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QStringList>("freeText");
    QTest::addColumn<QStringList>("written");    // parts of the file
    QTest::addColumn<QStringList>("notWritten");
    const QStringList freeText = {"Lisez.", "", "Puis choisissez.", "correction:", "Voir p. 3", "ou 4."};
    QTest::newRow("GIFT") << Format::Gift << freeText
                          << QStringList{"[plain]Q\\nLisez.\\n\\nPuis choisissez. {", "\t####Voir p. 3\\nou 4.\n"}
                          << QStringList{"correction"};
    QTest::newRow("Moodle XML") << Format::MoodleXml << freeText
                                << QStringList{"<text>&lt;p&gt;Q&lt;br&gt;Lisez.&lt;br&gt;&lt;br&gt;Puis choisissez.&lt;/p&gt;</text>",
                                               "<generalfeedback format=\"html\">\n            <text>&lt;p&gt;Voir p. 3&lt;br&gt;ou 4.&lt;/p&gt;"}
                                << QStringList{"correction"};
    QTest::newRow("GIFT, statement only") << Format::Gift << QStringList{"Lisez."} << QStringList{"[plain]Q\\nLisez. {"}
                                          << QStringList{"####"};
    QTest::newRow("GIFT, correction only") << Format::Gift << QStringList{"Correction :", "Vu"}
                                           << QStringList{"[plain]Q {", "####Vu"} << QStringList{"Correction"};
}

void TestQuestionExchange::correctionBecomesTheFeedback()
{
    QFETCH(Format, format);
    QFETCH(QStringList, freeText);
    QFETCH(QStringList, written);
    QFETCH(QStringList, notWritten);
    const QStringList block = QStringList{"<BLOC0000>", "TITLE Q", "PICTURE ", "REP1 a", "REP2 b", "REP3 ", "REP4 ",
                                          "REP5 ", "REPONSE 1"} + freeText + QStringList{"</BLOC0000>"};
    const QuestionExchange::Exported exported = QuestionExchange::exportQuestions(block, format, QString(), readPicture);
    const QString file = QString::fromUtf8(exported.bytes);
    for (const QString &part : written)
        QVERIFY2(file.contains(part), qPrintable(file));
    for (const QString &part : notWritten)
        QVERIFY2(!file.contains(part), qPrintable(file));

    // Back in a questionnaire, each part where it was; the marker as the sheet writes it.
    QStringList expected = freeText;
    expected.replaceInStrings(QStringLiteral("correction:"), QStringLiteral("Correction :"));
    const auto blocks = QuestionMapping::blocks(QuestionExchange::importQuestions(exported.bytes, {}).lines);
    QCOMPARE(blocks.size(), 1);
    QCOMPARE(blocks.first().second.fields.freeText, expected);
}

// The one class setting Moodle keeps with its questions.
void TestQuestionExchange::shuffledAnswersTravelInMoodleXml()
{
    const QStringList shuffled = QStringList{"PASSATION reponses=melange"} + examples();
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(shuffled, Format::MoodleXml, QStringLiteral(NELO_EXAMPLES), readPicture);
    QCOMPARE(exported.bytes.count("<shuffleanswers>true</shuffleanswers>"), 12);
    QTemporaryDir folder;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    const QStringList back = QuestionExchange::importQuestions(exported.bytes, options).lines;
    QVERIFY(ClassSettingsFormat::read(back) == ClassSettingsFormat::read(shuffled));
    QVERIFY(ClassSettingsFormat::read(back).shuffleAnswers);

    const QuestionExchange::Exported inOrder =
        QuestionExchange::exportQuestions(examples(), Format::MoodleXml, QStringLiteral(NELO_EXAMPLES), readPicture);
    QCOMPARE(inOrder.bytes.count("<shuffleanswers>false</shuffleanswers>"), 12);
    QCOMPARE(ClassSettingsFormat::settingsLines(QuestionExchange::importQuestions(inOrder.bytes, options).lines),
             QStringList());

    // Questions that disagree leave the questionnaire's order as it is, and say so.
    QByteArray mixed = exported.bytes;
    mixed.replace(mixed.indexOf("<shuffleanswers>true"), 20, "<shuffleanswers>false");
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(mixed, options);
    QCOMPARE(ClassSettingsFormat::settingsLines(imported.lines), QStringList());
    QVERIFY2(imported.report.notes.join(QLatin1Char('\n')).contains(QStringLiteral("mélangent")),
             qPrintable(imported.report.notes.join(QLatin1Char('\n'))));
}

void TestQuestionExchange::exportNamesTheCategory_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("path"); // as read back; empty when the format has none
    QTest::newRow("GIFT") << Format::Gift << "capitales" << QByteArray("$CATEGORY: $course$/top/capitales\n\n")
                          << "$course$/top/capitales";
    QTest::newRow("Moodle XML, a slash in the name")
        << Format::MoodleXml << "Europe/Asie" << QByteArray("<category>\n            <text>$course$/top/Europe//Asie</text>")
        << "$course$/top/Europe//Asie";
    QTest::newRow("Aiken has no categories") << Format::Aiken << "capitales" << QByteArray() << "";
}

void TestQuestionExchange::exportNamesTheCategory()
{
    QFETCH(Format, format);
    QFETCH(QString, name);
    QFETCH(QByteArray, written);
    QFETCH(QString, path);
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(examples(), format, QStringLiteral(NELO_EXAMPLES), readPicture, name);
    QVERIFY2(exported.bytes.contains(written), exported.bytes.left(400).constData());
    const auto categories = QuestionExchange::categoriesOf(exported.bytes, nullptr);
    QVERIFY(categories);
    QCOMPARE(*categories, (QList<QuestionExchange::FoundCategory>{{path, 12}}));
}

void TestQuestionExchange::importTakesOneCategoryOrAll_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<std::optional<QString>>("category");
    QTest::addColumn<QStringList>("titles");
    QTest::addColumn<int>("skipped");
    QTest::addColumn<QString>("details");
    // One question before any category, then Géographie (two taken, one left), then Histoire.
    const QByteArray gift = "Avant ? {=a ~b}\n\n$CATEGORY: $course$/top/Géographie\n\nFleuve ? {=Seine ~Loire}\n\n"
                            "Vrai ? {T}\n\n// image : x.png\nMer ? {=Nord ~Sud}\n\n$CATEGORY: $course$/top/Histoire\n\n"
                            "Roi ? {=Louis ~Jean}\n";
    const QString found = QStringLiteral("Catégories du fichier : sans catégorie (1 question), « Géographie » (3 questions), "
                                         "« Histoire » (1 question).");
    QTest::newRow("all") << gift << std::optional<QString>() << QStringList{"Avant ?", "Fleuve ?", "Mer ?", "Roi ?"} << 1
                         << found;
    QTest::newRow("one category") << gift << std::optional<QString>(QStringLiteral("$course$/top/Géographie"))
                                  << QStringList{"Fleuve ?", "Mer ?"} << 1
                                  << found + "\nSeules les questions de la catégorie « Géographie » sont importées.";
    QTest::newRow("the questions before any category") << gift << std::optional<QString>(QString())
                                                       << QStringList{"Avant ?"} << 0
                                                       << found + "\nSeules les questions de la catégorie sans "
                                                                  "catégorie sont importées.";
    // Said of a question left out with its category: not said; said of the file: said.
    const QByteArray xml = "<quiz><question type=\"category\"><category><text>$course$/A</text></category></question>"
                           "<question type=\"multichoice\"><questiontext><text>Q\xE9 &lt;img src=\"http://x/y.png\"&gt;"
                           "</text></questiontext><answer fraction=\"100\"><text>a</text></answer>"
                           "<answer fraction=\"0\"><text>b</text></answer></question>"
                           "<question type=\"category\"><category><text>$course$/B</text></category></question>"
                           "<question type=\"multichoice\"><questiontext><text>R</text></questiontext>"
                           "<answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text>"
                           "</answer></question></quiz>";
    QTest::newRow("Moodle XML, the other category's notes left out")
        << xml << std::optional<QString>(QStringLiteral("$course$/B")) << QStringList{"R"} << 0
        << "Catégories du fichier : « A » (1 question), « B » (1 question).\nSeules les questions de la catégorie « B » "
           "sont importées.\nLe fichier n'est pas écrit en UTF-8";
}

void TestQuestionExchange::importTakesOneCategoryOrAll()
{
    QFETCH(QByteArray, file);
    QFETCH(std::optional<QString>, category);
    QFETCH(QStringList, titles);
    QFETCH(int, skipped);
    QFETCH(QString, details);
    QuestionExchange::ImportOptions options;
    options.category = category;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(file, options);
    QStringList read;
    for (const auto &[index, block] : QuestionMapping::blocks(imported.lines))
        read.append(block.fields.title);
    QCOMPARE(read, titles);
    QCOMPARE(imported.report.skipped.size(), skipped);
    const QuestionExchange::Summary summary = QuestionExchange::importSummary(imported.report);
    QVERIFY2(summary.details.startsWith(details), qPrintable(summary.details));
}

// Added after a questionnaire's questions: numbered on from them, its settings left alone.
void TestQuestionExchange::addedQuestionsFollowTheOpenOnes()
{
    const QuestionExchange::Exported shuffled = QuestionExchange::exportQuestions(
        QStringList{"PASSATION reponses=melange"} + examples(), Format::MoodleXml, QString(), readPicture);
    QuestionExchange::ImportOptions options;
    options.firstQuestion = 12;
    const QStringList added = QuestionExchange::importQuestions(shuffled.bytes, options).lines;
    QCOMPARE(added.value(0), QStringLiteral(" "));
    QCOMPARE(added.value(1), QStringLiteral("<BLOC0012>"));
    QCOMPARE(ClassSettingsFormat::settingsLines(added), QStringList());
    const auto blocks = QuestionMapping::blocks(examples() + added);
    QCOMPARE(blocks.size(), 24);
    QCOMPARE(blocks.at(23).first, 23);
    QCOMPARE(blocks.at(23).second.fields, blocks.at(11).second.fields);

    options.firstQuestion = QcmFormat::MaxQuestions - 1;
    const QuestionExchange::Imported full = QuestionExchange::importQuestions(shuffled.bytes, options);
    QCOMPARE(full.report.done, 1);
    QCOMPARE(full.report.skipped.size(), 11);
    QVERIFY(full.report.skipped.first().reason.contains(QStringLiteral("10000")));
}

// A questionnaire holds Windows-1252 only: the author hears of other characters, per question.
void TestQuestionExchange::unencodableCharacters()
{
    const QString gift = QStringLiteral("Q1 {=a ~b}\n\nCombien vaut π ? {=3,14 ~3}\n\n::€::Q3 € {=« » ~œ}");
    const QuestionExchange::Imported kept = importGift(gift, true);
    QCOMPARE(kept.report.done, 3);
    QCOMPARE(kept.report.notes.size(), 1);
    QVERIFY(kept.report.notes.first().startsWith(QStringLiteral("Question 2 : le caractère « π »")));

    const QuestionExchange::Imported refused = importGift(gift, false);
    QCOMPARE(refused.report.done, 2);
    QCOMPARE(refused.report.skipped.size(), 1);
    QCOMPARE(refused.report.skipped.first().number, 2);
    const QuestionExchange::Summary summary = QuestionExchange::importSummary(refused.report);
    QCOMPARE(summary.text, QStringLiteral("2 questions importées ; 1 ignorées"));
    QVERIFY(summary.details.startsWith(QStringLiteral("Question 2 (« Combien vaut π ? ») : le caractère « π »")));
    QcmText::encodeLines(refused.lines);
}

void TestQuestionExchange::embeddedPicturesNeverOverwrite()
{
    QTemporaryDir folder;
    QFile other(folder.filePath(QStringLiteral("carte.png")));
    QVERIFY(other.open(QIODevice::WriteOnly) && other.write("autre") == 5);
    other.close();

    // Two questions name a picture "../../carte.png" in a folder that already holds another
    // carte.png.
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    options.absolutePicturePaths = false;
    const QByteArray bytes = QStringLiteral("<quiz>%1%1</quiz>").arg(QStringLiteral(
        "<question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;img src=\"@@PLUGINFILE@@/..%2F..%2Fcarte.png\"&gt;Q</text>"
        "<file name=\"../../carte.png\" encoding=\"base64\">UE5H</file></questiontext>"
        "<answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text></answer></question>")).toUtf8();
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    const auto blocks = QuestionMapping::blocks(imported.lines);
    QCOMPARE(blocks.size(), 2);
    // The existing file keeps its bytes; both questions share the one new copy.
    QCOMPARE(blocks.at(0).second.picture, QStringLiteral("carte-2.png"));
    QCOMPARE(blocks.at(1).second.picture, QStringLiteral("carte-2.png"));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QCOMPARE(other.readAll(), QByteArray("autre"));
    QFile copy(folder.filePath(QStringLiteral("carte-2.png")));
    QVERIFY(copy.open(QIODevice::ReadOnly));
    QCOMPARE(copy.readAll(), QByteArray("PNG"));
}

void TestQuestionExchange::attachmentsThatAreNoPictureStayOut()
{
    QTemporaryDir folder;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    const QByteArray bytes =
        "<quiz><question type=\"multichoice\"><questiontext format=\"html\"><text>&lt;img "
        "src=\"@@PLUGINFILE@@/run.desktop\"&gt;Q</text><file name=\"run.desktop\" encoding=\"base64\">eA==</file>"
        "</questiontext><answer fraction=\"100\"><text>a</text></answer><answer fraction=\"0\"><text>b</text>"
        "</answer></question></quiz>";
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    QCOMPARE(imported.report.done, 1);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList());
    QVERIFY(imported.report.notes.value(0).contains(QStringLiteral("n'est pas une image")));
    QCOMPARE(QuestionMapping::blocks(imported.lines).first().second.picture, QString());

    // A folder where nothing can be written: the question comes in without its picture.
    options.pictureFolder = folder.filePath(QStringLiteral("absent"));
    QByteArray png = bytes;
    png.replace("run.desktop", "carte.png");
    const QuestionExchange::Imported unwritten = QuestionExchange::importQuestions(png, options);
    QCOMPARE(unwritten.report.done, 1);
    QVERIFY(unwritten.report.notes.value(0).contains(QStringLiteral("l'image n'est pas reprise")));
}

void TestQuestionExchange::detectFormat_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Format>("format");
    QTest::newRow("XML with BOM") << QByteArray("\xEF\xBB\xBF  <?xml version=\"1.0\"?><quiz/>") << Format::MoodleXml;
    QTest::newRow("Aiken") << QByteArray("Q\nA. a\nB. b\nANSWER: B\n") << Format::Aiken;
    QTest::newRow("GIFT with an ANSWER line") << QByteArray("ANSWER: B\nQ {=a ~b}") << Format::Gift;
    QTest::newRow("GIFT") << QByteArray("// x\nQ {=a ~b}") << Format::Gift;
    QTest::newRow("empty") << QByteArray() << Format::Gift;
    QTest::newRow("Aiken with a brace") << QByteArray("Que vaut {x} ?\nA. 1\nB. 2\nANSWER: A\n") << Format::Aiken;
    QTest::newRow("Aiken with a brace block holding =")
        << QByteArray("Si {x = 2}, que vaut x + 1 ?\nA) 3\nB) {~4}\nANSWER: A\n\nQ2 ?\nA. a\nB. b\nANSWER: B\n")
        << Format::Aiken;
    QTest::newRow("GIFT starting with a tag") << QByteArray("<b>Capitale</b> ? {=Paris ~Lyon}") << Format::Gift;
    QTest::newRow("GIFT true/false and essay") << QByteArray("Vrai ?{T}\n\nRacontez.{}") << Format::Gift;
    QTest::newRow("GIFT with escaped braces and an Aiken-like question")
        << QByteArray("Q \\{=x\\} ?\nA. a\nANSWER: A\n\nR ? {~a =b}\n\nS ? {=c ~d}") << Format::Gift;
    QTest::newRow("XML after a comment") << QByteArray("<!-- banque -->\n<quiz></quiz>") << Format::MoodleXml;
    QTest::newRow("markup of another kind") << QByteArray("<html><body>Q</body></html>") << Format::MoodleXml;
}

void TestQuestionExchange::detectFormat()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Format, format);
    QCOMPARE(QuestionExchange::detectFormat(bytes), format);
}

void TestQuestionExchange::failedWriteKeepsTheEarlierFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("quiz.gift"));
    QuestionExchange::writeFile(path, "avant");
    QVERIFY_THROWS_EXCEPTION(AppError, QuestionExchange::writeFile(folder.filePath(QStringLiteral("absent/quiz.gift")), "x"));
#ifdef Q_OS_UNIX
    // The rename would put a plain file in place of the pipe (or of a device).
    const QString pipe = folder.filePath(QStringLiteral("pipe"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QVERIFY_THROWS_EXCEPTION(AppError, QuestionExchange::writeFile(pipe, "x"));
    QVERIFY(!QFileInfo(pipe).isFile());
#endif
    QCOMPARE(QuestionExchange::readFile(path), QByteArray("avant"));
    QVERIFY_THROWS_EXCEPTION(AppError, QuestionExchange::readFile(folder.path()));
}

// A quiz bank is far smaller: a bigger file is refused in French before it fills the memory.
void TestQuestionExchange::refusesFilesBeyondTheBound()
{
    const QByteArray tooBig(QuestionExchange::MaxImportSize + 1, 'x');
    try {
        QuestionExchange::importQuestions(tooBig, {});
        QFAIL("the bytes were imported");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("trop gros")) && error.message().contains(QStringLiteral("64 Mio")),
                 qPrintable(error.message()));
    }
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("banque.gift")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(QuestionExchange::MaxImportSize + 1));
    file.close();
    QVERIFY_THROWS_EXCEPTION(AppError, QuestionExchange::readFile(file.fileName()));
    QVERIFY(file.resize(QuestionExchange::MaxImportSize));
    QCOMPARE(QuestionExchange::readFile(file.fileName()).size(), QuestionExchange::MaxImportSize);
}

void TestQuestionExchange::picturesAreNamedAgainstTheFolder_data()
{
    using Files = QMap<QString, QByteArray>;
    using Pictures = QList<std::pair<QString, QByteArray>>;
    QTest::addColumn<Files>("before");
    QTest::addColumn<Pictures>("pictures");
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<Files>("after");
    QTest::newRow("same name, other bytes: numbered in turn")
        << Files() << Pictures{{"image.png", "1"}, {"image.png", "2"}, {"image.png", "3"}}
        << QStringList{"image.png", "image-2.png", "image-3.png"}
        << Files{{"image.png", "1"}, {"image-2.png", "2"}, {"image-3.png", "3"}};
    QTest::newRow("same bytes again: one file")
        << Files() << Pictures{{"image.png", "1"}, {"image.png", "2"}, {"image.png", "1"}, {"image.png", "2"}}
        << QStringList{"image.png", "image-2.png", "image.png", "image-2.png"}
        << Files{{"image.png", "1"}, {"image-2.png", "2"}};
    QTest::newRow("earlier files kept, and taken when they hold the same")
        << Files{{"image.png", "A"}, {"image-2.png", "2"}, {"image-3.png", "C"}}
        << Pictures{{"image.png", "1"}, {"image.png", "2"}, {"image.png", "C"}, {"image.png", "A"}}
        << QStringList{"image-4.png", "image-2.png", "image-3.png", "image.png"}
        << Files{{"image.png", "A"}, {"image-2.png", "2"}, {"image-3.png", "C"}, {"image-4.png", "1"}};
    QTest::newRow("a second import of the same file adds nothing")
        << Files{{"image.png", "1"}, {"image-2.png", "2"}} << Pictures{{"image.png", "2"}, {"image.png", "1"}}
        << QStringList{"image-2.png", "image.png"} << Files{{"image.png", "1"}, {"image-2.png", "2"}};
    QTest::newRow("names without suffix, names apart")
        << Files{{"chat", "x"}} << Pictures{{"chat.gif", "1"}, {"chat.png", "1"}}
        << QStringList{"chat.gif", "chat.png"} << Files{{"chat", "x"}, {"chat.gif", "1"}, {"chat.png", "1"}};
}

void TestQuestionExchange::picturesAreNamedAgainstTheFolder()
{
    using Files = QMap<QString, QByteArray>;
    using Pictures = QList<std::pair<QString, QByteArray>>;
    QFETCH(Files, before);
    QFETCH(Pictures, pictures);
    QFETCH(QStringList, paths);
    QFETCH(Files, after);
    QTemporaryDir folder;
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        QuestionExchange::writeFile(folder.filePath(file.key()), file.value());
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    options.absolutePicturePaths = false;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(xmlWithPictures(pictures), options);
    QStringList named;
    for (const auto &[index, block] : QuestionMapping::blocks(imported.lines))
        named.append(block.picture);
    QCOMPARE(named, paths);
    QCOMPARE(filesIn(folder.path()), after);
}

void TestQuestionExchange::progressFollowsTheQuestions_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("questions");
    QTest::newRow("GIFT") << giftOf(40) << 40;
    QByteArray aiken;
    for (int n = 0; n < 40; ++n)
        aiken += "Q ?\nA. oui\nB. non\nANSWER: A\n\n";
    QTest::newRow("Aiken") << aiken << 40;
    QTest::newRow("Moodle XML") << xmlWithPictures(QList<std::pair<QString, QByteArray>>(40, {"a.png", "x"})) << 40;
}

void TestQuestionExchange::progressFollowsTheQuestions()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, questions);
    QTemporaryDir folder;
    ScriptedProgress progress;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    options.progress = &progress;
    QCOMPARE(QuestionExchange::importQuestions(bytes, options).report.done, questions);
    // One step at least per question, never beyond the stage's end.
    QCOMPARE(progress.stages().constLast(), QStringLiteral("Lecture des questions…"));
    QVERIFY2(progress.steps() >= questions, qPrintable(QString::number(progress.steps())));
    QVERIFY(!progress.misreported());
    QCOMPARE(progress.ended(), 1);
}

// Stopped halfway or at the end: no questionnaire, and the pictures written meanwhile removed.
void TestQuestionExchange::stoppedImportLeavesNothing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("stopAt");
    QList<std::pair<QString, QByteArray>> pictures;
    for (int n = 0; n < 10; ++n)
        pictures.append({QStringLiteral("image.png"), QByteArray::number(n)});
    QTest::newRow("GIFT, halfway") << giftOf(10) << 5;
    QTest::newRow("Moodle XML, halfway") << xmlWithPictures(pictures) << 5;
    QTest::newRow("Moodle XML, every picture written") << xmlWithPictures(pictures) << 10;
}

void TestQuestionExchange::stoppedImportLeavesNothing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, stopAt);
    QTemporaryDir folder;
    // An earlier picture of the same name and bytes is reused, and stays.
    QuestionExchange::writeFile(folder.filePath(QStringLiteral("image-3.png")), "2");
    const auto before = filesIn(folder.path());
    ScriptedProgress progress;
    progress.stopAfter(stopAt);
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    options.progress = &progress;
    const QuestionExchange::Imported imported = QuestionExchange::importQuestions(bytes, options);
    QVERIFY(imported.stopped);
    QCOMPARE(imported.lines, QStringList());
    QCOMPARE(imported.report.done, 0);
    QCOMPARE(progress.steps(), stopAt);
    QCOMPARE(progress.ended(), 1);
    QCOMPARE(filesIn(folder.path()), before);
}

// The questions before the fault were made, and their pictures written, before it was found.
void TestQuestionExchange::brokenFileLeavesNoPicture()
{
    QTemporaryDir folder;
    QuestionExchange::ImportOptions options;
    options.pictureFolder = folder.path();
    QByteArray bytes = xmlWithPictures({{"a.png", "1"}, {"b.png", "2"}});
    bytes.replace("</quiz>", "<question></quiz>");
    QVERIFY_THROWS_EXCEPTION(AppError, QuestionExchange::importQuestions(bytes, options));
    QCOMPARE(filesIn(folder.path()), (QMap<QString, QByteArray>()));
}

QTEST_GUILESS_MAIN(TestQuestionExchange)
#include "tst_questionexchange.moc"

namespace {

// The quiz's entries in order: "category <path>" or "<type> <name>".
QStringList entriesOf(const QByteArray &xml)
{
    QStringList entries;
    QXmlStreamReader reader(xml);
    QString type;
    while (reader.readNextStartElement() || !reader.atEnd()) {
        if (!reader.isStartElement())
            continue;
        if (reader.name() == QLatin1String("question")) {
            type = reader.attributes().value(QLatin1String("type")).toString();
        } else if (reader.name() == QLatin1String("text") && !type.isEmpty()) {
            entries << type + QLatin1Char(' ') + reader.readElementText();
            type.clear();
        }
    }
    return entries;
}

} // namespace

void TestQuestionExchange::drawTravelsAsRandomQuestions_data()
{
    QTest::addColumn<Format>("format");
    QTest::addColumn<QString>("draw");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("note");
    const QString top = QStringLiteral("category $course$/top/Chapitre 3");
    QTest::newRow("Moodle XML, 2 among all")
        << Format::MoodleXml << "2"
        << QStringList{top, "multichoice [Fractions] Q1", "multichoice Q2", "multichoice [Aires] Q3",
                       "multichoice [fractions] Q4", "random Aléatoire (Chapitre 3) 1", "random Aléatoire (Chapitre 3) 2"}
        << "Le tirage (2 questions parmi toutes) est exporté";
    QTest::newRow("Moodle XML, one of each group")
        << Format::MoodleXml << "groupes"
        << QStringList{top, "multichoice Q2", top + "/Fractions", "multichoice [Fractions] Q1",
                       "multichoice [fractions] Q4", "random Aléatoire (Fractions)", top + "/Aires",
                       "multichoice [Aires] Q3", "random Aléatoire (Aires)"}
        << "chaque groupe a sa sous-catégorie";
    QTest::newRow("GIFT") << Format::Gift << "2" << QStringList() << "Le format GIFT ne garde pas le tirage";
}

void TestQuestionExchange::drawTravelsAsRandomQuestions()
{
    QFETCH(Format, format);
    QFETCH(QString, draw);
    QFETCH(QStringList, entries);
    QFETCH(QString, note);
    QStringList lines;
    if (!draw.isEmpty())
        lines << QStringLiteral("PASSATION tirage=") + draw;
    const QStringList titles{"[Fractions] Q1", "Q2", "[Aires] Q3", "[fractions] Q4"};
    for (int n = 0; n < titles.size(); ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE ") + titles.at(n) << QStringLiteral("PICTURE ");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 2 ? QStringLiteral("r%1").arg(k) : QString());
        lines << QStringLiteral("REPONSE 1") << QcmFormat::closingTag(n);
    }
    const QuestionExchange::Exported exported =
        QuestionExchange::exportQuestions(lines, format, QString(), readPicture, QStringLiteral("Chapitre 3"));
    QCOMPARE(exported.report.done, 4);
    if (format == Format::MoodleXml)
        QCOMPARE(entriesOf(exported.bytes), entries);
    const QString notes = exported.report.notes.join(QLatin1Char('\n'));
    QCOMPARE(notes.contains(QStringLiteral("tirage")), !note.isEmpty());
    if (!note.isEmpty())
        QVERIFY2(notes.contains(note), qPrintable(notes));
}
