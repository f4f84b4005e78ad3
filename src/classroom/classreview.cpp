#include "classroom/classreview.h"

namespace {

struct Text
{
    Q_DECLARE_TR_FUNCTIONS(ClassReview)
};

} // namespace

namespace ClassReview {

std::vector<QuestionReview> of(const ClassRun &run)
{
    std::vector<QuestionReview> reviews;
    reviews.reserve(size_t(run.size()));
    for (int position = 0; position < run.size(); ++position) {
        const ClassQuestion &question = run.questionAt(position);
        const AnswerSet ticked = run.answerSets()[size_t(question.number)];
        const AnswerSet right = question.severalRight() ? question.rightAnswers
                                                        : AnswerSets::of(question.rightAnswer.value_or(0));
        QuestionReview review;
        review.title = question.title;
        review.several = question.severalRight();
        review.marked = question.marked();
        review.outcome = ClassMarking::markQuestion(question, run.settings(), ticked).outcome;
        // The pupil's own order of the answers: the one they remember.
        for (const int answer : run.version().shownAnswers(question.number)) {
            const QString &text = question.answers[size_t(answer - 1)];
            if (AnswerSets::contains(ticked, answer)) {
                review.given << text;
                const QString &feedback = question.feedback[size_t(answer - 1)];
                if (!feedback.isEmpty())
                    review.feedback.push_back({text, feedback});
            }
            if (question.marked() && AnswerSets::contains(right, answer))
                review.right << text;
        }
        review.correction = question.ownCorrection;
        reviews.push_back(std::move(review));
    }
    return reviews;
}

QString quoted(const QString &text)
{
    // No-break spaces inside the quotes, so that a line never ends on an open quote.
    return Text::tr("«\u00a0%1\u00a0»").arg(text);
}

QString quotedList(const QStringList &texts)
{
    QStringList quoted;
    for (const QString &text : texts)
        quoted << ClassReview::quoted(text);
    if (quoted.size() < 2)
        return quoted.join(QString());
    const QString last = quoted.takeLast();
    return quoted.join(QStringLiteral(", ")) + Text::tr(" et ") + last;
}

} // namespace ClassReview
