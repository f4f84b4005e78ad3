#pragma once

#include <QString>

// The group a question belongs to, for a draw of one question from each group: a title that
// opens with a name in square brackets, "[Fractions] Combien font 1/2 + 1/4 ?", puts the question
// in the group "Fractions". The name stays in the title, where the author sees it on the sheet
// and in the question list, and moves, is found and is replaced with the title itself; a file
// without a group draw reads exactly as before.
namespace QuestionGroup {

// The group's name as the title writes it, spaces run together; empty when the title names none
// ("[]", "[ ]", no closing bracket, or anything before the opening one but spaces).
QString of(const QString &title);

// What two spellings of one group share: "[Fractions]" and "[ fractions ]" are one group.
QString keyOf(const QString &group);

} // namespace QuestionGroup
