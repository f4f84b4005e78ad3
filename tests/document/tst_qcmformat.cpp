#include "document/qcmformat.h"

#include <QtTest>

using namespace QcmFormat;

class TestQcmFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tags_data();
    void tags();
    void fileNameRule_data();
    void fileNameRule();
    void findBlock_data();
    void findBlock();
    void countQuestions_data();
    void countQuestions();
    void tagDigits_data();
    void tagDigits();
    void blockEnd_data();
    void blockEnd();
};

void TestQcmFormat::tags_data()
{
    QTest::addColumn<int>("question");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");
    QTest::newRow("0") << 0 << "<BLOC0000>" << "</BLOC0000>";
    QTest::newRow("7") << 7 << "<BLOC0007>" << "</BLOC0007>";
    QTest::newRow("9") << 9 << "<BLOC0009>" << "</BLOC0009>";
    QTest::newRow("10") << 10 << "<BLOC0010>" << "</BLOC0010>";
    QTest::newRow("42") << 42 << "<BLOC0042>" << "</BLOC0042>";
    QTest::newRow("512") << 512 << "<BLOC0512>" << "</BLOC0512>";
    QTest::newRow("999") << 999 << "<BLOC0999>" << "</BLOC0999>";
    QTest::newRow("1234") << 1234 << "<BLOC1234>" << "</BLOC1234>";
    QTest::newRow("10000 wraps to 0000") << 10000 << "<BLOC0000>" << "</BLOC0000>";
    QTest::newRow("12345 keeps the last four digits") << 12345 << "<BLOC2345>" << "</BLOC2345>";
}

void TestQcmFormat::tags()
{
    QFETCH(int, question);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QCOMPARE(openingTag(question), opening);
    QCOMPARE(closingTag(question), closing);
}

void TestQcmFormat::fileNameRule_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("other extension") << "quiz.txt" << "quiz.qcm";
    QTest::newRow("no extension") << "quiz" << "quiz.qcm";
    QTest::newRow("backup name stays itself") << "quiz.old.qcm" << "quiz.old.qcm";
    QTest::newRow("version name stays itself") << "/home/prof/quiz.v2.qcm" << "/home/prof/quiz.v2.qcm";
    QTest::newRow("cut before the last dot") << "quiz.v2.txt" << "quiz.v2.qcm";
    QTest::newRow("upper-case extension kept") << "/media/cle/QUIZ.QCM" << "/media/cle/QUIZ.QCM";
    QTest::newRow("mixed-case extension kept") << "quiz.Qcm" << "quiz.Qcm";
    QTest::newRow("trailing dot") << "quiz." << "quiz.qcm";
    QTest::newRow("dotted Linux folder kept") << "/home/prof/v1.2/quiz.txt" << "/home/prof/v1.2/quiz.qcm";
    QTest::newRow("dotted folder, no extension") << "/home/prof/v1.2/quiz" << "/home/prof/v1.2/quiz.qcm";
    QTest::newRow("Windows folder kept") << "C:\\Quiz.d\\test.old" << "C:\\Quiz.d\\test.qcm";
    QTest::newRow("drive only") << "A:quiz.txt" << "A:quiz.qcm";
    QTest::newRow("hidden file") << "/tmp/.quiz" << "/tmp/.qcm";
}

void TestQcmFormat::fileNameRule()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(qcmFileName(path), expected);
}

void TestQcmFormat::findBlock_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("question");
    QTest::addColumn<int>("expected");
    const QStringList two{"<BLOC0000>", "TITLE a", "</BLOC0000>", " ", "<BLOC0001>", "TITLE b", "</BLOC0001>"};
    QTest::newRow("first block") << two << 0 << 0;
    QTest::newRow("second block") << two << 1 << 4;
    QTest::newRow("absent") << two << 2 << -1;
    QTest::newRow("lower-case tag found") << QStringList{"x", "<bloc0003>"} << 3 << 1;
    QTest::newRow("first of duplicates wins") << QStringList{"<BLOC0002>", "<Bloc0002>"} << 2 << 0;
    QTest::newRow("closing tag is not an opening tag") << QStringList{"</BLOC0002>"} << 2 << -1;
    QTest::newRow("trailing text does not match") << QStringList{"<BLOC0002> "} << 2 << -1;
}

