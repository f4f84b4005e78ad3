#include "document/classsettings.h"
#include "document/memorysheet.h"
#include "document/picturepaths.h"
#include "document/qcmformat.h"
#include "document/questionorder.h"
#include "document/questionstore.h"
#include "document/titlesearch.h"
#include "platform/scriptedmessageboxes.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(ClassSettings)

namespace {

QStringList block(int n)
{
    QStringList lines{QcmFormat::openingTag(n), QStringLiteral("TITLE Question %1").arg(n + 1),
                      QStringLiteral("PICTURE C:\\Images\\chat%1.bmp").arg(n)};
    for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
        lines << QcmFormat::answerKeyword(k) + QStringLiteral("r%1").arg(k);
    return lines << QStringLiteral("REPONSE 2") << QcmFormat::closingTag(n);
}

ClassSettings chosen()
{
    ClassSettings settings;
    settings.shuffleQuestions = true;
    settings.markScale = 10;
    settings.roundingHundredths = 25;
    settings.penalty = ClassSettings::Penalty::Chance;
    settings.endView = ClassSettings::EndView::MarkAndCorrections;
    return settings;
}

QStringList withChosenSettings(int questions)
{
    QStringList lines;
    for (int n = 0; n < questions; ++n)
        lines << block(n) << QStringLiteral(" ");
    return ClassSettingsFormat::withSettings(lines, chosen());
}

} // namespace

class TestClassSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void readingIsForgiving_data();
    void readingIsForgiving();
    void keptByEveryCommand_data();
    void keptByEveryCommand();
};

void TestClassSettings::roundTrip_data()
{
    QTest::addColumn<ClassSettings>("settings");
    QTest::addColumn<int>("lines");
    // Also a file from before the corrections setting: read, it shows them after the copy.
    QTest::newRow("defaults leave the file as it was") << ClassSettings() << 0;
    QTest::newRow("all changed") << chosen() << 6;
    ClassSettings answersOnly;
    answersOnly.shuffleAnswers = true;
    answersOnly.roundingHundredths = 10;
    answersOnly.endView = ClassSettings::EndView::Nothing;
    QTest::newRow("answers shuffled, rounded to 0,1, nothing shown") << answersOnly << 6;
    ClassSettings atTheEnd;
    atTheEnd.endView = ClassSettings::EndView::MarkAndCorrections;
    atTheEnd.correctionsShown = ClassSettings::CorrectionsShown::AfterRun;
    QTest::newRow("corrections at the end of the run") << atTheEnd << 7;
    ClassSettings never = chosen();
    never.correctionsShown = ClassSettings::CorrectionsShown::Never;
    QTest::newRow("corrections never") << never << 7;
    ClassSettings partial;
    partial.severalMarking = ClassSettings::SeveralMarking::Partial;
    QTest::newRow("partial credit") << partial << 7;
    ClassSettings amongAll;
    amongAll.draw = ClassSettings::Draw::AmongAll;
    amongAll.drawCount = 12;
    QTest::newRow("12 questions drawn among all") << amongAll << 7;
    ClassSettings perGroup = chosen();
    perGroup.draw = ClassSettings::Draw::OnePerGroup;
    QTest::newRow("one question of each group") << perGroup << 7;
}

void TestClassSettings::roundTrip()
{
    QFETCH(ClassSettings, settings);
    QFETCH(int, lines);
    const QStringList plain = block(0) + block(1);
    const QStringList written = ClassSettingsFormat::withSettings(plain, settings);
    QCOMPARE(written.size(), plain.size() + lines);
    QCOMPARE(written.mid(lines), plain);
    QVERIFY(ClassSettingsFormat::read(written) == settings);
    // Written again over themselves, not beside them.
    QCOMPARE(ClassSettingsFormat::withSettings(written, settings), written);
    QCOMPARE(ClassSettingsFormat::withSettings(written, ClassSettings()), plain);
    QCOMPARE(QcmFormat::countQuestions(written), 2);
    QCOMPARE(QcmFormat::tagBalance(written), 0);
}

