#pragma once

#include <QSpinBox>

// The minutes a teacher adds to one pupil's time during a run ("+5 min"), the same at the class
// computer and in the network session's window.
class GrantMinutesBox : public QSpinBox
{
    Q_OBJECT

public:
    static constexpr int MaxMinutes = 120;

    explicit GrantMinutesBox(QWidget *parent = nullptr);
};
