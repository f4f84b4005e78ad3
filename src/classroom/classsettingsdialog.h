#pragma once

#include "document/classsettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QSpinBox;

// "Réglages de la passation": how a class takes the questionnaire. Shows the settings it is
// given; settings() reads back what the teacher chose.
class ClassSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit ClassSettingsDialog(const ClassSettings &settings, QWidget *parent = nullptr);

    ClassSettings settings() const;

    QCheckBox *ShuffleQuestionsBox = nullptr;
    QCheckBox *ShuffleAnswersBox = nullptr;
    QSpinBox *ScaleBox = nullptr;
    QComboBox *RoundingBox = nullptr;
    QComboBox *PenaltyBox = nullptr;
    QComboBox *SeveralBox = nullptr;
    QComboBox *EndViewBox = nullptr;
    QComboBox *CorrectionsBox = nullptr;
    QSpinBox *DurationBox = nullptr;

private Q_SLOTS:
    void endViewChosen(int index);
};
