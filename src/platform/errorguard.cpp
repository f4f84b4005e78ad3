#include "platform/errorguard.h"

#include "platform/apperror.h"

#include <new>

QString standardErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

bool runGuarded(MessageBoxes &boxes, const std::function<void()> &command)
{
    try {
        command();
        return true;
    } catch (const AppError &error) {
        boxes.error(standardErrorText(error.message()));
    } catch (const std::bad_alloc &) {
        boxes.error(QStringLiteral("Mémoire insuffisante pour terminer l'opération."));
    } catch (const std::exception &error) {
        boxes.error(standardErrorText(QString::fromLocal8Bit(error.what())));
    }
    return false;
}
