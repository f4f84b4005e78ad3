#pragma once

#include <QWidget>

#include <functional>

class LivePacing;
class QLabel;
class QListWidget;
class QPushButton;
struct Services;

// The teacher's own window in a live run, beside the session window and never on the
// projector: the control bar ("Question suivante", "Montrer les réponses", "Montrer la bonne
// réponse", "Terminer"), usable with the keys too (Right, Space, PgDn: the next step; Left,
// PgUp: the question open again while its right answer is not shown), the chart in words, who
// has not answered yet, and with a class list who has joined and who has not.
class LiveControlWindow : public QWidget
{
    Q_OBJECT

public:
    // `endRun` is the session window's own "Terminer la passation", so both kinds of session
    // end through one path.
    LiveControlWindow(LivePacing &pacing, Services &services, std::function<void()> endRun, QWidget *parent = nullptr);

    QLabel *StepLabel = nullptr;
    QPushButton *NextButton = nullptr;
    QPushButton *AnswersButton = nullptr;
    QPushButton *RightButton = nullptr;
    QPushButton *EndButton = nullptr;
    QLabel *TallyLabel = nullptr;
    QLabel *MissingCaption = nullptr;
    QListWidget *MissingList = nullptr;
    QLabel *PresenceCaption = nullptr;
    QListWidget *PresenceList = nullptr;

    // A key of the pace (LivePacing::pressKey), failures shown to the teacher; true when taken.
    bool pressKey(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private Q_SLOTS:
    void refresh();

private:
    QWidget *createControlBar();
    void act(const std::function<void()> &step);

    LivePacing &m_pacing;
    Services &m_services;
    std::function<void()> m_endRun;
};
