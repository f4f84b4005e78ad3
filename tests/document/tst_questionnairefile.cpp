#include "fakesheet.h"

#include "document/qcmfile.h"
#include "document/qcmformat.h"
#include "document/qcmtext.h"
#include "document/questionnairefile.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray questionnaireBytes(int count, const QByteArray &titlePrefix = "Titre ")
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i) {
        bytes += QcmFormat::openingTag(i).toLatin1() + "\r\nTITLE " + titlePrefix + QByteArray::number(i + 1)
                 + "\r\nPICTURE \r\nREP1 a\r\nREP2 b\r\nREP3 c\r\nREP4 d\r\nREP5 e\r\nREPONSE 1\r\n"
                 + QcmFormat::closingTag(i).toLatin1() + "\r\n";
    }
    return bytes;
}

// The file flows without any window: a sheet made of plain fields, scripted questions and
// dialogs, files in a temporary folder.
struct Flows
{
    FakeSheet sheet;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    QuestionStore store{sheet, boxes};
    QuestionnaireFile file{store, boxes, dialogs, {}}; // exports nothing: no picture reader
    QTemporaryDir dir;

    Flows() { sheet.store = &store; }

    QString path(const QString &name) const { return dir.filePath(name); }
    QString write(const QString &name, const QByteArray &bytes) const
    {
        QFile out(path(name));
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
            qFatal("cannot write a test file");
        return path(name);
    }
    QByteArray read(const QString &name) const
    {
        QFile in(path(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    // A command as the main window runs it: inside the error guard.
    bool run(bool (QuestionnaireFile::*command)())
    {
        bool done = false;
        runGuarded(boxes, [&] { done = (file.*command)(); });
        return done;
    }
    bool open(const QString &name)
    {
        dialogs.script(path(name));
        return run(&QuestionnaireFile::open);
    }
};

// A real, tiny file system (tmpfs) mounted for one test: a full or read-only disk behaves as it
// does for the author, which no fault injected into Qt would show. Needs root, as in CI.
struct TinyDisk
{
    QTemporaryDir mountPoint;
    bool mounted = false;

    explicit TinyDisk(const QString &options)
    {
        mounted = geteuid() == 0
            && QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                                           options, QStringLiteral("nelo-test"), mountPoint.path()})
                == 0;
    }
    ~TinyDisk()
    {
        if (!mounted)
            return;
        // Opening a questionnaire there made the disk the current folder.
        if (QDir::currentPath().startsWith(mountPoint.path()))
            QDir::setCurrent(QDir::rootPath());
        QProcess::execute(QStringLiteral("umount"), {mountPoint.path()});
    }
    bool remountReadOnly() const
    {
        return QProcess::execute(QStringLiteral("mount"),
                                 {QStringLiteral("-o"), QStringLiteral("remount,ro"), mountPoint.path()})
            == 0;
    }
    QString path(const QString &name) const { return mountPoint.filePath(name); }
    // Writes until the disk refuses: not one byte is left.
    void fill() const
    {
        QFile filler(path(QStringLiteral("remplissage")));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray chunk(512, 'x');
        while (filler.write(chunk) == chunk.size()) {
        }
    }
};

QString savingError(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossible d'enregistrer le fichier %1 : %2.").arg(path, reason);
}

} // namespace

class TestQuestionnaireFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startFolder = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startFolder); }

    void fullDiskKeepsTheFileAndTheChanges();
    void saveFailureSaysWhyInFrench_data();
    void saveFailureSaysWhyInFrench();
    void fileChangedByAnotherProgram_data();
    void fileChangedByAnotherProgram();
    void openingOpensTheFileChosen_data();
    void openingOpensTheFileChosen();
    void onlyRegularFilesAreOpened_data();
    void onlyRegularFilesAreOpened();
    void changeKeepingSizeAndTimeIsSeen_data();
    void changeKeepingSizeAndTimeIsSeen();
    void savingUnderANewNameWritesTwice_data();
    void savingUnderANewNameWritesTwice();

private:
    QString startFolder;
};

