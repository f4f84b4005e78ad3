#include "classroom/classlist.h"
#include "classroom/pupil/proportionalpicture.h"
#include "classroom/pupil/pupilsession.h"
#include "classroom/pupil/pupilwindow.h"
#include "classroom/pupil/teachercode.h"
#include "document/qcmformat.h"
#include "networktesting.h"
#include "scriptedservices.h"

#include <QCheckBox>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QSpinBox>
#include <QtTest>

namespace {

struct ListKeeper : ClassRunKeeper
{
    std::vector<ClassRunRecord> kept;
    QString keep(const ClassRunRecord &record) override
    {
        kept.push_back(record);
        return QStringLiteral("quiz-resultats.csv");
    }
};

QStringList questionnaireLines()
{
    QStringList lines;
    for (int n = 0; n < 3; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Capitale numéro %1 ?").arg(n + 1)
              << QStringLiteral("PICTURE ");
        for (int k = 1; k <= 5; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 3 ? QStringLiteral("Ville %1-%2").arg(n + 1).arg(k) : QString());
        lines << QStringLiteral("REPONSE %1").arg(n + 1) << QStringLiteral("Un énoncé.") << QStringLiteral("Correction :")
              << QStringLiteral("Voir la carte %1.").arg(n + 1) << QcmFormat::closingTag(n);
    }
    return lines;
}

ClassSettings shownAtTheEnd(ClassSettings::CorrectionsShown when)
{
    ClassSettings settings;
    settings.shuffleQuestions = true;
    settings.shuffleAnswers = true;
    settings.endView = ClassSettings::EndView::MarkAndCorrections;
    settings.correctionsShown = when;
    return settings;
}

} // namespace

Q_DECLARE_METATYPE(ClassSettings::CorrectionsShown)

class TestPupilWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void pupilsFromNameToNextPupil();
    void escapeAndCloseDoNothing();
    void stopKeepsTheOpenRun();
    void stopNeedsTheTeachersCode();
    void correctionsWhenTheSettingsSay_data();
    void correctionsWhenTheSettingsSay();
    void endPageGoesBeforeTheNextPupil_data();
    void endPageGoesBeforeTheNextPupil();
    void checkBoxesForSeveralAnswers_data();
    void checkBoxesForSeveralAnswers();
    void feedbackOfEachAnswerTicked_data();
    void feedbackOfEachAnswerTicked();
    void teacherGrantsMinutes_data();
    void teacherGrantsMinutes();

private:
    void open(const ClassSettings &settings, const QStringList &lines = questionnaireLines());
    void finishOnePupil();

    QTemporaryDir dir;
    ScriptedServices scripted;
    ListKeeper keeper;
    std::unique_ptr<ClassListStore> lists;
    std::unique_ptr<PupilSession> session;
    std::unique_ptr<TeacherCode> teacherCode;
    std::unique_ptr<PupilWindow> window;
    quint64 nextSeed = 1;
    qint64 nowMs = 0;
};

void TestPupilWindow::init()
{
    scripted.boxes.clear();
    keeper.kept.clear();
    lists = std::make_unique<ClassListStore>(dir.filePath(QStringLiteral("classes")));
    lists->save(QStringLiteral("4e B"), {QStringLiteral("DUPONT Marie"), QStringLiteral("MARTIN Léo")});
    nowMs = 0;
    teacherCode = std::make_unique<TeacherCode>(QStringLiteral("1789"), [this] { return nowMs; });
    open(shownAtTheEnd(ClassSettings::CorrectionsShown::AfterCopy));
}

void TestPupilWindow::open(const ClassSettings &settings, const QStringList &lines)
{
    window.reset();
    auto questionnaire = std::make_shared<const ClassQuestionnaire>(ClassQuestionnaire::fromLines(lines));
    session = std::make_unique<PupilSession>(questionnaire, settings, keeper, [this] { return scripted.clock.now(); },
                                             [this] { return nextSeed++; });
    window = std::make_unique<PupilWindow>(*session, *lists, scripted.services, *teacherCode, dir.path());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestPupilWindow::finishOnePupil()
{
    window->NameBox->setEditText(QStringLiteral("Marie"));
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_1);
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(window->FinishButton, Qt::LeftButton);
    QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::EndPage));
}

void TestPupilWindow::cleanup()
{
    window.reset();
    session.reset();
    teacherCode.reset();
}

