#pragma once

#include "document/classsettings.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

// "Réglages de la passation": how a class takes the questionnaire. Shows the settings it is
// given; settings() reads back what the teacher chose.
class ClassSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ClassSettingsDialog(const ClassSettings &settings, QWidget *parent = nullptr);

    ClassSettings settings() const;
    // What the questionnaire holds, so that OK refuses a draw it cannot make (with a French
    // sentence under the draw, the dialog staying open). Without it every draw is taken.
    void setBank(int questions, int groups);

    QCheckBox *ShuffleQuestionsBox = nullptr;
    QCheckBox *ShuffleAnswersBox = nullptr;
    QSpinBox *ScaleBox = nullptr;
    QComboBox *RoundingBox = nullptr;
    QComboBox *PenaltyBox = nullptr;
    QComboBox *SeveralBox = nullptr;
    QComboBox *EndViewBox = nullptr;
    QComboBox *CorrectionsBox = nullptr;
    QSpinBox *DurationBox = nullptr;
    QComboBox *DrawBox = nullptr;
    QSpinBox *DrawCountBox = nullptr;
    QLabel *DrawProblemLabel = nullptr;

public Q_SLOTS:
    void accept() override;

private Q_SLOTS:
    void endViewChosen(int index);
    void drawChosen(int index);

private:
    struct Bank
    {
        int questions = 0;
        int groups = 0;
    };
    std::optional<Bank> m_bank;
};