void TestQuestionnaireFile::fullDiskKeepsTheFileAndTheChanges()
{
    TinyDisk disk(QStringLiteral("size=64k"));
    if (!disk.mounted)
        QSKIP("a 64 KiB tmpfs could not be mounted (mounting needs root): the full-disk save is not tested");
    Flows f;
    const QString path = disk.path(QStringLiteral("quiz.qcm"));
    const QByteArray before = questionnaireBytes(3);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    }
    f.dialogs.script(path);
    QVERIFY(f.run(&QuestionnaireFile::open));
    f.sheet.type(QStringLiteral("Titre changé"));
    disk.fill();

    QVERIFY(!f.run(&QuestionnaireFile::save));
    QCOMPARE(f.boxes.lastText(), savingError(path, QStringLiteral("le disque est plein")));
    QCOMPARE(f.boxes.shown().last().icon, MessageIcon::Stop);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    // No temporary file left behind, and nothing forgotten: closing still asks.
    QCOMPARE(QDir(disk.mountPoint.path()).entryList(QDir::Files), (QStringList{"quiz.qcm", "remplissage"}));
    QVERIFY(f.store.DocumentModified());
    QCOMPARE(f.file.CurrentFileName(), path);
    f.boxes.script(MessageAnswer::No);
    QVERIFY(f.file.mayClose());
    QCOMPARE(f.boxes.lastText(), QStringLiteral("Enregistrer changements dans quiz.qcm ?"));
}

void TestQuestionnaireFile::saveFailureSaysWhyInFrench_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("reason");
    QTest::newRow("folder removed") << "folder removed" << "le dossier n'existe pas";
    QTest::newRow("a folder has the file's name") << "folder in the way" << "un dossier porte ce nom";
    QTest::newRow("name of 255 characters") << "long name" << "nom de fichier trop long";
    QTest::newRow("read-only file") << "read-only file" << "le fichier est en lecture seule";
    QTest::newRow("read-only disk") << "read-only disk" << "le disque est en lecture seule";
    QTest::newRow("FIFO under the name") << "fifo" << "ce n'est pas un fichier ordinaire";
}

void TestQuestionnaireFile::saveFailureSaysWhyInFrench()
{
    QFETCH(QString, where);
    QFETCH(QString, reason);
    Flows f;
    TinyDisk disk(QStringLiteral("size=1m"));
    QString folder = f.path(QStringLiteral("cours"));
    if (where == QLatin1String("read-only disk")) {
        if (!disk.mounted)
            QSKIP("a tmpfs could not be mounted (mounting needs root)");
        folder = disk.path(QStringLiteral("cours"));
    }
    QVERIFY(QDir().mkpath(folder));
    const QString name = where == QLatin1String("long name") ? QString(251, QLatin1Char('q')) + QStringLiteral(".qcm")
                                                             : QStringLiteral("quiz.qcm");
    const QString path = QDir(folder).filePath(name);
    {
        QFile file(path);
        QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
        file.write(questionnaireBytes(2));
    }
    f.dialogs.script(path);
    QVERIFY(f.run(&QuestionnaireFile::open));
    f.sheet.type(QStringLiteral("changé"));

    if (where == QLatin1String("folder removed")) {
        QVERIFY(QDir(folder).removeRecursively());
    } else if (where == QLatin1String("folder in the way")) {
        QVERIFY(QFile::remove(path) && QDir().mkdir(path));
    } else if (where == QLatin1String("read-only file")) {
        if (geteuid() == 0)
            QSKIP("root writes read-only files");
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
    } else if (where == QLatin1String("read-only disk")) {
        QVERIFY(disk.remountReadOnly());
    } else if (where == QLatin1String("fifo")) {
        QVERIFY(QFile::remove(path) && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    }
    QVERIFY(!f.run(&QuestionnaireFile::save));
    QCOMPARE(f.boxes.lastText(), savingError(path, reason));
    QVERIFY(f.store.DocumentModified());
    QVERIFY(f.store.SheetModified());
}

void TestQuestionnaireFile::fileChangedByAnotherProgram_data()
{
    QTest::addColumn<bool>("changed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saved");
    QTest::newRow("unchanged: saved without a question") << false << -1 << true;
    QTest::newRow("changed, Oui overwrites") << true << int(MessageAnswer::Yes) << true;
    QTest::newRow("changed, Non keeps the other program's file") << true << int(MessageAnswer::No) << false;
}

void TestQuestionnaireFile::fileChangedByAnotherProgram()
{
    QFETCH(bool, changed);
    QFETCH(int, answer);
    QFETCH(bool, saved);
    Flows f;
    f.write(QStringLiteral("partage.qcm"), questionnaireBytes(2));
    QVERIFY(f.open(QStringLiteral("partage.qcm")));
    // A first save of our own: what it wrote is not "another program's" change.
    f.sheet.type(QStringLiteral("premier"));
    QVERIFY(f.run(&QuestionnaireFile::save));
    QVERIFY(f.boxes.shown().isEmpty());

    const QByteArray theirs = questionnaireBytes(2, "Autre ");
    if (changed) {
        const QString theirPath = f.write(QStringLiteral("partage.qcm"), theirs);
        // Another program edits later than our save; a slow (sanitizer) build could otherwise
        // land both writes in one tick of the file system's clock.
        QFile edited(theirPath);
        QVERIFY(edited.open(QIODevice::ReadWrite));
        QVERIFY(edited.setFileTime(QDateTime::currentDateTime().addSecs(2), QFileDevice::FileModificationTime));
        edited.close();
        f.boxes.script(MessageAnswer(answer));
    }
    f.sheet.type(QStringLiteral("second"));
    QCOMPARE(f.run(&QuestionnaireFile::save), saved);
    QCOMPARE(f.boxes.shown().size(), changed ? 1 : 0);
    if (changed) {
        QCOMPARE(f.boxes.lastText(), QStringLiteral("Le fichier « partage.qcm » a été modifié par un autre programme depuis "
                                                    "son ouverture. L'enregistrer quand même ?"));
        QCOMPARE(f.boxes.shown().last().buttons, MessageButtons::YesNo);
    }
    QCOMPARE(f.read(QStringLiteral("partage.qcm")).contains("TITLE second"), saved);
    QCOMPARE(f.read(QStringLiteral("partage.qcm")) == theirs, !saved);
    QCOMPARE(f.store.DocumentModified(), !saved);
}

void TestQuestionnaireFile::openingOpensTheFileChosen_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("opened");
    QTest::newRow("version beside the original") << "quiz.v2.qcm" << "quiz.v2.qcm";
    QTest::newRow("backup beside the original") << "quiz.old.qcm" << "quiz.old.qcm";
    QTest::newRow("upper case from a USB key") << "QUIZ.QCM" << "QUIZ.QCM";
    QTest::newRow("other extension") << "quiz.txt" << "quiz.qcm";
}