void TestPupilWindow::pupilsFromNameToNextPupil()
{
    window->ClassBox->setCurrentIndex(window->ClassBox->findText(QStringLiteral("4e B")));
    QCOMPARE(window->NameBox->count(), 2);
    window->NameBox->setCurrentIndex(0);
    QTest::keyClick(window->NameBox->lineEdit(), Qt::Key_Return);
    QCOMPARE(window->Pages->currentIndex(), 1);
    QCOMPARE(window->QuestionNumber->text(), QStringLiteral("Question 1 / 3"));

    // Each question answered right with its number key, whatever place the shuffle gave it.
    const ClassRun *run = session->run();
    for (int position = 0; position < 3; ++position) {
        QCOMPARE(window->position(), position);
        const ClassQuestion &question = run->questionAt(position);
        QCOMPARE(window->TitleLabel->text(), question.title);
        QCOMPARE(window->StatementLabel->text(), QStringLiteral("Un énoncé.")); // the correction stays hidden
        QVERIFY(!window->AnswerButtons[3]->isVisible());
        const int place = run->version().shownPlace(question.number, *question.rightAnswer);
        QTest::keyClick(window->focusWidget(), Qt::Key(Qt::Key_0 + place));
        QVERIFY(window->AnswerButtons[size_t(place - 1)]->isChecked());
        QVERIFY(window->StripButtons[size_t(position)]->property("answered").toBool());
        QTest::keyClick(window->focusWidget(), Qt::Key_PageDown);
    }
    QCOMPARE(window->position(), 2);
    QTest::keyClick(window->focusWidget(), Qt::Key_PageUp);
    QCOMPARE(window->position(), 1);
    // A click on the strip jumps; a click on the chosen answer takes it back.
    QTest::mouseClick(window->StripButtons[0], Qt::LeftButton);
    QCOMPARE(window->position(), 0);
    const int chosen = run->chosenAt(0);
    QTest::mouseClick(window->AnswerButtons[size_t(chosen - 1)], Qt::LeftButton);
    QCOMPARE(run->chosenAt(0), 0);

    scripted.boxes.script(MessageAnswer::No);
    QTest::mouseClick(window->FinishButton, Qt::LeftButton);
    QCOMPARE(scripted.boxes.lastText(), QStringLiteral("Terminer le questionnaire ?\nLa question 1 n'a pas de réponse."));
    QCOMPARE(window->Pages->currentIndex(), 1);
    QTest::keyClick(window->focusWidget(), Qt::Key(Qt::Key_0 + chosen));
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(window->FinishButton, Qt::LeftButton);
    QCOMPARE(scripted.boxes.lastText(), QStringLiteral("Terminer le questionnaire ?"));

    QCOMPARE(window->Pages->currentIndex(), 2);
    QCOMPARE(keeper.kept.size(), size_t(1));
    QCOMPARE(keeper.kept[0].pupil, QStringLiteral("DUPONT Marie"));
    QCOMPARE(keeper.kept[0].answers, (std::vector<int>{1, 2, 3}));
    QVERIFY(window->EndLabel->text().contains(QStringLiteral("Note : 20 / 20")));
    QVERIFY(window->CorrectionsView->toPlainText().contains(QStringLiteral("Voir la carte 2.")));

    QTest::keyClick(window->focusWidget(), Qt::Key_Return); // "Élève suivant"
    QCOMPARE(window->Pages->currentIndex(), 0);
    // The pupil who has answered comes last in the list.
    QCOMPARE(window->NameBox->itemText(0), QStringLiteral("MARTIN Léo"));
    QTest::keyClicks(window->NameBox->lineEdit(), QStringLiteral("Paul"));
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    QCOMPARE(session->pupil(), QStringLiteral("Paul"));
    QCOMPARE(session->run()->version().seed(), quint64(2));
    QCOMPARE(session->run()->answeredCount(), 0);
}

void TestPupilWindow::escapeAndCloseDoNothing()
{
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
    QVERIFY(window->isVisible());
    QVERIFY(!window->close());
    QVERIFY(window->isVisible());
    QVERIFY(session->pupilAnswering());
}

void TestPupilWindow::stopKeepsTheOpenRun()
{
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_2);
    QTest::mouseClick(window->StopButton, Qt::LeftButton);
    QVERIFY(window->StopLabel->text().contains(QStringLiteral("gardées comme inachevées")));
    // "Reprendre": back to the same question, the answer still there.
    QTest::mouseClick(window->ResumeButton, Qt::LeftButton);
    QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::QuestionPage));
    QVERIFY(session->pupilAnswering());
    QTest::mouseClick(window->StopButton, Qt::LeftButton);
    QTest::keyClicks(window->TeacherCodeEdit, QStringLiteral("1789"));
    QTest::keyClick(window->TeacherCodeEdit, Qt::Key_Return);
    QVERIFY(!window->isVisible());
    QCOMPARE(keeper.kept.size(), size_t(1));
    QVERIFY(!keeper.kept[0].finished);
    QCOMPARE(keeper.kept[0].score.unansweredCount, 2);
}

