#pragma once

#include "classroom/classrunrecord.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <vector>

class ClassListStore;
class ProportionalPicture;
class PupilSession;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTextBrowser;
struct Services;

// The class's window: over the whole screen, one pupil after another, one question at a time,
// large enough to be read from the back of a room. The editor and its right answers cannot be
// reached from it; Escape does nothing; only "Arrêter la passation", confirmed, ends it.
class PupilWindow : public QDialog
{
    Q_OBJECT

public:
    // Pictures named by a bare file name are looked for in `pictureFolder`.
    PupilWindow(PupilSession &session, const ClassListStore &classLists, Services &services,
                QString pictureFolder, QWidget *parent = nullptr);

    // The position (0-based, in the pupil's order) of the question shown.
    int position() const { return m_position; }

    // The name page.
    QComboBox *ClassBox = nullptr;
    QComboBox *NameBox = nullptr;
    QPushButton *StartButton = nullptr;
    // The question page.
    QLabel *QuestionNumber = nullptr;
    QLabel *TitleLabel = nullptr;
    ProportionalPicture *PictureView = nullptr;
    QLabel *StatementLabel = nullptr;
    std::array<QPushButton *, 5> AnswerButtons{};
    QScrollArea *StripArea = nullptr;
    std::vector<QPushButton *> StripButtons;
    QPushButton *PreviousButton = nullptr;
    QPushButton *NextButton = nullptr;
    QPushButton *FinishButton = nullptr;
    // The end page.
    QLabel *EndLabel = nullptr;
    QTextBrowser *CorrectionsView = nullptr;
    QPushButton *NextPupilButton = nullptr;
    // On every page, for the teacher.
    QPushButton *StopButton = nullptr;

    QStackedWidget *Pages = nullptr;

public Q_SLOTS:
    void reject() override;

protected:
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

private:
    QWidget *createNamePage();
    QWidget *createQuestionPage();
    QWidget *createEndPage();
    void createStrip();

    void showQuestion(int position);
    void choose(int shown);
    void refreshStrip();
    void showEnd(const ClassRunRecord &record);
    QString correctionsHtml() const;
    void scaleFonts();

    PupilSession &m_session;
    const ClassListStore &m_classLists;
    Services &m_services;
    QString m_pictureFolder;
    int m_position = 0;
    bool m_closing = false;
};