void TestQuestionnaireFile::openingOpensTheFileChosen()
{
    QFETCH(QString, chosen);
    QFETCH(QString, opened);
    Flows f;
    const QByteArray original = questionnaireBytes(1, "Original ");
    f.write(QStringLiteral("quiz.qcm"), original);
    if (opened != QLatin1String("quiz.qcm"))
        f.write(opened, questionnaireBytes(4, "Choisi "));
    QVERIFY(f.open(chosen));
    QCOMPARE(f.file.CurrentFileName(), f.path(opened));
    QCOMPARE(f.file.frameCaption(), QStringLiteral("Nelo Qcm - [%1]").arg(opened));
    QCOMPARE(f.sheet.shown.title, opened == QLatin1String("quiz.qcm") ? QStringLiteral("Original 1") : QStringLiteral("Choisi 1"));

    // Saving writes back to that same file, never to another one.
    f.sheet.type(QStringLiteral("enregistré"));
    QVERIFY(f.run(&QuestionnaireFile::save));
    QVERIFY(f.read(opened).contains("TITLE enregistr\xe9"));
    if (opened != QLatin1String("quiz.qcm"))
        QCOMPARE(f.read(QStringLiteral("quiz.qcm")), original);
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::Files).size(), opened == QLatin1String("quiz.qcm") ? 1 : 2);
}

void TestQuestionnaireFile::onlyRegularFilesAreOpened_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString notRegular = QStringLiteral("%1 n'est pas un fichier ordinaire : il ne peut pas être ouvert comme questionnaire.");
    QTest::newRow("FIFO") << "fifo" << notRegular;
    QTest::newRow("link to /dev/zero") << "device" << notRegular;
    QTest::newRow("folder") << "folder" << notRegular;
    QTest::newRow("257 MiB") << "huge"
                             << "Le fichier %1 est trop volumineux pour être un questionnaire (257 Mio ; 256 Mio au plus).";
    QTest::newRow("link to a questionnaire opens") << "link" << "";
}