void TestPupilWindow::stopNeedsTheTeachersCode()
{
    finishOnePupil();
    // The "Oui" that once gave the editor to a pupil: no box is asked any more, only the code.
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(window->StopButton, Qt::LeftButton);
    QVERIFY(window->isVisible());
    QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::StopPage));
    QTest::mouseClick(window->StopConfirmButton, Qt::LeftButton);
    QVERIFY(window->isVisible());
    QCOMPARE(window->StopProblemLabel->text(), QStringLiteral("Code incorrect."));
    for (const QString &wrong : {QStringLiteral("1788"), QStringLiteral("0000")}) {
        QTest::keyClicks(window->TeacherCodeEdit, wrong);
        QTest::mouseClick(window->StopConfirmButton, Qt::LeftButton);
    }
    // The third wrong try: the next one waits.
    QVERIFY(window->isVisible());
    QVERIFY(!window->StopConfirmButton->isEnabled());
    QCOMPARE(window->StopProblemLabel->text(), QStringLiteral("Code incorrect. Patientez 5 seconde(s) avant un nouvel essai."));
    QCOMPARE(teacherCode->check(QStringLiteral("1789")), TeacherCode::Check::Waiting);
    nowMs += TeacherCode::FirstWaitMs;
    // Each further wrong try waits twice as long.
    QCOMPARE(teacherCode->check(QStringLiteral("1788")), TeacherCode::Check::Refused);
    QCOMPARE(teacherCode->waitMs(), 2 * TeacherCode::FirstWaitMs);
    nowMs += 2 * TeacherCode::FirstWaitMs;
    QTRY_VERIFY(window->StopConfirmButton->isEnabled());
    QTest::keyClicks(window->TeacherCodeEdit, QStringLiteral("1789"));
    QTest::mouseClick(window->StopConfirmButton, Qt::LeftButton);
    QVERIFY(!window->isVisible());
    QCOMPARE(keeper.kept.size(), size_t(1));
}

void TestPupilWindow::correctionsWhenTheSettingsSay_data()
{
    QTest::addColumn<ClassSettings::CorrectionsShown>("when");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("told");
    QTest::newRow("after the copy") << ClassSettings::CorrectionsShown::AfterCopy << true << QString();
    QTest::newRow("at the end of the run")
        << ClassSettings::CorrectionsShown::AfterRun << false
        << QStringLiteral("Les corrections ne sont pas montrées pendant la passation.");
    QTest::newRow("never") << ClassSettings::CorrectionsShown::Never << false << QString();
}

void TestPupilWindow::correctionsWhenTheSettingsSay()
{
    QFETCH(ClassSettings::CorrectionsShown, when);
    QFETCH(bool, shown);
    QFETCH(QString, told);
    open(shownAtTheEnd(when));
    finishOnePupil();
    QVERIFY(window->EndLabel->text().contains(QStringLiteral("Note :")));
    QCOMPARE(window->CorrectionsView->isVisible(), shown);
    QCOMPARE(window->CorrectionsView->toPlainText().contains(QStringLiteral("Voir la carte")), shown);
    QCOMPARE(window->CorrectionsView->toPlainText().contains(QStringLiteral("Bonne réponse")), shown);
    if (!told.isEmpty())
        QVERIFY(window->EndLabel->text().contains(told));
}

void TestPupilWindow::endPageGoesBeforeTheNextPupil_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Élève suivant") << QStringLiteral("next");
    QTest::newRow("a minute without input") << QStringLiteral("wait");
    QTest::newRow("Arrêter la passation, then Reprendre") << QStringLiteral("stop");
}

