#include "app/mainform.h"
#include "app/workspace.h"
#include "document/qcmformat.h"
#include "results/marksexportdialog.h"
#include "scriptedservices.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

namespace {

// Two questions whose right answer is 1.
QByteArray questionnaireBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 2; ++i) {
        bytes += QcmFormat::openingTag(i).toLatin1() + "\r\nTITLE Titre " + QByteArray::number(i + 1) + "\r\nPICTURE \r\n";
        for (int a = 1; a <= 5; ++a)
            bytes += "REP" + QByteArray::number(a) + " r\xE9ponse\r\n";
        bytes += "REPONSE 1\r\n" + QcmFormat::closingTag(i).toLatin1() + "\r\n";
    }
    return bytes;
}

// The class's results as the pupil window keeps them: Léa twice (20, then 10), Noé left
// unfinished, a run without a name.
const QByteArray ClassResults = "\xEF\xBB\xBF"
    "Date;Heure;Nom;Bonnes réponses;Questions;Note;Barème;Questions notées;Passation;Version;Durée;État;Copie;"
    "1. Titre 1;2. Titre 2\r\n"
    "09/03/2026;10:00:00;Léa;2;2;20;20;2;poste;;0:05:00;terminé;;1;1\r\n"
    "09/03/2026;10:10:00;Noé;1;2;10;20;2;poste;;0:02:00;inachevé;;1;\r\n"
    "09/03/2026;10:20:00;;1;2;10;20;2;poste;;0:05:00;terminé;;1;3\r\n"
    "09/03/2026;11:00:00;Léa;1;2;10;20;2;poste;;0:05:00;terminé;;1;2\r\n";

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class TestMarksExportCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportsTheClassFile_data();
    void exportsTheClassFile();
};

// From the menu to the file: the dialog answered as the teacher would, the save dialog given a
// name, the file's bytes and the box that says what was left out.
void TestMarksExportCommand::exportsTheClassFile_data()
{
    QTest::addColumn<QByteArray>("results");
    QTest::addColumn<QString>("choice");   // "best", or "" for the dialog as it opens
    QTest::addColumn<QString>("saveAs");   // relative to the folder
    QTest::addColumn<QByteArray>("bytes"); // what saveAs holds afterwards; empty when absent
    QTest::addColumn<QString>("message");  // the last box

    QTest::newRow("best, .csv added") << ClassResults << "best" << "notes-6b" << QByteArray("\xEF\xBB\xBFNom;Note / 20\r\nLéa;20\r\n")
                                      << "1 passation inachevée n'a pas été comptée.\nSans note, faute de passation terminée : Noé.";
    // The older file stays when the teacher says no.
    QTest::newRow("an older export kept") << ClassResults << "" << "anciennes-notes.csv" << QByteArray("Nom;Note\r\n")
                                          << "existe déjà. Le remplacer ?";
    QTest::newRow("the results file chosen") << ClassResults << "" << "classe-resultats.csv" << ClassResults
                                             << "est un fichier de résultats";
    // Told before any question is asked.
    const QByteArray unnamed = ClassResults.left(ClassResults.indexOf("\r\n") + 2)
                               + "09/03/2026;10:20:00;;1;2;10;20;2;poste;;0:05:00;terminé;;1;3\r\n";
    QTest::newRow("nothing to export") << unnamed << "no dialog" << "classe-notes.csv" << QByteArray()
                                       << "Aucune passation n'a de nom";
}

void TestMarksExportCommand::exportsTheClassFile()
{
    QFETCH(QByteArray, results);
    QFETCH(QString, choice);
    QFETCH(QString, saveAs);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    ScriptedServices scripted;
    Workspace workspace(scripted.services);
    const QString questionnaire = dir.filePath(QStringLiteral("classe.qcm"));
    QVERIFY(writeFile(questionnaire, questionnaireBytes()));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("classe-resultats.csv")), results));
    if (saveAs == QStringLiteral("anciennes-notes.csv")) {
        QVERIFY(writeFile(dir.filePath(saveAs), bytes));
        scripted.boxes.script(MessageAnswer::No);
    }
    workspace.mainForm.openNamedQuestionnaire(questionnaire);
    const QString current = QDir::currentPath();

    bool dialogShown = false;
    bool recomputeOffered = true;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<MarksExportDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        dialogShown = dialog->LatestButton->isChecked();
        recomputeOffered = dialog->RecomputeBox != nullptr;
        if (choice == QStringLiteral("best"))
            dialog->BestButton->click();
        dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
    });
    scripted.dialogs.script(dir.filePath(saveAs));
    for (QAction *action : workspace.mainForm.findChildren<QAction *>()) {
        if (action->text() == QStringLiteral("Exporter les &notes..."))
            action->trigger();
    }
    QCOMPARE(dialogShown, choice != QStringLiteral("no dialog"));
    if (dialogShown)
        QVERIFY(!recomputeOffered); // every kept mark is what its answers are worth
    const bool saveAsked = scripted.dialogs.pendingAnswers() == 0;
    QCOMPARE(saveAsked, dialogShown);
    if (saveAsked)
        QCOMPARE(scripted.dialogs.shown().last().fileName, dir.filePath(QStringLiteral("classe-notes.csv")));
    const QString written = saveAs.endsWith(QStringLiteral(".csv")) ? saveAs : saveAs + QStringLiteral(".csv");
    QCOMPARE(readFile(dir.filePath(written)), bytes);
    QVERIFY2(scripted.boxes.lastText().contains(message), qPrintable(scripted.boxes.lastText()));
    QCOMPARE(scripted.boxes.shown().isEmpty(), message.isEmpty());
    // The questionnaire's pictures are still looked for where they were.
    QCOMPARE(QDir::currentPath(), current);
}

QTEST_MAIN(TestMarksExportCommand)
#include "tst_marksexportcommand.moc"
