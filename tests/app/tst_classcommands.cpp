#include "app/mainform.h"
#include "app/workspace.h"
#include "classroom/classsettingsdialog.h"
#include "classroom/pupil/pupilwindow.h"
#include "classroom/pupil/teachercodedialog.h"
#include "document/classsettings.h"
#include "document/qcmformat.h"
#include "editor/planche.h"
#include "results/resultsfile.h"
#include "menuprogram.h"
#include "scriptedservices.h"
#include "whenshown.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

// The class's commands as the teacher reaches them from the main window.
class TestClassCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void settingsAreAnUndoableEdit();
    void correctionMarker_data();
    void correctionMarker();
    void classRunNeedsASavedQuestionnaire();
    void onePupilThroughTheMenu();

private:
    void openQuestionnaire(int questions);

    std::unique_ptr<MenuProgram> program;
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
};

void TestClassCommands::initTestCase()
{
    // Class lists go to the test's own data folder, never the teacher's.
    QStandardPaths::setTestModeEnabled(true);
}

void TestClassCommands::init()
{
    program = std::make_unique<MenuProgram>();
    dir = std::make_unique<QTemporaryDir>();
    path = dir->filePath(QStringLiteral("quiz.qcm"));
}

void TestClassCommands::cleanup()
{
    program.reset();
    dir.reset();
}

void TestClassCommands::openQuestionnaire(int questions)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(questionnaireBytes(questions, 2));
    file.close();
    program->form().openNamedQuestionnaire(path);
    QCOMPARE(program->sheet().store().QuestionCount(), questions);
}

void TestClassCommands::settingsAreAnUndoableEdit()
{
    openQuestionnaire(3);
    // The sheet writes its question back first, as every command does.
    program->sheet().store().EcritFiche();
    const QStringList before = program->sheet().store().document();
    whenModal<ClassSettingsDialog>([](ClassSettingsDialog *dialog) {
        dialog->ShuffleQuestionsBox->setChecked(true);
        dialog->ScaleBox->setValue(10);
        dialog->accept();
    });
    program->trigger(QStringLiteral("&Réglages de la passation..."));
    const QStringList after = program->sheet().store().document();
    QVERIFY(after.contains(QStringLiteral("PASSATION questions=melange")));
    QVERIFY(after.contains(QStringLiteral("PASSATION bareme=10")));
    QCOMPARE(after.mid(ClassSettingsFormat::settingsLines(after).size()), before);
    QVERIFY(program->sheet().store().DocumentModified());

    program->trigger(QStringLiteral("&Annuler"));
    QCOMPARE(program->sheet().store().document(), before);

    // Cancelled, or unchanged: the questionnaire is left alone.
    whenModal<ClassSettingsDialog>([](ClassSettingsDialog *dialog) { dialog->accept(); });
    program->trigger(QStringLiteral("&Réglages de la passation..."));
    QCOMPARE(program->sheet().store().document(), before);
}

void TestClassCommands::correctionMarker_data()
{
    QTest::addColumn<QString>("freeText");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caretLine");
    QTest::newRow("empty") << QString() << QStringLiteral("Correction :\n") << 1;
    QTest::newRow("after the statement") << QStringLiteral("Énoncé") << QStringLiteral("Énoncé\nCorrection :\n") << 2;
    QTest::newRow("statement ending its line") << QStringLiteral("Énoncé\n") << QStringLiteral("Énoncé\nCorrection :\n")
                                               << 2;
    // A question with its correction already: the caret goes to it, nothing is added.
    QTest::newRow("marker already there") << QStringLiteral("Énoncé\ncorrection:\nParce que.")
                                          << QStringLiteral("Énoncé\ncorrection:\nParce que.") << 2;
}

void TestClassCommands::correctionMarker()
{
    QFETCH(QString, freeText);
    QFETCH(QString, expected);
    QFETCH(int, caretLine);
    openQuestionnaire(1);
    program->sheet().Memo1->setPlainText(freeText);
    program->trigger(QStringLiteral("Insérer une correc&tion"));
    QCOMPARE(program->sheet().Memo1->toPlainText(), expected);
    QCOMPARE(program->sheet().Memo1->textCursor().blockNumber(), caretLine);
    // Typed, so kept as any typing is.
    program->sheet().store().EcritFiche();
    QVERIFY(program->sheet().store().document().join(QLatin1Char('\n')).contains(expected.trimmed()));
}

void TestClassCommands::classRunNeedsASavedQuestionnaire()
{
    // A new questionnaire has no folder for its results.
    program->trigger(QStringLiteral("&Nouveau"));
    program->sheet().Edit1->setText(QStringLiteral("Titre"));
    program->trigger(QStringLiteral("Faire passer à la &classe..."));
    QVERIFY(program->boxes.lastText().contains(QStringLiteral("Enregistrez d'abord le questionnaire")));
}

void TestClassCommands::onePupilThroughTheMenu()
{
    openQuestionnaire(2);
    program->boxes.script(MessageAnswer::Yes); // "Terminer le questionnaire ?"
    program->boxes.script(MessageAnswer::Ok);  // where the results went
    whenModal<TeacherCodeDialog>([](TeacherCodeDialog *dialog) {
        dialog->CodeEdit->setText(QStringLiteral("prof42"));
        dialog->ConfirmEdit->setText(QStringLiteral("prof42"));
        dialog->OkButton->click();
    });
    whenModal<PupilWindow>([](PupilWindow *window) {
        window->NameBox->setEditText(QStringLiteral("Léa"));
        window->StartButton->click();
        QTest::keyClick(window, Qt::Key_2);
        window->FinishButton->click();
        window->StopButton->click();
        window->TeacherCodeEdit->setText(QStringLiteral("prof42"));
        window->StopConfirmButton->click();
    });
    program->trigger(QStringLiteral("Faire passer à la &classe..."));
    QVERIFY(program->boxes.lastText().contains(QStringLiteral("quiz-resultats.csv")));

    const ResultsSheet sheet = ResultsFile::read(dir->filePath(QStringLiteral("quiz-resultats.csv")));
    QCOMPARE(int(sheet.runs.size()), 1);
    const QStringList &run = sheet.runs.front();
    QCOMPARE(run.at(ResultsFile::NameColumn), QStringLiteral("Léa"));
    QCOMPARE(run.at(ResultsFile::WayColumn), QStringLiteral("poste"));
    QCOMPARE(run.at(ResultsFile::StateColumn), QStringLiteral("terminé"));
    // One of two questions answered: which one depends on nothing but the questionnaire's order.
    QCOMPARE(run.mid(ResultsFile::FixedColumnCount), (QStringList{"2", ""}));
    QCOMPARE(run.at(ResultsFile::MarkColumn), QStringLiteral("10"));
}

QTEST_MAIN(TestClassCommands)
#include "tst_classcommands.moc"
