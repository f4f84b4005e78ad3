#include "document/exchange/batchconversion.h"
#include "document/qcmtext.h"

#include <QtTest>

class TestBatchConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requested_data();
    void requested();
    void run_data();
    void run();
};

void TestBatchConversion::requested_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("conversion");
    QTest::newRow("questionnaire to open") << QStringList{"nelo-qcm", "quiz.qcm"} << false;
    QTest::newRow("export") << QStringList{"nelo-qcm", "--exporter", "gift", "a.qcm", "b"} << true;
    QTest::newRow("export, joined value") << QStringList{"nelo-qcm", "--exporter=xml", "a.qcm", "b"} << true;
    QTest::newRow("import") << QStringList{"nelo-qcm", "--importer", "a.gift", "b.qcm"} << true;
    QTest::newRow("a file named like the option is not the program name") << QStringList{"--importer"} << false;
}

void TestBatchConversion::requested()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, conversion);
    QCOMPARE(BatchConversion::requested(arguments), conversion);
}

void TestBatchConversion::run_data()
{
    QTest::addColumn<QStringList>("arguments"); // after the program name; files relative to a fresh folder
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("written"); // a file that must exist afterwards, or empty

    QTest::newRow("export to GIFT") << QStringList{"--exporter", "gift", "quiz.qcm", "out.gift"} << 0
                                    << "1 questions exportées ; 1 ignorées" << "out.gift";
    QTest::newRow("export, file name rule") << QStringList{"--exporter=aiken", "quiz.txt", "out.txt"} << 0
                                            << "exportées" << "out.txt";
    QTest::newRow("import") << QStringList{"--importer", "in.gift", "new.txt"} << 0 << "1 questions importées ; 1 ignorées"
                            << "new.qcm";
    QTest::newRow("unknown format") << QStringList{"--exporter", "pdf", "quiz.qcm", "out"} << 1 << "« pdf »" << "";
    QTest::newRow("missing output") << QStringList{"--importer", "in.gift"} << 1 << "Usage" << "";
    QTest::newRow("both directions") << QStringList{"--importer", "--exporter", "xml", "a", "b"} << 1 << "soit" << "";
    QTest::newRow("missing questionnaire") << QStringList{"--exporter", "xml", "absent.qcm", "out.xml"} << 1
                                           << "introuvable" << "";
    QTest::newRow("nothing to import") << QStringList{"--importer", "empty.gift", "new.qcm"} << 1
                                       << "Aucune question" << "";
    QTest::newRow("broken XML") << QStringList{"--importer", "broken.xml", "new.qcm"} << 1 << "incomplet" << "";
}

void TestBatchConversion::run()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, written);

    QTemporaryDir folder;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile file(folder.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    };
    write(QStringLiteral("quiz.qcm"),
          QcmText::encodeLines({"<BLOC0000>", "TITLE Capitale ?", "PICTURE ", "REP1 Paris", "REP2 Lyon", "REP3 ",
                                "REP4 ", "REP5 ", "REPONSE 1", "</BLOC0000>", "<BLOC0001>", "TITLE ", "PICTURE ",
                                "REP1 ", "REP2 ", "REP3 ", "REP4 ", "REP5 ", "REPONSE 1", "</BLOC0001>"}));
    write(QStringLiteral("in.gift"), "Capitale ? {=Paris ~Lyon}\n\nVrai ? {T}\n");
    write(QStringLiteral("empty.gift"), "// rien\n");
    write(QStringLiteral("broken.xml"), "<quiz><question type=\"multichoice\">");

    QStringList full = {QStringLiteral("nelo-qcm")};
    for (const QString &argument : arguments)
        full.append(argument.startsWith(QLatin1String("--")) || argument == QLatin1String("gift")
                            || argument == QLatin1String("pdf") || argument == QLatin1String("xml")
                        ? argument
                        : folder.filePath(argument));
    QString errors;
    QTextStream stream(&errors);
    QCOMPARE(BatchConversion::run(full, stream), status);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    if (!written.isEmpty())
        QVERIFY(QFileInfo(folder.filePath(written)).isFile());
    if (status != 0) {
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 4);
    }
}

QTEST_GUILESS_MAIN(TestBatchConversion)
#include "tst_batchconversion.moc"
