#include "document/exchange/aikenformat.h"

#include <QtTest>

class TestAikenFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void read_data();
    void read();
    void writtenQuestionsReadBack();
    void textsMoodleWouldMisread_data();
    void textsMoodleWouldMisread();
};

void TestAikenFormat::read_data()
{
    QTest::addColumn<QString>("aiken");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<QStringList>>("answers");
    QTest::addColumn<QList<int>>("rights");
    QTest::addColumn<QStringList>("skipped");

    // Moodle's two examples.
    QTest::newRow("documentation examples")
        << "What is the correct answer to this question?\nA. Is it this one?\nB. Maybe this answer?\n"
           "C. Possibly this one?\nD. Must be this one!\nANSWER: D\n\n"
           "Which LMS has the most quiz import formats?\nA) Moodle\nB) ATutor\nC) Claroline\nD) Blackboard\n"
           "E) WebCT\nF) Ilias\nANSWER: A\n"
        << QStringList{"What is the correct answer to this question?", "Which LMS has the most quiz import formats?"}
        << QList<QStringList>{{"Is it this one?", "Maybe this answer?", "Possibly this one?", "Must be this one!"},
                              {"Moodle", "ATutor", "Claroline", "Blackboard", "WebCT", "Ilias"}}
        << QList<int>{3, 0} << QStringList();
    QTest::newRow("no blank line between questions, CR LF already folded")
        << "Q1\nA. a\nB. b\nANSWER: B\nQ2\nA) c\nB) d\nANSWER:A"
        << QStringList{"Q1", "Q2"} << QList<QStringList>{{"a", "b"}, {"c", "d"}} << QList<int>{1, 0} << QStringList();
    QTest::newRow("question on two lines") << "Première\nseconde ?\nA. a\nB. b\nANSWER: A"
                                           << QStringList{"Première\nseconde ?"} << QList<QStringList>{{"a", "b"}}
                                           << QList<int>{0} << QStringList();
    QTest::newRow("answer letter out of range, next question still read")
        << "Q1\nA. a\nB. b\nANSWER: C\n\nQ2\nA. c\nB. d\nANSWER: B"
        << QStringList{"Q2"} << QList<QStringList>{{"c", "d"}} << QList<int>{1} << QStringList{"aucune réponse"};
    QTest::newRow("missing answer line") << "Q1\nA. a\nB. b\n\nQ2\nA. c\nB. d\nANSWER: A"
                                         << QStringList{"Q2"} << QList<QStringList>{{"c", "d"}} << QList<int>{0}
                                         << QStringList{"ANSWER"};
    // Moodle takes the answers in the order of their lines, whatever their letters, and the
    // letter of "ANSWER:" as a place in that order.
    QTest::newRow("letters out of order") << "Q1\nA. a\nC. b\nB. c\nANSWER: B\nQ2\nA. d\nANSWER: A"
                                          << QStringList{"Q1", "Q2"} << QList<QStringList>{{"a", "b", "c"}, {"d"}}
                                          << QList<int>{1, 0} << QStringList();
    QTest::newRow("answers without a space after the letter")
        << "Q ?\nA)Incorrect\nB.Correct\nC)\tTab\nANSWER: B" << QStringList{"Q ?"}
        << QList<QStringList>{{"Incorrect", "Correct", "Tab"}} << QList<int>{1} << QStringList();
    QTest::newRow("answer that reads like the answer line") << "Q ?\nA. ANSWER: B\nB) b\nANSWER: A" << QStringList{"Q ?"}
                                                            << QList<QStringList>{{"ANSWER: B", "b"}} << QList<int>{0}
                                                            << QStringList();
    QTest::newRow("blank and one-byte lines are passed over")
        << "\nQ ?\n\n?\nA. a\n\nB. b\n.\nANSWER: B" << QStringList{"Q ?"} << QList<QStringList>{{"a", "b"}}
        << QList<int>{1} << QStringList();
    QTest::newRow("only the first character after ANSWER:") << "Q ?\nA. a\nB. b\nANSWER: B (la seconde)"
                                                            << QStringList{"Q ?"} << QList<QStringList>{{"a", "b"}}
                                                            << QList<int>{1} << QStringList();
    QTest::newRow("lower-case letter") << "Q1\nA. a\nB. b\nANSWER: b" << QStringList() << QList<QStringList>()
                                       << QList<int>() << QStringList{"lettre"};
    QTest::newRow("answer line without question") << "ANSWER: A" << QStringList() << QList<QStringList>()
                                                   << QList<int>() << QStringList{"sans texte"};
}

