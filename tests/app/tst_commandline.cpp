#include "document/qcmtext.h"

#include <QProcess>
#include <QtTest>

// The program's conversions for scripts, run as a script runs them: the real program in a child
// process, its exit status and its error stream.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportLeavesPrivateFilesOut();
    void lackOfMemoryIsReportedInFrench();
};

namespace {

// Room for the program and a small questionnaire, not for a 200 MB picture and its base64.
constexpr int MemoryLimit = 400 * 1024; // KiB

struct Run
{
    int status = -1;
    QString errors;
};

// memoryLimit in KiB (ulimit -v), 0 for none.
Run runProgram(const QStringList &arguments, int memoryLimit = 0)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QStringList shellArguments = {QStringLiteral("-c"),
                                  memoryLimit > 0 ? QStringLiteral("ulimit -v %1 && exec \"$0\" \"$@\"").arg(memoryLimit)
                                                  : QStringLiteral("exec \"$0\" \"$@\""),
                                  QStringLiteral(NELO_PROGRAM)};
    process.start(QStringLiteral("/bin/sh"), shellArguments + arguments);
    if (!process.waitForFinished(120000))
        return {};
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               QString::fromLocal8Bit(process.readAllStandardError())};
}

QString writeQuiz(const QTemporaryDir &folder, const QString &picture)
{
    QFile quiz(folder.filePath(QStringLiteral("quiz.qcm")));
    if (!quiz.open(QIODevice::WriteOnly))
        return {};
    quiz.write(QcmText::encodeLines({"<BLOC0000>", "TITLE Quelle image ?", "PICTURE " + picture, "REP1 a", "REP2 b",
                                     "REP3 ", "REP4 ", "REP5 ", "REPONSE 1", "</BLOC0000>"}));
    return quiz.fileName();
}

} // namespace

// The program hands the export its own picture formats: a file that is no picture stays out.
void TestCommandLine::exportLeavesPrivateFilesOut()
{
    QTemporaryDir folder;
    QFile secret(folder.filePath(QStringLiteral("id_rsa")));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("cle-privee-secrete") > 0);
    secret.close();
    const QString quiz = writeQuiz(folder, secret.fileName());
    const QString out = folder.filePath(QStringLiteral("quiz.xml"));

    const Run run = runProgram({QStringLiteral("--exporter"), QStringLiteral("xml"), quiz, out});
    QCOMPARE(run.status, 0);
    QVERIFY2(run.errors.contains(QStringLiteral("l'image %1 n'est pas exportée").arg(secret.fileName())),
             qPrintable(run.errors));
    QFile written(out);
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QByteArray xml = written.readAll();
    QVERIFY(!xml.contains("<file") && !xml.contains(QByteArray("cle-privee-secrete").toBase64()));
}

// A picture within the size bound, and too little memory to encode it: the script reads a
// French reason and a failure status, not the runtime's abort.
void TestCommandLine::lackOfMemoryIsReportedInFrench()
{
#if defined(__SANITIZE_ADDRESS__) || (defined(__has_feature) && __has_feature(address_sanitizer))
    QSKIP("The sanitizers reserve terabytes of address space up front: no memory limit can apply.");
#endif
    QTemporaryDir folder;
    QFile picture(folder.filePath(QStringLiteral("grande.png")));
    QVERIFY(picture.open(QIODevice::WriteOnly) && picture.write("\x89PNG\r\n\x1A\n") == 8);
    QVERIFY(picture.resize(qint64(200) << 20)); // sparse: no room taken on the disk
    picture.close();
    const QString quiz = writeQuiz(folder, QStringLiteral("grande.png"));
    const QString out = folder.filePath(QStringLiteral("quiz.xml"));

    const Run run = runProgram({QStringLiteral("--exporter"), QStringLiteral("xml"), quiz, out}, MemoryLimit);
    QCOMPARE(run.errors, QStringLiteral("Mémoire insuffisante pour terminer l'opération.\n"));
    QCOMPARE(run.status, 1);
    QVERIFY(!QFileInfo::exists(out));

    // The same limit leaves room for an ordinary export: reading the questionnaire reserves
    // no more than its size.
    QVERIFY(QFile::remove(picture.fileName()));
    const Run small = runProgram({QStringLiteral("--exporter"), QStringLiteral("xml"), quiz, out}, MemoryLimit);
    QVERIFY2(small.status == 0, qPrintable(small.errors));
    QVERIFY(QFileInfo(out).isFile());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
