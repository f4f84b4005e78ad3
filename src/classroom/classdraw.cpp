#include "classroom/classdraw.h"

#include "classroom/seededrandom.h"
#include "document/questiongroup.h"

#include <QHash>

#include <algorithm>
#include <numeric>

ClassDraw::Groups ClassDraw::groupsOf(const ClassQuestionnaire &questionnaire)
{
    Groups found;
    QHash<QString, size_t> byKey;
    for (const ClassQuestion &question : questionnaire.questions()) {
        if (question.group.isEmpty()) {
            found.ungrouped.push_back(question.number);
            continue;
        }
        const QString key = QuestionGroup::keyOf(question.group);
        auto it = byKey.constFind(key);
        if (it == byKey.constEnd()) {
            it = byKey.insert(key, found.groups.size());
            found.groups.push_back({question.group, {}});
        }
        found.groups[*it].questions.push_back(question.number);
    }
    return found;
}

std::vector<int> ClassDraw::drawn(const ClassQuestionnaire &questionnaire, const ClassSettings &settings,
                                  SeededRandom &random)
{
    const int count = questionnaire.size();
    std::vector<int> held;
    switch (settings.draw) {
    case ClassSettings::Draw::None:
        held.resize(size_t(count));
        std::iota(held.begin(), held.end(), 0);
        break;
    case ClassSettings::Draw::AmongAll: {
        // The first drawCount places of a Fisher and Yates shuffle stopped early: every set of
        // drawCount questions is as likely, in drawCount draws whatever the questionnaire's size.
        std::vector<int> numbers(static_cast<size_t>(count));
        std::iota(numbers.begin(), numbers.end(), 0);
        const int wanted = std::clamp(settings.drawCount, 0, count);
        for (int i = 0; i < wanted; ++i)
            std::swap(numbers[size_t(i)], numbers[size_t(i) + random.below(quint32(count - i))]);
        held.assign(numbers.begin(), numbers.begin() + wanted);
        break;
    }
    case ClassSettings::Draw::OnePerGroup: {
        const Groups groups = groupsOf(questionnaire);
        held = groups.ungrouped;
        for (const Group &group : groups.groups)
            held.push_back(group.questions[random.below(quint32(group.questions.size()))]);
        break;
    }
    }
    std::sort(held.begin(), held.end());
    return held;
}

int ClassDraw::heldCount(const ClassQuestionnaire &questionnaire, const ClassSettings &settings)
{
    switch (settings.draw) {
    case ClassSettings::Draw::None:
        break;
    case ClassSettings::Draw::AmongAll:
        return std::clamp(settings.drawCount, 0, questionnaire.size());
    case ClassSettings::Draw::OnePerGroup: {
        const Groups groups = groupsOf(questionnaire);
        return int(groups.ungrouped.size() + groups.groups.size());
    }
    }
    return questionnaire.size();
}

QString ClassDraw::describe(const ClassQuestionnaire &questionnaire, const ClassSettings &settings)
{
    const int all = questionnaire.size();
    switch (settings.draw) {
    case ClassSettings::Draw::None:
        break;
    case ClassSettings::Draw::AmongAll: {
        const int drawn = heldCount(questionnaire, settings);
        return (drawn <= 1 ? tr("%1 question tirée parmi %2") : tr("%1 questions tirées parmi %2")).arg(drawn).arg(all);
    }
    case ClassSettings::Draw::OnePerGroup: {
        const Groups groups = groupsOf(questionnaire);
        const int count = int(groups.groups.size());
        QString text = (count <= 1 ? tr("1 question de chaque groupe (%1 groupe)")
                                   : tr("1 question de chaque groupe (%1 groupes)"))
                           .arg(count);
        if (!groups.ungrouped.empty())
            text += tr(" et %1 hors groupe").arg(groups.ungrouped.size());
        return text;
    }
    }
    return (all <= 1 ? tr("%1 question") : tr("%1 questions")).arg(all);
}

QString ClassDraw::problem(const ClassSettings &settings, int questions, int groups)
{
    switch (settings.draw) {
    case ClassSettings::Draw::None:
        break;
    case ClassSettings::Draw::AmongAll:
        if (settings.drawCount < 1)
            return tr("Indiquez combien de questions tirer : au moins 1.");
        if (settings.drawCount > questions) {
            return tr("Le tirage demande %1 questions ; le questionnaire n'en a que %2.")
                .arg(settings.drawCount)
                .arg(questions);
        }
        break;
    case ClassSettings::Draw::OnePerGroup:
        if (groups == 0) {
            return tr("Aucune question n'est dans un groupe : commencez le titre des questions d'un même groupe par son "
                      "nom entre crochets, par exemple « [Fractions] Combien font 1/2 + 1/4 ? ».");
        }
        break;
    }
    return QString();
}

QString ClassDraw::problem(const ClassSettings &settings, const ClassQuestionnaire &questionnaire)
{
    const Groups groups = groupsOf(questionnaire);
    return problem(settings, questionnaire.size(), int(groups.groups.size()));
}
