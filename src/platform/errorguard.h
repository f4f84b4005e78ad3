#pragma once

#include "platform/messageboxes.h"

#include <QString>

#include <exception>

#include <functional>

// The text of the standard error box: the message, with a period appended when its last
// character sorts after the period (a letter or a digit; not a blank, a quote or a period).
QString standardErrorText(const QString &message);

// The French text for a failure: an AppError's own message, a plain statement for the lack of
// memory, and for anything else (whose own text is the library's, in English) a general one.
QString failureMessage(const std::exception &error);
QString failureMessage();

// Runs one user command. An AppError (or any other exception) stops the command where it was
// thrown and is shown in the standard error box; exceptions never reach the event loop.
// Returns false when the command failed.
bool runGuarded(MessageBoxes &boxes, const std::function<void()> &command);
