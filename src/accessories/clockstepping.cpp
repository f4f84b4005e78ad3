#include "accessories/clockstepping.h"

#include "platform/apperror.h"

#include <algorithm>

namespace {

struct FieldPlace
{
    bool inDate;  // else in the time text
    int position; // 0-based
    int width;
    int lowest;
    int highest;
};

// In the order of ClockField.
constexpr FieldPlace FieldPlaces[] = {
    {false, 0, 2, 0, 23},                                            // hour
    {false, 3, 2, 0, 59},                                            // minute
    {true, 0, 2, 1, 31},                                             // day
    {true, 3, 2, 1, 12},                                             // month
    {true, 6, 4, ClockTexts::LowestYear, ClockTexts::HighestYear},   // year
};

const FieldPlace &placeOf(ClockField field)
{
    return FieldPlaces[int(field)];
}

constexpr FieldPlace SecondPlace{false, 6, 2, 0, 59};

// Two-digit years stand for the 1900s, as in the short date formats of the clock's day.
constexpr int TwoDigitYearLimit = 100;
constexpr int TwoDigitCentury = 1900;

} // namespace

ClockTexts ClockTexts::of(const QDateTime &moment)
{
    // The fixed French layouts, whatever the locale's own formats: editing goes by position.
    return {moment.time().toString(QStringLiteral("HH:mm:ss")), moment.date().toString(QStringLiteral("dd/MM/yyyy"))};
}

namespace {

int fieldValue(const QString &text, const FieldPlace &place)
{
    const QString characters = text.mid(place.position, place.width);
    const QString digits = characters.trimmed();
    const bool number = !digits.isEmpty() && std::all_of(digits.cbegin(), digits.cend(), [](QChar c) {
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    });
    if (!number)
        throw AppError(ClockTexts::tr("'%1' n'est pas une valeur entière correcte").arg(characters));
    return digits.toInt();
}

} // namespace

void ClockTexts::step(ClockField field, StepDirection direction)
{
    const FieldPlace &place = placeOf(field);
    QString &text = place.inDate ? date : time;
    int value = fieldValue(text, place);
    if (field == ClockField::Year && value < TwoDigitYearLimit)
        value += TwoDigitCentury;
    // Values stop at their bounds; a value already past one (a year after 2099) is left alone
    // rather than thrown back across the range by a step the other way.
    if (direction == StepDirection::Up && value < place.highest)
        ++value;
    else if (direction == StepDirection::Down && value > place.lowest)
        --value;
    text.replace(place.position, place.width, QStringLiteral("%1").arg(value, place.width, 10, QLatin1Char('0')));
}

QDateTime ClockTexts::moment() const
{
    const int year = fieldValue(date, placeOf(ClockField::Year));
    const int month = fieldValue(date, placeOf(ClockField::Month));
    const int day = fieldValue(date, placeOf(ClockField::Day));
    const int hour = fieldValue(time, placeOf(ClockField::Hour));
    const int minute = fieldValue(time, placeOf(ClockField::Minute));
    const int second = fieldValue(time, SecondPlace);
    const QDate calendarDate(year, month, day);
    const QTime clockTime(hour, minute, second);
    if (!calendarDate.isValid() || !clockTime.isValid())
        return QDateTime();
    return QDateTime(calendarDate, clockTime, Qt::LocalTime);
}
