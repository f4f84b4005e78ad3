#pragma once

#include "accessories/clockstepping.h"

#include <QDialog>

#include <optional>

class MessageBoxes;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;
struct Services;
class SpinButton;
class SystemClock;

// "Horloge": the system's local time and date, refreshed every second. "Set" freezes them, the
// spin button steps the field chosen in the selector, and a second "Set" writes them to the
// system clock. The two labels are the only copy of the moment being edited. Closing while
// editing abandons the edit; the chosen field survives between openings.
class THorloge : public QDialog
{
    Q_OBJECT

public:
    explicit THorloge(Services &services, QWidget *parent = nullptr);

    bool EditMode() const { return m_editMode; }
    // The selected field, or none at program start.
    std::optional<ClockField> selectedField() const;
    // Sets the system clock from the two texts. Throws AppError when a field is not a number;
    // a refusal of the system is reported in a warning box.
    void Modifie();

    QFrame *Panel1 = nullptr;
    QLabel *Label1 = nullptr; // time
    QLabel *Label2 = nullptr; // date
    QLabel *Label3 = nullptr; // "NELO"
    QLabel *Label4 = nullptr; // white bar between the two boxes
    QGroupBox *RadioGroup1 = nullptr;
    SpinButton *SpinButton1 = nullptr;
    QPushButton *Button2 = nullptr; // "Set"
    QPushButton *Button1 = nullptr; // "Fermer"
    QTimer *Timer1 = nullptr;

public Q_SLOTS:
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private Q_SLOTS:
    void SpinButton1UpClick();
    void SpinButton1DownClick();
    void Button2Click();

private:
    void createPanel();
    QLabel *createTimeBox(const QString &name, int top, const QString &sample);
    void createFieldSelector();
    void createButtons();

    void FormActivate();
    void FormDeactivate();
    void stepSelectedField(StepDirection direction);
    ClockTexts shownTexts() const;
    void showTexts(const ClockTexts &texts);

    MessageBoxes &m_boxes;
    SystemClock &m_clock;
    QButtonGroup *m_fields = nullptr;
    bool m_editMode = false;
};
