#include "platform/errorguard.h"

#include "platform/apperror.h"

#include <QCoreApplication>

#include <new>

QString standardErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

QString failureMessage(const std::exception &error)
{
    if (const auto *appError = dynamic_cast<const AppError *>(&error))
        return appError->message();
    if (dynamic_cast<const std::bad_alloc *>(&error))
        return QCoreApplication::translate("ErrorGuard", "Mémoire insuffisante pour terminer l'opération.");
    return failureMessage();
}

QString failureMessage()
{
    return QCoreApplication::translate("ErrorGuard", "Erreur inattendue : l'opération est abandonnée.");
}

bool runGuarded(MessageBoxes &boxes, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const AppError &error) {
        boxes.error(standardErrorText(error.message()));
    } catch (const std::exception &error) {
        boxes.error(standardErrorText(failureMessage(error)));
    }
    return false;
}
