#pragma once

#include <QString>

// Categories of Moodle's quiz bank as the files write them: a path from a context
// ("$course$/top/Géographie/Europe"), a "/" inside a name doubled.
namespace QuizCategory {

// The path of the category an export names after a questionnaire: at the top of the course's
// bank, where Moodle's own exports put theirs.
QString pathFor(const QString &name);
// The path of the subcategory `name` of the category `path`.
QString childPath(const QString &path, const QString &name);

// A path as a teacher reads it: without its context and its "top", a doubled "/" single again
// ("Géographie/Europe"); empty for the category of the questions before any.
QString label(const QString &path);

} // namespace QuizCategory