void TestPupilWindow::endPageGoesBeforeTheNextPupil()
{
    QFETCH(QString, how);
    finishOnePupil();
    QVERIFY(window->EndTimer->isActive());
    QCOMPARE(window->EndTimer->interval(), PupilWindow::EndPageIdleMs);
    QVERIFY(window->CorrectionsView->toPlainText().contains(QStringLiteral("Voir la carte")));
    if (how == QLatin1String("wait")) {
        // A key restarts the minute; then nobody touches anything.
        window->EndTimer->setInterval(200);
        QTest::qWait(120);
        QTest::keyClick(window->CorrectionsView, Qt::Key_Down);
        QTest::qWait(120);
        QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::EndPage));
        QTRY_COMPARE_WITH_TIMEOUT(window->Pages->currentIndex(), int(PupilWindow::NamePage), 2000);
    } else if (how == QLatin1String("stop")) {
        QTest::mouseClick(window->StopButton, Qt::LeftButton);
        QTest::mouseClick(window->ResumeButton, Qt::LeftButton);
        QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::NamePage));
    } else {
        QTest::mouseClick(window->NextPupilButton, Qt::LeftButton);
        QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::NamePage));
    }
    QVERIFY(!window->EndTimer->isActive());
    QVERIFY(window->CorrectionsView->toPlainText().isEmpty());
    QVERIFY(window->EndLabel->text().isEmpty());
}

void TestPupilWindow::checkBoxesForSeveralAnswers_data()
{
    // Keys on the first question (right answers 2 and 4 among four), what the run holds then.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("ticked");
    QTest::newRow("number keys tick") << QStringLiteral("2 4") << QList<int>{2, 4};
    QTest::newRow("a number again unticks") << QStringLiteral("2 4 2") << QList<int>{4};
    QTest::newRow("space ticks the box with the focus") << QStringLiteral("Space") << QList<int>{1};
    QTest::newRow("tab goes to the next box") << QStringLiteral("Tab Space Tab Space") << QList<int>{2, 3};
    QTest::newRow("a number past the answers") << QStringLiteral("5") << QList<int>{};
}

void TestPupilWindow::checkBoxesForSeveralAnswers()
{
    QFETCH(QString, keys);
    QFETCH(QList<int>, ticked);
    open(shownAtTheEnd(ClassSettings::CorrectionsShown::AfterCopy), NetworkTesting::severalQuestionnaire());
    window->NameBox->setEditText(QStringLiteral("Marie"));
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    // Shuffled questions: the first several-answer question wherever it came.
    ClassRun *run = session->run();
    const int position = run->version().positionOf(0);
    window->StripButtons[size_t(position)]->click();
    QVERIFY(window->SeveralLabel->isVisible());
    QVERIFY(!window->AnswerButtons[0]->isVisible() && !window->AnswerChecks[4]->isVisible());
    QCOMPARE(window->focusWidget(), window->AnswerChecks[0]);
    const QMap<QString, Qt::Key> named{{"Space", Qt::Key_Space}, {"Tab", Qt::Key_Tab}};
    for (const QString &key : keys.split(QLatin1Char(' ')))
        QTest::keyClick(window->focusWidget(), named.value(key, Qt::Key(Qt::Key_0 + key.toInt())));

    // Places are what the pupil sees; the run keeps the questionnaire's numbers.
    AnswerSet expected = 0;
    for (int place : ticked)
        expected |= AnswerSets::of(run->version().answerNumber(0, place));
    QCOMPARE(run->answerSets()[0], expected);
    for (int k = 0; k < 4; ++k)
        QCOMPARE(window->AnswerChecks[size_t(k)]->isChecked(), ticked.contains(k + 1));
    QCOMPARE(window->StripButtons[size_t(position)]->property("answered").toBool(), !ticked.isEmpty());

    // A one-answer question keeps its buttons, one answer at a time.
    window->StripButtons[size_t(run->version().positionOf(1))]->click();
    QVERIFY(!window->SeveralLabel->isVisible() && window->AnswerButtons[0]->isVisible());
    QTest::keyClick(window->focusWidget(), Qt::Key_1);
    QTest::keyClick(window->focusWidget(), Qt::Key_2);
    QCOMPARE(AnswerSets::count(run->answerSets()[1]), 1);

    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(window->FinishButton, Qt::LeftButton);
    QCOMPARE(keeper.kept.size(), size_t(1));
    QCOMPARE(keeper.kept[0].ticked[0], expected);
}

void TestPupilWindow::feedbackOfEachAnswerTicked_data()
{
    QTest::addColumn<ClassSettings::CorrectionsShown>("when");
    QTest::addColumn<bool>("shown");
    QTest::newRow("after the copy") << ClassSettings::CorrectionsShown::AfterCopy << true;
    QTest::newRow("at the end of the run") << ClassSettings::CorrectionsShown::AfterRun << false;
    QTest::newRow("never") << ClassSettings::CorrectionsShown::Never << false;
}