void TestQcmFormat::findBlock()
{
    QFETCH(QStringList, lines);
    QFETCH(int, question);
    QFETCH(int, expected);
    QCOMPARE(QcmFormat::findBlock(lines, question), expected);
}

void TestQcmFormat::countQuestions_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("balance");
    QTest::newRow("empty") << QStringList{} << 0 << 0;
    QTest::newRow("one block") << QStringList{"<BLOC0000>", "TITLE", "</BLOC0000>"} << 1 << 0;
    QTest::newRow("lower-case tags are not counted") << QStringList{"<bloc0000>", "</bloc0000>"} << 0 << 0;
    QTest::newRow("free text that looks like a tag counts") << QStringList{"<BLOC0000>", "<BLOCKS", "</BLOC0000>"} << 2 << 1;
    QTest::newRow("missing closing tag") << QStringList{"<BLOC0000>", "<BLOC0001>", "</BLOC0001>"} << 2 << 1;
    QTest::newRow("stray closing tag") << QStringList{"</BLOC0007>"} << 0 << -1;
}

void TestQcmFormat::countQuestions()
{
    QFETCH(QStringList, lines);
    QFETCH(int, count);
    QFETCH(int, balance);
    QCOMPARE(QcmFormat::countQuestions(lines), count);
    QCOMPARE(tagBalance(lines), balance);
}

void TestQcmFormat::tagDigits_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("digits");
    QTest::newRow("opening") << "<BLOC0042>" << 42;
    QTest::newRow("closing") << "</BLOC9999>" << 9999;
    QTest::newRow("text after the digits") << "<BLOC0003> extra" << 3;
    QTest::newRow("too few digits") << "<BLOC12>" << -1;
    QTest::newRow("letters") << "<BLOCKS de texte" << -1;
    QTest::newRow("prefix only") << "<BLOC" << -1;
    QTest::newRow("lower case is not a tag line") << "<bloc0001>" << -1;
    QTest::newRow("ordinary line") << "TITLE 0001" << -1;
}

void TestQcmFormat::tagDigits()
{
    QFETCH(QString, line);
    QFETCH(int, digits);
    QCOMPARE(QcmFormat::tagDigits(line), digits);
}

void TestQcmFormat::blockEnd_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("end");
    QTest::newRow("after the closing tag") << QStringList{"<BLOC0000>", "TITLE", "</BLOC0000>", " "} << 3;
    QTest::newRow("closing tag matched exactly") << QStringList{"<BLOC0000>", "</bloc0000>", "</BLOC0000>"} << 3;
    QTest::newRow("missing closing tag stops before the next block")
        << QStringList{"<BLOC0000>", "TITLE", "<BLOC0001>", "</BLOC0001>"} << 2;
    QTest::newRow("missing closing tag at the end") << QStringList{"<BLOC0000>", "TITLE", "text"} << 3;
    QTest::newRow("free text beginning like a tag stays inside")
        << QStringList{"<BLOC0000>", "TITLE", "<BLOCAGE moteur", "</BLOCKQUOTE>", "<BLOC 12>", "</BLOC0000>"} << 6;
    QTest::newRow("well-formed tag in another case ends a block without closing tag")
        << QStringList{"<BLOC0000>", "TITLE", "<bloc0001>", "</BLOC0000>"} << 2;
    QTest::newRow("closing tag of another block ends it")
        << QStringList{"<BLOC0000>", "TITLE", "</BLOC0003>", "</BLOC0000>"} << 2;
    QTest::newRow("own closing tag in another case does not end it")
        << QStringList{"<BLOC0000>", "</Bloc0000>", "TITLE", "<BLOC0001>"} << 3;
}

void TestQcmFormat::blockEnd()
{
    QFETCH(QStringList, lines);
    QFETCH(int, end);
    QCOMPARE(QcmFormat::blockEnd(lines, 0, 0), end);
}

QTEST_GUILESS_MAIN(TestQcmFormat)
#include "tst_qcmformat.moc"
