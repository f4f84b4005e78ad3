#pragma once

#include <QCoreApplication>
#include <QDateTime>
#include <QString>

// The fields the clock's selector steps, in the order of its items "Hr", "Mn", "Jo", "Mo", "An".
enum class ClockField { Hour, Minute, Day, Month, Year };
enum class StepDirection { Up, Down };

// The clock's two texts, the time "hh:mm:ss" and the date "dd/mm/yyyy". They are the only copy
// of the moment being edited: a field is read from its fixed character places, stepped within
// its bounds and written back in place, the rest of the text untouched; applying reads every
// field back. No field carries into another, and the day is not checked against the month
// here (31/02 can be stepped to); the system refuses such a date when it is applied.
class ClockTexts
{
    Q_DECLARE_TR_FUNCTIONS(ClockTexts)

public:
    static constexpr int LowestYear = 1900;
    static constexpr int HighestYear = 2099;

    ClockTexts() = default;
    ClockTexts(QString time, QString date) : time(std::move(time)), date(std::move(date)) {}
    // The texts the clock shows for `moment`.
    static ClockTexts of(const QDateTime &moment);

    // Steps one field by one. Throws AppError ("'%s' n'est pas une valeur entière correcte")
    // when the field's characters are not a number; the texts are then unchanged.
    void step(ClockField field, StepDirection direction);

    // The local date and time the texts spell, milliseconds 0. Throws AppError when a field is
    // not a number; an invalid QDateTime when the numbers make no real moment (31/02, 25 h).
    QDateTime moment() const;

    QString time;
    QString date;
};
