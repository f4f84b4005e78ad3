#pragma once

#include "document/exchange/questionexchange.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// What an import takes from its file, and where the questions go.
struct ImportChoice
{
    // After the open questionnaire's questions, rather than as a new questionnaire.
    bool append = false;
    // The one category taken (its path as the file writes it); all of them when none.
    std::optional<QString> category;
};

// Asks the author what to import once the file is read; the program asks with a dialog, tests
// answer from a script.
class ImportChooser
{
public:
    virtual ~ImportChooser() = default;

    // `categories`: those of the file, in its order, at least one. `canAppend`: the open
    // questionnaire has questions to add to. Nothing when the author cancels.
    virtual std::optional<ImportChoice> choose(const QList<QuestionExchange::FoundCategory> &categories,
                                               bool canAppend) = 0;

    // What a list of the categories shows: all of them first, then each with its number of
    // questions ("Géographie (12 questions)").
    static QStringList categoryEntries(const QList<QuestionExchange::FoundCategory> &categories);
};
