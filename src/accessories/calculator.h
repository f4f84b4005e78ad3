#pragma once

#include "accessories/real48.h"

#include <QChar>
#include <QString>

// The pocket calculator's registers and its key presses, without widgets. It works strictly
// left to right with one pending operator: "=" and the four operators share one evaluation
// step, and "=" keeps the operator, so repeating it repeats the last operation. The display
// text is the entry register: what the next operation reads back.
//
// Every key goes through press(), which takes the character of the key map. A failing key
// throws AppError with the message for the standard error box; the registers then keep what
// they held before the failing step.
class Calculator
{
public:
    // The keys, as the characters the buttons and the keyboard send.
    static constexpr QChar Comma = QLatin1Char(',');
    static constexpr QChar Equals = QLatin1Char('=');
    static constexpr QChar Reciprocal = QLatin1Char('X');
    static constexpr QChar SquareRoot = QLatin1Char('S');
    static constexpr QChar Clear = QLatin1Char('C');
    static constexpr QChar NoOperator = QChar();

    // The key a typed character stands for ("." is the comma, letters in either case), or a
    // null QChar when the character is not in the key map.
    static QChar keyFor(QChar typed);

    // Presses the key `typed` stands for; false when it stands for none (nothing happens).
    bool press(QChar typed);

    // The clear key, also run at each opening of the window.
    void reset();

    const QString &displayText() const { return m_display; }
    Real48 accumulator() const { return m_accumulator; }
    Real48 operand() const { return m_operand; }
    QChar pendingOperator() const { return m_pendingOperator; }
    bool accumulatorLoaded() const { return m_accumulatorLoaded; }
    bool resultShown() const { return m_resultShown; }

private:
    void appendDigit(QChar digit);
    void appendComma();
    void evaluate();
    void pressOperator(QChar op);
    void applyFunction(QChar function);

    QString m_display;
    Real48 m_accumulator;
    Real48 m_operand;
    QChar m_pendingOperator = NoOperator;
    bool m_accumulatorLoaded = false;
    bool m_resultShown = false;
};