void TestClassSettings::readingIsForgiving_data()
{
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("shuffled");
    QTest::newRow("no settings") << QStringList() << 20 << false;
    QTest::newRow("blanks around") << QStringList{QStringLiteral("PASSATION  bareme = 40 ")} << 40 << false;
    QTest::newRow("scale not a number") << QStringList{QStringLiteral("PASSATION bareme=vingt")} << 20 << false;
    QTest::newRow("scale 0") << QStringList{QStringLiteral("PASSATION bareme=0")} << 20 << false;
    QTest::newRow("unknown key and value") << QStringList{QStringLiteral("PASSATION couleur=bleu"),
                                                          QStringLiteral("PASSATION questions=peut-etre")} << 20 << false;
    QTest::newRow("after the first block it is free text")
        << QStringList{QcmFormat::openingTag(5), QStringLiteral("PASSATION questions=melange")} << 20 << false;
    QTest::newRow("lower-case tag ends the header too")
        << QStringList{QStringLiteral("<bloc0003>"), QStringLiteral("PASSATION bareme=5")} << 20 << false;
    QTest::newRow("blank line before") << QStringList{QString(), QStringLiteral("PASSATION questions=melange")} << 20 << true;
    QTest::newRow("draw of 0 questions") << QStringList{QStringLiteral("PASSATION tirage=0")} << 20 << false;
    QTest::newRow("draw beyond the format's questions") << QStringList{QStringLiteral("PASSATION tirage=10001")} << 20 << false;
    QTest::newRow("draw by an unknown word") << QStringList{QStringLiteral("PASSATION tirage=chapitres")} << 20 << false;
}

void TestClassSettings::readingIsForgiving()
{
    QFETCH(QStringList, header);
    const ClassSettings settings = ClassSettingsFormat::read(header + block(0));
    QTEST(settings.markScale, "scale");
    QTEST(settings.shuffleQuestions, "shuffled");
    // No row sets a draw the format takes: a wrong one leaves every question asked.
    QCOMPARE(settings.draw, ClassSettings::Draw::None);
}

void TestClassSettings::keptByEveryCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("save and load") << "save";
    QTest::newRow("repair") << "repair";
    QTest::newRow("question order") << "order";
    QTest::newRow("replace in titles") << "replace";
    QTest::newRow("relative picture paths") << "paths";
    QTest::newRow("add and delete questions") << "add-delete";
}

void TestClassSettings::keptByEveryCommand()
{
    QFETCH(QString, command);
    MemorySheet sheet;
    ScriptedMessageBoxes boxes;
    QuestionStore store(sheet, boxes);
    QTemporaryDir dir;
    QStringList lines = withChosenSettings(3);
    if (command == QLatin1String("repair"))
        lines.removeAll(QcmFormat::closingTag(1));
    store.ChargeLignes(lines, QStringLiteral("quiz"));
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
        store.rewriteDocument([](QStringList &document) { return QuestionOrder::apply(document, {2, 0, 1}); });
    } else if (command == QLatin1String("replace")) {
        store.rewriteDocument([](QStringList &document) {
            for (int line : TitleText::titleLines(document, 3))
                document[line] = TitleText::replaced(document[line], QStringLiteral("QUESTION"), QStringLiteral("Q."));
            return true;
        });
    } else if (command == QLatin1String("paths")) {
        store.rewriteDocument([](QStringList &document) { return PicturePaths::makeRelative(document); });
        QVERIFY(store.document().contains(QStringLiteral("PICTURE chat1.bmp")));
    } else {
        store.Ajout();
        store.AllerA(0);
        store.Supprime();
    }
    QVERIFY(ClassSettingsFormat::read(store.document()) == chosen());
}

QTEST_GUILESS_MAIN(TestClassSettings)
#include "tst_classsettings.moc"
