#include "fakesheet.h"

#include "document/qcmformat.h"
#include "document/questionnairefile.h"
#include "platform/apperror.h"
#include "platform/errorguard.h"
#include "platform/scriptedfiledialogs.h"
#include "platform/scriptedmessageboxes.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

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
    QuestionnaireFile file{store, boxes, dialogs};
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

} // namespace

class TestQuestionnaireFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { startFolder = QDir::currentPath(); }
    void cleanup() { QDir::setCurrent(startFolder); }

    void captionNamesTheFileActuallyOpen();

private:
    QString startFolder;
};

void TestQuestionnaireFile::captionNamesTheFileActuallyOpen()
{
    Flows f;
    QCOMPARE(f.file.frameCaption(), QStringLiteral("Nelo Qcm"));
    f.write(QStringLiteral("capitales.qcm"), questionnaireBytes(3));
    QVERIFY(f.open(QStringLiteral("capitales.qcm")));
    QCOMPARE(f.file.frameCaption(), QStringLiteral("Nelo Qcm - [capitales.qcm]"));

    f.dialogs.script(f.path(QStringLiteral("copie")));
    QVERIFY(f.run(&QuestionnaireFile::saveAs));
    QCOMPARE(f.file.CurrentFileName(), f.path(QStringLiteral("copie.qcm")));
    QCOMPARE(f.file.frameCaption(), QStringLiteral("Nelo Qcm - [copie.qcm]"));
    QCOMPARE(f.read(QStringLiteral("copie.qcm")).size(), questionnaireBytes(3).size());

    QVERIFY(f.run(&QuestionnaireFile::newQuestionnaire));
    QCOMPARE(f.file.frameCaption(), QStringLiteral("Nelo Qcm"));
    QVERIFY(f.boxes.shown().isEmpty());
}

QTEST_GUILESS_MAIN(TestQuestionnaireFile)
#include "tst_questionnairefile.moc"
