#include "document/exchange/importchooser.h"

#include "document/exchange/quizcategory.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ImportChooser", text);
}

QString withCount(const QString &name, int questions)
{
    return questions == 1 ? tr("%1 (1 question)").arg(name) : tr("%1 (%2 questions)").arg(name).arg(questions);
}

} // namespace

QStringList ImportChooser::categoryEntries(const QList<QuestionExchange::FoundCategory> &categories)
{
    int total = 0;
    QStringList entries;
    for (const QuestionExchange::FoundCategory &category : categories) {
        const QString label = QuizCategory::label(category.path);
        entries.append(withCount(label.isEmpty() ? tr("Sans catégorie") : label, category.questions));
        total += category.questions;
    }
    entries.prepend(withCount(tr("Toutes les catégories"), total));
    return entries;
}
