#include "document/exchange/answerweights.h"

#include "document/exchange/exchangequestion.h"

#include <cmath>

namespace AnswerWeights {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("AnswerWeights", text);
}

// Moodle keeps seven digits after the point; a file written by hand may keep fewer.
constexpr double Tolerance = 0.01;

bool near(double a, double b)
{
    return std::abs(a - b) < Tolerance;
}

} // namespace

QList<double> fractions(int answerCount, const QList<int> &right)
{
    const int rightCount = int(right.size());
    const int wrongCount = answerCount - rightCount;
    QList<double> result;
    for (int a = 0; a < answerCount; ++a)
        result << (right.contains(a) ? 100.0 / rightCount : -100.0 / std::max(wrongCount, 1));
    return result;
}

QString fractionText(double percent)
{
    QString text = QString::number(percent, 'f', 5);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}

std::optional<Reading> read(const QList<double> &weights, QString &reason)
{
    Reading reading;
    for (int a = 0; a < int(weights.size()); ++a) {
        if (weights.at(a) > 0)
            reading.right << a;
    }
    if (reading.right.isEmpty()) {
        reason = tr("aucune bonne réponse");
        return std::nullopt;
    }
    if (reading.right.size() < 2) {
        reason = tr("plusieurs réponses possibles, une seule bonne");
        return std::nullopt;
    }
    const QList<double> own = fractions(int(weights.size()), reading.right);
    bool same = true;
    for (int a = 0; a < int(weights.size()); ++a)
        same = same && near(weights.at(a), own.at(a));
    if (!same) {
        QStringList given;
        QStringList wanted;
        for (int a = 0; a < int(weights.size()); ++a) {
            given << fractionText(weights.at(a)) + QStringLiteral(" %");
            wanted << fractionText(own.at(a)) + QStringLiteral(" %");
        }
        reading.note = tr("les parts de Moodle (%1) ne sont pas celles du crédit partiel du programme (%2) : "
                          "la question garde ses bonnes réponses, notées selon les réglages de la passation")
                           .arg(given.join(QStringLiteral(", ")), wanted.join(QStringLiteral(", ")));
    }
    return reading;
}

bool giveRightAnswers(const QList<double> &fractions, ExchangeQuestion &question, QString &note, QString &reason)
{
    const std::optional<Reading> reading = read(fractions, reason);
    if (!reading)
        return false;
    question.rightAnswers = reading->right;
    question.rightAnswer = reading->right.first();
    note = reading->note;
    return true;
}

} // namespace AnswerWeights
