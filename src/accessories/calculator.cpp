#include "accessories/calculator.h"

#include "accessories/floaterrors.h"
#include "accessories/floattext.h"

#include <cmath>

namespace {

bool isOperator(QChar key)
{
    return key == QLatin1Char('+') || key == QLatin1Char('-') || key == QLatin1Char('*') || key == QLatin1Char('/');
}

Extended combine(Extended accumulator, QChar op, Extended operand)
{
    switch (op.unicode()) {
    case '+':
        return accumulator + operand;
    case '-':
        return accumulator - operand;
    case '*':
        return accumulator * operand;
    case '/':
        if (operand == 0)
            throw accumulator == 0 ? FloatErrors::invalidOperation() : FloatErrors::divisionByZero();
        return accumulator / operand;
    default:
        return accumulator;
    }
}

Extended functionValue(QChar key, Extended operand)
{
    if (key == Calculator::Reciprocal) {
        if (operand == 0)
            throw FloatErrors::divisionByZero();
        return 1 / operand;
    }
    if (operand < 0)
        throw FloatErrors::invalidOperation();
    return std::sqrt(operand);
}

} // namespace

QChar Calculator::keyFor(QChar typed)
{
    const char16_t c = typed.unicode();
    if ((c >= '0' && c <= '9') || isOperator(typed) || typed == Equals || typed == Comma)
        return typed;
    switch (c) {
    case '.':
        return Comma;
    case 'c':
    case 'C':
        return Clear;
    case 's':
    case 'S':
        return SquareRoot;
    case 'x':
    case 'X':
        return Reciprocal;
    default:
        return QChar();
    }
}

bool Calculator::press(QChar typed)
{
    const QChar key = keyFor(typed);
    if (key.isNull())
        return false;
    if (key.isDigit())
        appendDigit(key);
    else if (key == Comma)
        appendComma();
    else if (key == Equals)
        evaluate();
    else if (isOperator(key))
        pressOperator(key);
    else if (key == Clear)
        reset();
    else
        applyFunction(key);
    return true;
}

void Calculator::reset()
{
    // The result flag stays: a digit after a reset that followed a result still starts afresh.
    m_display.clear();
    m_accumulator = Real48();
    m_operand = Real48();
    m_accumulatorLoaded = false;
    m_pendingOperator = NoOperator;
}

void Calculator::appendDigit(QChar digit)
{
    if (m_resultShown)
        m_display.clear();
    m_display += digit;
    m_resultShown = false;
}

void Calculator::appendComma()
{
    // A second comma is accepted here; reading the text back then fails.
    m_display += Comma;
}

void Calculator::evaluate()
{
    if (!m_accumulatorLoaded) {
        // The first number: text that cannot be read is dropped without a word.
        try {
            m_accumulator = Real48::fromExtended(FloatText::toFloat(m_display));
        } catch (const AppError &) {
            m_display.clear();
            return;
        }
        m_accumulatorLoaded = true;
        m_resultShown = true;
        return;
    }
    m_operand = Real48::fromExtended(FloatText::toFloat(m_display));
    const Extended result = combine(m_accumulator.toExtended(), m_pendingOperator, m_operand.toExtended());
    m_accumulator = Real48::fromExtended(result);
    m_display = FloatText::resultText(m_accumulator);
    m_resultShown = true;
}

void Calculator::pressOperator(QChar op)
{
    evaluate();
    m_pendingOperator = op;
}

void Calculator::applyFunction(QChar key)
{
    m_operand = Real48::fromExtended(FloatText::toFloat(m_display));
    const Extended result = functionValue(key, m_operand.toExtended());
    // Shown in full: the value has not been through the 6-byte storage, so it carries no noise.
    m_display = FloatText::generalText(result);
    m_accumulator = Real48::fromExtended(result);
    m_accumulatorLoaded = true;
    m_resultShown = true;
}