void TestAikenFormat::read()
{
    QFETCH(QString, aiken);
    QFETCH(QStringList, texts);
    QFETCH(QList<QStringList>, answers);
    QFETCH(QList<int>, rights);
    QFETCH(QStringList, skipped);
    const ReadResult result = AikenFormat::read(aiken);
    QCOMPARE(result.questions.size(), texts.size());
    for (qsizetype i = 0; i < texts.size(); ++i) {
        QCOMPARE(result.questions.at(i).text, texts.at(i));
        QCOMPARE(result.questions.at(i).answers, answers.at(i));
        QCOMPARE(result.questions.at(i).rightAnswer, rights.at(i));
    }
    QCOMPARE(result.skipped.size(), skipped.size());
    for (qsizetype i = 0; i < skipped.size(); ++i)
        QVERIFY2(result.skipped.at(i).reason.contains(skipped.at(i)), qPrintable(result.skipped.at(i).reason));
}

void TestAikenFormat::writtenQuestionsReadBack()
{
    ExchangeQuestion first;
    first.text = QStringLiteral("Quelle est la capitale de l'Italie ?");
    first.answers = QStringList{"Rome", "Milan", "Naples", "Turin", "Florence"};
    first.rightAnswer = 4;
    ExchangeQuestion second;
    second.text = QStringLiteral("2 + 2 = ? {x} // y");
    // Spaces inside a line are the author's; form feeds and the like too.
    second.answers = QStringList{"A. 4", "ANSWER", "T      urin", "Co\f plu"};
    second.rightAnswer = 0;
    const ReadResult result = AikenFormat::read(AikenFormat::write({first, second}));
    QVERIFY(result.skipped.isEmpty());
    QCOMPARE(result.questions, (QList<ExchangeQuestion>{first, second}));
}

// Moodle reads a line as an answer when it starts with a capital and "." or ")", as the answer
// line when it starts with "ANSWER:", and passes over a line under two bytes: a file where the
// question's own line reads so is refused whole. Such texts are written so that both readers
// take them back as they were.
void TestAikenFormat::textsMoodleWouldMisread_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("answer");
    QTest::newRow("ordinary") << "Albert Einstein est né en ?" << "x";
    QTest::newRow("title reads as an answer") << "A. Einstein est né en ?" << "x";
    QTest::newRow("title reads as an answer without a space") << "E.T. est arrivé en ?" << "x";
    QTest::newRow("title of answers only") << "A)B)C) ?" << "x";
    QTest::newRow("title of one byte") << "?" << "x";
    QTest::newRow("title reads as the answer line") << "ANSWER: B" << "x";
    QTest::newRow("title with a blank before the colon") << "ANSWER : B" << "x";
    QTest::newRow("answer reads as the answer line") << "Q ?" << "ANSWER: A";
}

void TestAikenFormat::textsMoodleWouldMisread()
{
    QFETCH(QString, text);
    QFETCH(QString, answer);
    ExchangeQuestion question;
    question.text = text;
    question.answers = QStringList{answer, "y"};
    question.rightAnswer = 0;
    QVERIFY(AikenFormat::unwritable(question).isEmpty());
    const QString aiken = AikenFormat::write({question});
    // Moodle trims ASCII blanks only: a no-break space stays at the start of the line.
    const QString questionLine = aiken.section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(questionLine.toUtf8().size() >= 2, qPrintable(aiken));
    QVERIFY2(!QRegularExpression(QStringLiteral("^[A-Z][.)]|^ANSWER:")).match(questionLine).hasMatch(), qPrintable(aiken));
    QCOMPARE(AikenFormat::read(aiken).questions.value(0), question);
}

QTEST_GUILESS_MAIN(TestAikenFormat)
#include "tst_aikenformat.moc"
