#pragma once

#include "classroom/classrunrecord.h"
#include "classroom/classtiming.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <vector>

class ClassListStore;
class ProportionalPicture;
class PupilSession;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStackedWidget;
class QLineEdit;
class QTextBrowser;
class QTimer;
class TeacherCode;
struct Services;

// The class's window: over the whole screen, one pupil after another, one question at a time,
// large enough to be read from the back of a room. The editor and its right answers cannot be
// reached from it; Escape does nothing; only "Arrêter la passation", with the teacher's code,
// ends it. A pupil's end page never waits for the next one: it goes with "Élève suivant" or
// after a minute without a key or a click.
class PupilWindow : public QDialog
{
    Q_OBJECT

public:
    // Pictures named by a bare file name are looked for in `pictureFolder`.
    PupilWindow(PupilSession &session, const ClassListStore &classLists, Services &services, TeacherCode &teacherCode,
                QString pictureFolder, QWidget *parent = nullptr);

    // How long an end page stays without a key or a click.
    static constexpr int EndPageIdleMs = 60 * 1000;

    enum Page { NamePage, QuestionPage, EndPage, StopPage };

    // The position (0-based, in the pupil's order) of the question shown.
    int position() const { return m_position; }

    // The name page.
    QComboBox *ClassBox = nullptr;
    QComboBox *NameBox = nullptr;
    QPushButton *StartButton = nullptr;
    // The question page.
    QLabel *QuestionNumber = nullptr;
    // The time left, in minutes; its accessible name changes only at the announcements.
    QLabel *TimeLabel = nullptr;
    QTimer *TimeTimer = nullptr;
    QLabel *TitleLabel = nullptr;
    ProportionalPicture *PictureView = nullptr;
    QLabel *StatementLabel = nullptr;
    // A question with one right answer is answered with these, as radio buttons are...
    std::array<QPushButton *, 5> AnswerButtons{};
    // ...one with several, with check boxes, under the words that say so.
    QLabel *SeveralLabel = nullptr;
    std::array<QCheckBox *, 5> AnswerChecks{};
    QScrollArea *StripArea = nullptr;
    std::vector<QPushButton *> StripButtons;
    QPushButton *PreviousButton = nullptr;
    QPushButton *NextButton = nullptr;
    QPushButton *FinishButton = nullptr;
    // The end page.
    QLabel *EndLabel = nullptr;
    QTextBrowser *CorrectionsView = nullptr;
    QPushButton *NextPupilButton = nullptr;
    // Runs while an end page shows; any key or click starts it again.
    QTimer *EndTimer = nullptr;
    // On every page, for the teacher.
    QPushButton *StopButton = nullptr;
    // The teacher's page: the code that stops the run.
    QLabel *StopLabel = nullptr;
    QLineEdit *TeacherCodeEdit = nullptr;
    QLabel *StopProblemLabel = nullptr;
    QPushButton *StopConfirmButton = nullptr;
    QPushButton *ResumeButton = nullptr;
    // With the code too, minutes more for the pupil answering, when the run has a time limit.
    QSpinBox *GrantBox = nullptr;
    QPushButton *GrantButton = nullptr;
    QTimer *WaitTimer = nullptr;

    QStackedWidget *Pages = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private Q_SLOTS:
    void fillNames();
    void startPupil();
    void previousQuestion();
    void nextQuestion();
    void finishPupil();
    void nextPupil();
    void stopSession();
    void confirmStop();
    void resumeAfterStop();
    void grantTime();
    void waitOver();
    void tickTime();

private:
    QWidget *createNamePage();
    QWidget *createQuestionPage();
    QWidget *createEndPage();
    QWidget *createStopPage();
    void createStrip();

    void showQuestion(int position);
    void choose(int shown);
    // Ticks or unticks the answer shown in place `shown` of a question with several right answers.
    void tick(int shown);
    bool showsChecks() const;
    void refreshStrip();
    void showEnd(const ClassRunRecord &record);
    QString correctionsHtml() const;
    void scaleFonts();
    void showWait();
    // The code, and what it allows, taken or not while wrong tries make the teacher wait.
    void enableCodeEntry(bool enabled);
    // The teacher's code typed on the teacher's page; says why when it is refused.
    bool teacherCodeAccepted();

    PupilSession &m_session;
    const ClassListStore &m_classLists;
    Services &m_services;
    TeacherCode &m_teacherCode;
    QString m_pictureFolder;
    int m_pageBeforeStop = NamePage;
    int m_position = 0;
    bool m_closing = false;
    TimeAnnouncer m_announcer;
};
