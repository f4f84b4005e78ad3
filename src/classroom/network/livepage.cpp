#include "classroom/network/livepage.h"

#include "classroom/network/networksession.h"

#include <QJsonArray>

QJsonObject LivePage::viewOf(const NetworkSession &session, const NetworkPupil &pupil)
{
    const LivePace &pace = session.pace();
    QJsonObject view{{QStringLiteral("live"), true},
                     {QStringLiteral("step"), LivePace::stepName(session.ended() ? LivePace::Step::Over : pace.step)},
                     {QStringLiteral("count"), session.questionnaire().size()},
                     {QStringLiteral("finished"), pupil.finishedAt.isValid()},
                     {QStringLiteral("ended"), session.ended()}};
    if (session.ended() || pace.step == LivePace::Step::Waiting || pace.question < 0)
        return view;

    const int number = pace.question;
    const ClassVersion &version = pupil.run.version();
    const int position = version.positionOf(number);
    const ClassQuestion &shown = pupil.run.questionAt(position);
    const QStringList answers = pupil.run.shownAnswers(position);
    view.insert(QStringLiteral("number"), number + 1);
    view.insert(QStringLiteral("open"), pace.takesAnswersTo(number));
    view.insert(QStringLiteral("position"), position);
    view.insert(QStringLiteral("title"), shown.title);
    view.insert(QStringLiteral("statement"), shown.statement.join(QLatin1Char('\n')));
    view.insert(QStringLiteral("answers"), QJsonArray::fromStringList(answers));
    view.insert(QStringLiteral("chosen"), pupil.run.chosenAt(position));
    // Of a question with several right answers, only that it has several, and the places ticked.
    view.insert(QStringLiteral("several"), shown.severalRight());
    QJsonArray ticked;
    for (int place = 1; place <= answers.size(); ++place) {
        if (AnswerSets::contains(pupil.run.answerSets()[size_t(number)], version.answerNumber(number, place)))
            ticked.append(place);
    }
    view.insert(QStringLiteral("ticked"), ticked);
    view.insert(QStringLiteral("picture"),
                shown.picture.trimmed().isEmpty() ? QJsonValue() : QJsonValue(shown.number + 1));
    if (!pace.answersShown())
        return view;

    const LiveTally tally = LivePacing::tallyOf(session, number);
    QJsonArray shares;
    QJsonArray right;
    for (int place = 1; place <= answers.size(); ++place) {
        const int answer = version.answerNumber(number, place);
        shares.append(answer > 0 ? tally.counts[size_t(answer - 1)] : 0);
        const bool isRight = shown.severalRight() ? AnswerSets::contains(shown.rightAnswers, answer)
                                                  : shown.rightAnswer == answer;
        if (pace.rightShown() && isRight)
            right.append(place);
    }
    view.insert(QStringLiteral("shares"), shares);
    view.insert(QStringLiteral("answered"), tally.answered);
    if (pace.rightShown())
        view.insert(QStringLiteral("right"), right);
    return view;
}