void TestPupilWindow::feedbackOfEachAnswerTicked()
{
    QFETCH(ClassSettings::CorrectionsShown, when);
    QFETCH(bool, shown);
    ClassSettings settings = shownAtTheEnd(when);
    settings.shuffleAnswers = false;
    open(settings, NetworkTesting::severalQuestionnaire());
    window->NameBox->setEditText(QStringLiteral("Marie"));
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    ClassRun *run = session->run();
    // Question 1: answers 2 and 3 (one right, one wrong); question 2: answer 1, wrong; question 3 right.
    QVERIFY(run->setAnswers(0, AnswerSets::of(2) | AnswerSets::of(3)));
    QVERIFY(run->setAnswer(1, 1));
    QVERIFY(run->setAnswers(2, AnswerSets::of(1) | AnswerSets::of(2) | AnswerSets::of(3)));
    scripted.boxes.script(MessageAnswer::Yes);
    QTest::mouseClick(window->FinishButton, Qt::LeftButton);
    QVERIFY(window->EndLabel->text().contains(QStringLiteral("1 bonne(s) réponse(s) sur 3")));
    // The quotes hold their texts with no-break spaces.
    const QString text = window->CorrectionsView->toPlainText().replace(QChar::Nbsp, QLatin1Char(' '));
    QCOMPARE(window->CorrectionsView->isVisible(), shown);
    QCOMPARE(text.contains(QStringLiteral("Vos réponses : « Réponse 1.2 » et « Réponse 1.3 »")), shown);
    QCOMPARE(text.contains(QStringLiteral("Bonnes réponses : « Réponse 1.2 » et « Réponse 1.4 »")), shown);
    QCOMPARE(text.contains(QStringLiteral("« Réponse 1.3 » : Indice trois.")), shown);
    QCOMPARE(text.contains(QStringLiteral("« Réponse 2.1 » : Indice un.")), shown);
    // Only what the pupil ticked, and the lines of the file never as they are written.
    QVERIFY(!text.contains(QStringLiteral("Indice quatre")));
    QVERIFY(!text.contains(QStringLiteral("Commentaire de la réponse")));
    QVERIFY(!text.contains(QStringLiteral("Bonnes réponses : 2")));
}

void TestPupilWindow::teacherGrantsMinutes_data()
{
    QTest::addColumn<int>("duration");
    QTest::addColumn<int>("waited");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<int>("left"); // seconds, after the grant
    QTest::newRow("granted with the code") << 10 << 120 << "1789" << true << 480 + 300;
    QTest::newRow("a wrong code grants nothing") << 10 << 120 << "1788" << true << -1;
    // The time ran out while the teacher typed: the copy waited for her, and goes on.
    QTest::newRow("ran out on the teacher's page") << 10 << 630 << "1789" << true << 270;
    QTest::newRow("no time limit, nothing to grant") << 0 << 0 << "" << false << -1;
}

void TestPupilWindow::teacherGrantsMinutes()
{
    QFETCH(int, duration);
    ClassSettings settings;
    settings.durationMinutes = duration;
    open(settings);
    const QDateTime start = scripted.clock.now();
    QTest::mouseClick(window->StartButton, Qt::LeftButton);
    QTest::keyClick(window->focusWidget(), Qt::Key_2);
    QTest::mouseClick(window->StopButton, Qt::LeftButton);
    QFETCH(int, waited);
    scripted.clock.set(start.addSecs(waited));
    // A tick of the window's clock, while the teacher's page shows.
    QVERIFY(QMetaObject::invokeMethod(window.get(), "tickTime"));
    QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::StopPage));
    QTEST(window->GrantButton->isVisible(), "offered");
    QFETCH(bool, offered);
    if (!offered)
        return;
    window->GrantBox->setValue(5);
    QFETCH(QString, code);
    QTest::keyClicks(window->TeacherCodeEdit, code);
    QTest::mouseClick(window->GrantButton, Qt::LeftButton);
    QFETCH(int, left);
    if (left < 0) {
        QCOMPARE(window->StopProblemLabel->text(), QStringLiteral("Code incorrect."));
        QCOMPARE(session->time().grantedMinutes(), 0);
        return;
    }
    QCOMPARE(window->Pages->currentIndex(), int(PupilWindow::QuestionPage));
    QCOMPARE(session->remainingSeconds(), left);
    QVERIFY(keeper.kept.empty());
}

QTEST_MAIN(TestPupilWindow)
#include "tst_pupilwindow.moc"
