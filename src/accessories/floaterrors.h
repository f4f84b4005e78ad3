#pragma once

#include "platform/apperror.h"

#include <QCoreApplication>

// The calculator's failures, with the messages the standard error box shows.
class FloatErrors
{
    Q_DECLARE_TR_FUNCTIONS(FloatErrors)

public:
    static AppError invalidText(const QString &text);
    static AppError divisionByZero();
    static AppError invalidOperation();
    static AppError overflow();
};
