#pragma once

#include <QString>

#include <exception>

// The one exception type of the program: a French message for the person at the keyboard.
// Operations throw it; the guard around each user command shows it in the standard error box.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