void TestQuestionnaireFile::onlyRegularFilesAreOpened()
{
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Flows f;
    f.write(QStringLiteral("garde.qcm"), questionnaireBytes(2));
    QVERIFY(f.open(QStringLiteral("garde.qcm")));
    f.sheet.type(QStringLiteral("en cours"));

    const QString path = f.path(QStringLiteral("autre.qcm"));
    if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == QLatin1String("device")) {
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == QLatin1String("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(QcmFile::MaxSize + 1024 * 1024)); // sparse
    } else {
        QVERIFY(QFile::link(f.path(QStringLiteral("garde.qcm")), path));
    }
    f.boxes.script(MessageAnswer::No); // the changes in progress are not saved
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(f.open(QStringLiteral("autre.qcm")), message.isEmpty());
    QVERIFY(timer.elapsed() < 5000);
    if (message.isEmpty()) {
        QCOMPARE(f.store.QuestionCount(), 2);
        return;
    }
    QCOMPARE(f.boxes.lastText(), message.arg(path));
    // The questionnaire on screen and its name stay.
    QCOMPARE(f.file.CurrentFileName(), f.path(QStringLiteral("garde.qcm")));
    QCOMPARE(f.sheet.shown.title, QStringLiteral("en cours"));
}

void TestQuestionnaireFile::changeKeepingSizeAndTimeIsSeen_data()
{
    QTest::addColumn<QByteArray>("theirs");
    QTest::addColumn<bool>("asked");
    // "Autre " is as long as "Titre ": the file keeps its size.
    QTest::newRow("other text, same size, time put back") << questionnaireBytes(2, "Autre ") << true;
    QTest::newRow("the same bytes written again later") << questionnaireBytes(2) << false;
}

void TestQuestionnaireFile::changeKeepingSizeAndTimeIsSeen()
{
    QFETCH(QByteArray, theirs);
    QFETCH(bool, asked);
    Flows f;
    const QString path = f.write(QStringLiteral("partage.qcm"), questionnaireBytes(2));
    QVERIFY(f.open(QStringLiteral("partage.qcm")));
    const QDateTime readAt = QFileInfo(path).lastModified();

    f.write(QStringLiteral("partage.qcm"), theirs);
    QFile edited(path);
    QVERIFY(edited.open(QIODevice::ReadWrite));
    QVERIFY(edited.setFileTime(asked ? readAt : readAt.addSecs(2), QFileDevice::FileModificationTime));
    edited.close();

    f.sheet.type(QStringLiteral("nôtre"));
    if (asked)
        f.boxes.script(MessageAnswer::No);
    QCOMPARE(f.run(&QuestionnaireFile::save), !asked);
    QCOMPARE(f.boxes.shown().size(), asked ? 1 : 0);
    if (asked) {
        // Enter keeps the other program's text.
        QCOMPARE(f.boxes.shown().last().defaultAnswer, MessageAnswer::No);
        QCOMPARE(f.read(QStringLiteral("partage.qcm")), theirs);
    } else {
        QVERIFY(f.read(QStringLiteral("partage.qcm")).contains("TITLE n\xf4tre"));
    }
}

void TestQuestionnaireFile::savingUnderANewNameWritesTwice_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("Enregistrer") << "save";
    QTest::newRow("Quitter, Oui") << "close";
    QTest::newRow("Nouveau, Oui") << "new";
}

// Writing the question on the sheet back moves its block to the end and leaves the blank line
// that followed it at the top; the second write under the new name drops that line.
void TestQuestionnaireFile::savingUnderANewNameWritesTwice()
{
    QFETCH(QString, command);
    Flows f;
    f.sheet.type(QStringLiteral("un"));
    f.store.Ajout();
    f.sheet.type(QStringLiteral("deux"));
    f.store.Premier();

    f.dialogs.script(f.path(QStringLiteral("neuf")));
    if (command != QLatin1String("save"))
        f.boxes.script(MessageAnswer::Yes);
    QVERIFY(f.run(command == QLatin1String("save")    ? &QuestionnaireFile::save
                  : command == QLatin1String("close") ? &QuestionnaireFile::mayClose
                                                      : &QuestionnaireFile::newQuestionnaire));
    const QStringList saved = QcmText::decodeLines(f.read(QStringLiteral("neuf.qcm")));
    QVERIFY(!saved.isEmpty());
    QCOMPARE(saved.first(), QcmFormat::openingTag(1));
    QCOMPARE(saved.count(QStringLiteral("TITLE un")), 1);
    QCOMPARE(saved.count(QStringLiteral("TITLE deux")), 1);
    QCOMPARE(f.boxes.unexpected(), 0);
}

QTEST_GUILESS_MAIN(TestQuestionnaireFile)
#include "tst_questionnairefile.moc"
