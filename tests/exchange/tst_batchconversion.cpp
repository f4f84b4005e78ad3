#include "document/exchange/batchconversion.h"
#include "document/qcmtext.h"
#include "platform/apperror.h"

#include <QtTest>

class TestBatchConversion : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void requested_data();
    void requested();
    void run_data();
    void run();
    void everyFailureIsReportedInFrench_data();
    void everyFailureIsReportedInFrench();
};

namespace {

// The pictures are the tests' concern elsewhere: here any file named .png is one.
QByteArray readAnyPicture(const QString &path)
{
    QFile file(path);
    if (!path.endsWith(QLatin1String(".png")) || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("pas une image"));
    return file.readAll();
}

QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files | QDir::System)) {
        QFile file(info.filePath());
        files.insert(info.fileName(), file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?"));
    }
    return files;
}

} // namespace

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

    // An existing file is replaced only when asked; the input never.
    QTest::newRow("import over a questionnaire") << QStringList{"--importer", "in.gift", "quiz.qcm"} << 1
                                                 << "existe déjà : ajoutez --ecraser" << "";
    QTest::newRow("import over a questionnaire, file name rule") << QStringList{"--importer", "in.gift", "quiz.txt"} << 1
                                                                 << "quiz.qcm existe déjà" << "";
    QTest::newRow("import with --ecraser") << QStringList{"--importer", "in.gift", "quiz.qcm", "--ecraser"} << 0
                                           << "1 questions importées" << "quiz.qcm";
    QTest::newRow("import with --force first") << QStringList{"--force", "--importer", "in.gift", "quiz.qcm"} << 0
                                               << "1 questions importées" << "quiz.qcm";
    QTest::newRow("export over an existing file") << QStringList{"--exporter", "gift", "quiz.qcm", "in.gift"} << 1
                                                  << "existe déjà" << "";
    QTest::newRow("export with --ecraser") << QStringList{"--exporter", "gift", "quiz.qcm", "in.gift", "--ecraser"} << 0
                                           << "exportées" << "in.gift";
    QTest::newRow("export over its own questionnaire")
        << QStringList{"--exporter", "gift", "quiz.qcm", "quiz.qcm", "--ecraser"} << 1 << "le fichier d'entrée lui-même"
        << "";
    QTest::newRow("export over its questionnaire named without suffix")
        << QStringList{"--exporter", "gift", "quiz", "sub/../quiz.qcm", "--force"} << 1 << "le fichier d'entrée lui-même"
        << "";
    QTest::newRow("export over its questionnaire through a link")
        << QStringList{"--exporter", "xml", "quiz.qcm", "link.xml", "--ecraser"} << 1 << "le fichier d'entrée lui-même"
        << "";
    QTest::newRow("import over its own input") << QStringList{"--importer", "in.qcm", "in.qcm", "--ecraser"} << 1
                                               << "le fichier d'entrée lui-même" << "";
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
    write(QStringLiteral("in.qcm"), "Capitale ? {=Paris ~Lyon}\n");
    QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("sub")));
    QVERIFY(QFile::link(folder.filePath(QStringLiteral("quiz.qcm")), folder.filePath(QStringLiteral("link.xml"))));
    const QMap<QString, QByteArray> before = filesIn(folder.path());

    QStringList full = {QStringLiteral("nelo-qcm")};
    for (const QString &argument : arguments)
        full.append(argument.startsWith(QLatin1String("--")) || argument == QLatin1String("gift")
                            || argument == QLatin1String("pdf") || argument == QLatin1String("xml")
                        ? argument
                        : folder.filePath(argument));
    QString errors;
    QTextStream stream(&errors);
    QCOMPARE(BatchConversion::run(full, stream, readAnyPicture), status);
    QVERIFY2(errors.contains(message), qPrintable(errors));
    if (!written.isEmpty())
        QVERIFY(QFileInfo(folder.filePath(written)).isFile());
    // A failure writes nothing and changes nothing.
    if (status != 0)
        QCOMPARE(filesIn(folder.path()), before);
}

void TestBatchConversion::everyFailureIsReportedInFrench_data()
{
    QTest::addColumn<int>("failure");
    QTest::addColumn<QString>("message");
    QTest::newRow("out of memory") << 0 << "Mémoire insuffisante pour terminer l'opération.";
    QTest::newRow("library exception") << 1 << "Erreur inattendue : l'opération est abandonnée.";
    QTest::newRow("anything thrown") << 2 << "Erreur inattendue : l'opération est abandonnée.";
}

// Whatever fails inside the conversion, the script reads a French reason and a failure status;
// nothing escapes to the runtime, which would abort with its own English words.
void TestBatchConversion::everyFailureIsReportedInFrench()
{
    QFETCH(int, failure);
    QFETCH(QString, message);
    QTemporaryDir folder;
    QFile quiz(folder.filePath(QStringLiteral("quiz.qcm")));
    QVERIFY(quiz.open(QIODevice::WriteOnly));
    quiz.write(QcmText::encodeLines({"<BLOC0000>", "TITLE Q", "PICTURE chat.png", "REP1 a", "REP2 b", "REP3 ", "REP4 ",
                                     "REP5 ", "REPONSE 1", "</BLOC0000>"}));
    quiz.close();
    QFile picture(folder.filePath(QStringLiteral("chat.png")));
    QVERIFY(picture.open(QIODevice::WriteOnly));
    picture.close();

    const auto fail = [failure](const QString &) -> QByteArray {
        if (failure == 0)
            throw std::bad_alloc();
        if (failure == 1)
            throw std::length_error("vector::reserve");
        throw 42;
    };
    QString errors;
    QTextStream stream(&errors);
    QCOMPARE(BatchConversion::run({"nelo-qcm", "--exporter", "xml", quiz.fileName(), folder.filePath("quiz.xml")}, stream,
                                  fail),
             1);
    QCOMPARE(errors, message + QLatin1Char('\n'));
    QVERIFY(!QFileInfo::exists(folder.filePath("quiz.xml")));
}

QTEST_GUILESS_MAIN(TestBatchConversion)
#include "tst_batchconversion.moc"
