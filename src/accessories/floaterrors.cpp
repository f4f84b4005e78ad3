#include "accessories/floaterrors.h"

AppError FloatErrors::invalidText(const QString &text)
{
    return AppError(tr("'%1' n'est pas une valeur flottante correcte").arg(text));
}

AppError FloatErrors::divisionByZero()
{
    return AppError(tr("Division flottante par zéro"));
}

AppError FloatErrors::invalidOperation()
{
    return AppError(tr("Opération flottante incorrecte"));
}

AppError FloatErrors::overflow()
{
    return AppError(tr("Débordement flottant"));
}
