#include "classroom/classlist.h"
#include "classroom/classlistdialog.h"
#include "classroom/classsettingsdialog.h"
#include "scriptedservices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

class TestClassDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void settingsShownAndReadBack();
    void drawCheckedBeforeItIsKept_data();
    void drawCheckedBeforeItIsKept();
    void classListImportedCorrectedKeptDeleted();
    void badListFilesRefused_data();
    void badListFilesRefused();
};

void TestClassDialogs::settingsShownAndReadBack()
{
    ClassSettings given;
    given.shuffleAnswers = true;
    given.markScale = 10;
    given.roundingHundredths = 25;
    ClassSettingsDialog dialog(given);
    QVERIFY(!dialog.ShuffleQuestionsBox->isChecked());
    QCOMPARE(dialog.RoundingBox->currentText(), QStringLiteral("à 0,25 point près"));
    QVERIFY(dialog.settings() == given);

    dialog.ShuffleQuestionsBox->setChecked(true);
    dialog.ScaleBox->setValue(40);
    dialog.PenaltyBox->setCurrentIndex(1);
    // When the corrections come is asked only where the pupil is to see them.
    QVERIFY(!dialog.CorrectionsBox->isEnabled());
    dialog.EndViewBox->setCurrentIndex(2);
    QVERIFY(dialog.CorrectionsBox->isEnabled());
    QCOMPARE(dialog.CorrectionsBox->currentText(), QStringLiteral("Après la copie"));
    dialog.CorrectionsBox->setCurrentIndex(dialog.CorrectionsBox->findText(QStringLiteral("À la fin de la passation")));
    const ClassSettings chosen = dialog.settings();
    QCOMPARE(chosen.correctionsShown, ClassSettings::CorrectionsShown::AfterRun);
    QVERIFY(chosen.shuffleQuestions && chosen.shuffleAnswers);
    QCOMPARE(chosen.markScale, 40);
    QCOMPARE(chosen.penalty, ClassSettings::Penalty::Chance);
    QCOMPARE(chosen.endView, ClassSettings::EndView::MarkAndCorrections);
}

void TestClassDialogs::drawCheckedBeforeItIsKept_data()
{
    QTest::addColumn<int>("draw"); // the item chosen with the keyboard
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("groups");
    QTest::addColumn<QString>("problem");
    QTest::newRow("8 among 8") << 1 << 8 << 0 << "";
    QTest::newRow("9 among 8") << 1 << 9 << 0 << "Le tirage demande 9 questions ; le questionnaire n'en a que 8.";
    QTest::newRow("by group, 2 groups") << 2 << 1 << 2 << "";
    QTest::newRow("by group, none")
        << 2 << 1 << 0
        << "Aucune question n'est dans un groupe : commencez le titre des questions d'un même groupe par son nom "
           "entre crochets, par exemple « [Fractions] Combien font 1/2 + 1/4 ? ».";
}

void TestClassDialogs::drawCheckedBeforeItIsKept()
{
    QFETCH(int, draw);
    QFETCH(int, count);
    QFETCH(int, groups);
    QFETCH(QString, problem);
    ClassSettingsDialog dialog{ClassSettings()};
    dialog.setBank(8, groups);
    dialog.show();
    QVERIFY(!dialog.DrawCountBox->isEnabled());
    dialog.DrawBox->setFocus();
    for (int i = 0; i < draw; ++i)
        QTest::keyClick(dialog.DrawBox, Qt::Key_Down);
    QCOMPARE(dialog.DrawCountBox->isEnabled(), draw == 1);
    if (draw == 1) {
        dialog.DrawCountBox->setFocus();
        dialog.DrawCountBox->selectAll();
        QTest::keyClicks(dialog.DrawCountBox, QString::number(count));
    }
    dialog.accept();
    QCOMPARE(dialog.result() == QDialog::Accepted, problem.isEmpty());
    QCOMPARE(dialog.DrawProblemLabel->isVisible(), !problem.isEmpty());
    QCOMPARE(dialog.DrawProblemLabel->isVisible() ? dialog.DrawProblemLabel->text() : QString(), problem);
    if (problem.isEmpty())
        QCOMPARE(dialog.settings().drawCount, draw == 1 ? count : 0);
}

void TestClassDialogs::classListImportedCorrectedKeptDeleted()
{
    QTemporaryDir dir;
    QFile export_(dir.filePath(QStringLiteral("4e B.csv")));
    QVERIFY(export_.open(QIODevice::WriteOnly));
    export_.write("Nom;Pr\xe9nom;Classe\nDUPONT;Marie;4B\nMARTIN;L\xe9o;4B\n");
    export_.close();
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);

    scripted.dialogs.script(export_.fileName());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QCOMPARE(dialog.ClassNameEdit->text(), QStringLiteral("4e B"));
    QCOMPARE(dialog.PupilsEdit->toPlainText(), QStringLiteral("DUPONT Marie\nMARTIN Léo"));
    QCOMPARE(dialog.CountLabel->text(), QStringLiteral("2 élève(s)"));
    // The teacher corrects a name and adds a pupil before keeping the list.
    dialog.PupilsEdit->setPlainText(QStringLiteral("DUPONT Marie\nMARTIN Léon\n\nNOUVEAU Zoé"));
    QTest::mouseClick(dialog.SaveButton, Qt::LeftButton);
    QCOMPARE(store.pupils(QStringLiteral("4e B")),
             (QStringList{QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Léon"), QStringLiteral("NOUVEAU Zoé")}));
    QCOMPARE(dialog.ClassList->count(), 1);
    QCOMPARE(dialog.ClassList->currentItem()->text(), QStringLiteral("4e B"));

    scripted.boxes.script(MessageAnswer::No);
    QTest::mouseClick(dialog.DeleteButton, Qt::LeftButton);
    QCOMPARE(store.classNames().size(), 1);
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(dialog.DeleteButton, Qt::LeftButton);
    QCOMPARE(store.classNames(), QStringList());
    QCOMPARE(dialog.ClassList->count(), 0);
    QCOMPARE(scripted.boxes.unexpected(), 0);
}

void TestClassDialogs::badListFilesRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("no name") << QByteArray("\n \nNom;Pr\xe9nom\n") << "Le fichier liste.csv ne contient aucun nom d'élève.";
}

void TestClassDialogs::badListFilesRefused()
{
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("liste.csv")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    ScriptedServices scripted;
    ClassListStore store(dir.filePath(QStringLiteral("classes")));
    ClassListDialog dialog(store, scripted.services);
    scripted.dialogs.script(file.fileName());
    QTest::mouseClick(dialog.ImportButton, Qt::LeftButton);
    QTEST(scripted.boxes.lastText(), "message");
    QCOMPARE(dialog.PupilsEdit->toPlainText(), QString());
    // Keeping an empty list is refused too.
    dialog.ClassNameEdit->setText(QStringLiteral("5e A"));
    QTest::mouseClick(dialog.SaveButton, Qt::LeftButton);
    QCOMPARE(scripted.boxes.lastText(), QStringLiteral("La liste ne contient aucun élève."));
    QCOMPARE(store.classNames(), QStringList());
}

QTEST_MAIN(TestClassDialogs)
#include "tst_classdialogs.moc"
