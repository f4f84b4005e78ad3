#pragma once

#include "document/qcmformat.h"

#include <QStringList>

// Questionnaires for the runner's tests and benchmark.
namespace RunnerTestData {

// Question n (1-based) is titled "Titre n", has answers "n-1" to "n-5", right answer
// ((n - 1) % 5) + 1 and one free-text line "Texte n"; a line holding a space between blocks.
inline QStringList questionnaire(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i) {
        const int n = i + 1;
        lines << QcmFormat::openingTag(i) << QStringLiteral("TITLE Titre %1").arg(n) << QStringLiteral("PICTURE ");
        for (int a = 1; a <= QcmFormat::AnswerCount; ++a)
            lines << QStringLiteral("REP%1 %2-%1").arg(a).arg(n);
        lines << QStringLiteral("REPONSE %1").arg((i % 5) + 1) << QStringLiteral("Texte %1").arg(n)
              << QcmFormat::closingTag(i) << QStringLiteral(" ");
    }
    return lines;
}

// One block from its fields; `answers` holds the texts of answers 1 to 5 (missing ones empty).
inline QStringList block(int question, const QString &title, const QStringList &answers, const QString &rightAnswer,
                         const QStringList &freeText = {}, const QString &picture = QString())
{
    QStringList lines{QcmFormat::openingTag(question), QStringLiteral("TITLE ") + title,
                      QStringLiteral("PICTURE ") + picture};
    for (int a = 0; a < QcmFormat::AnswerCount; ++a)
        lines << QcmFormat::answerKeyword(a + 1) + answers.value(a);
    lines << QStringLiteral("REPONSE ") + rightAnswer << freeText << QcmFormat::closingTag(question);
    return lines;
}

} // namespace RunnerTestData
