#include "document/classsettings.h"

#include "document/qcmformat.h"

namespace {

const QString Keyword = QStringLiteral("PASSATION ");

const QString QuestionsKey = QStringLiteral("questions");
const QString AnswersKey = QStringLiteral("reponses");
const QString ScaleKey = QStringLiteral("bareme");
const QString RoundingKey = QStringLiteral("arrondi");
const QString PenaltyKey = QStringLiteral("penalite");
const QString EndKey = QStringLiteral("fin");
const QString CorrectionsKey = QStringLiteral("corrections");
const QString SeveralKey = QStringLiteral("plusieurs");
const QString DurationKey = QStringLiteral("duree");
const QString AllOrNothing = QStringLiteral("tout-ou-rien");
const QString Partial = QStringLiteral("partiel");
const QString DrawKey = QStringLiteral("tirage");
const QString PerGroup = QStringLiteral("groupes");

const QString InOrder = QStringLiteral("ordre");
const QString Shuffled = QStringLiteral("melange");

QString penaltyText(ClassSettings::Penalty penalty)
{
    return penalty == ClassSettings::Penalty::Chance ? QStringLiteral("hasard") : QStringLiteral("aucune");
}

QString endText(ClassSettings::EndView view)
{
    switch (view) {
    case ClassSettings::EndView::Nothing:
        return QStringLiteral("rien");
    case ClassSettings::EndView::Mark:
        return QStringLiteral("note");
    case ClassSettings::EndView::MarkAndCorrections:
        return QStringLiteral("corrections");
    }
    return QStringLiteral("note");
}

QString correctionsText(ClassSettings::CorrectionsShown when)
{
    switch (when) {
    case ClassSettings::CorrectionsShown::AfterCopy:
        return QStringLiteral("apres-copie");
    case ClassSettings::CorrectionsShown::AfterRun:
        return QStringLiteral("fin-passation");
    case ClassSettings::CorrectionsShown::Never:
        return QStringLiteral("jamais");
    }
    return QStringLiteral("apres-copie");
}

// Only the lines above the first block are the file's header: a line of free text further down
// that happens to begin like a settings line stays free text.
int headerEnd(const QStringList &lines)
{
    for (int i = 0; i < lines.size(); ++i) {
        if (QcmFormat::startsOpeningTag(lines.at(i)) || QcmFormat::openingTagNumber(lines.at(i)) >= 0)
            return i;
    }
    return int(lines.size());
}

void apply(ClassSettings &settings, const QString &key, const QString &value)
{
    if (key == QuestionsKey || key == AnswersKey) {
        if (value != InOrder && value != Shuffled)
            return;
        (key == QuestionsKey ? settings.shuffleQuestions : settings.shuffleAnswers) = value == Shuffled;
    } else if (key == ScaleKey) {
        bool ok = false;
        const int scale = value.toInt(&ok, 10);
        if (ok && scale >= 1 && scale <= ClassSettingsFormat::MaxMarkScale)
            settings.markScale = scale;
    } else if (key == RoundingKey) {
        for (int step : ClassSettingsFormat::roundingSteps()) {
            if (value == ClassSettingsFormat::roundingText(step))
                settings.roundingHundredths = step;
        }
    } else if (key == PenaltyKey) {
        if (value == penaltyText(ClassSettings::Penalty::Chance))
            settings.penalty = ClassSettings::Penalty::Chance;
        else if (value == penaltyText(ClassSettings::Penalty::None))
            settings.penalty = ClassSettings::Penalty::None;
    } else if (key == EndKey) {
        for (auto view : {ClassSettings::EndView::Nothing, ClassSettings::EndView::Mark,
                          ClassSettings::EndView::MarkAndCorrections}) {
            if (value == endText(view))
                settings.endView = view;
        }
    } else if (key == SeveralKey) {
        if (value == AllOrNothing)
            settings.severalMarking = ClassSettings::SeveralMarking::AllOrNothing;
        else if (value == Partial)
            settings.severalMarking = ClassSettings::SeveralMarking::Partial;
    } else if (key == DrawKey) {
        bool ok = false;
        const int count = value.toInt(&ok, 10);
        if (value == PerGroup) {
            settings.draw = ClassSettings::Draw::OnePerGroup;
            settings.drawCount = 0;
        } else if (ok && count >= 1 && count <= ClassSettingsFormat::maxDrawCount()) {
            settings.draw = ClassSettings::Draw::AmongAll;
            settings.drawCount = count;
        }
    } else if (key == DurationKey) {
        bool ok = false;
        const int minutes = value.toInt(&ok, 10);
        if (ok && minutes >= 0 && minutes <= ClassSettingsFormat::MaxDurationMinutes)
            settings.durationMinutes = minutes;
    } else if (key == CorrectionsKey) {
        for (auto when : {ClassSettings::CorrectionsShown::AfterCopy, ClassSettings::CorrectionsShown::AfterRun,
                          ClassSettings::CorrectionsShown::Never}) {
            if (value == correctionsText(when))
                settings.correctionsShown = when;
        }
    }
}

} // namespace

bool ClassSettings::operator==(const ClassSettings &other) const
{
    return shuffleQuestions == other.shuffleQuestions && shuffleAnswers == other.shuffleAnswers
        && markScale == other.markScale && roundingHundredths == other.roundingHundredths
        && penalty == other.penalty && endView == other.endView && correctionsShown == other.correctionsShown
        && severalMarking == other.severalMarking && draw == other.draw
        && (draw != Draw::AmongAll || drawCount == other.drawCount) && durationMinutes == other.durationMinutes;
}

bool ClassSettings::showsCorrections(bool released) const
{
    if (endView != EndView::MarkAndCorrections)
        return false;
    return correctionsShown == CorrectionsShown::AfterCopy
        || (correctionsShown == CorrectionsShown::AfterRun && released);
}

bool ClassSettings::correctionsLater(bool released) const
{
    return endView == EndView::MarkAndCorrections && correctionsShown == CorrectionsShown::AfterRun && !released;
}

namespace ClassSettingsFormat {

const QList<int> &roundingSteps()
{
    static const QList<int> steps{50, 25, 10, 100};
    return steps;
}

int maxDrawCount()
{
    return QcmFormat::MaxQuestions;
}

bool isSettingsLine(const QString &line)
{
    return line.startsWith(Keyword);
}

QString roundingText(int hundredths)
{
    QString text = QString::number(hundredths / 100);
    if (const int rest = hundredths % 100) {
        QString decimals = QString::number(rest).rightJustified(2, QLatin1Char('0'));
        while (decimals.endsWith(QLatin1Char('0')))
            decimals.chop(1);
        text += QLatin1Char(',') + decimals;
    }
    return text;
}

QStringList settingsLines(const QStringList &lines)
{
    QStringList found;
    const int end = headerEnd(lines);
    for (int i = 0; i < end; ++i) {
        if (isSettingsLine(lines.at(i)))
            found << lines.at(i);
    }
    return found;
}

ClassSettings read(const QStringList &lines)
{
    ClassSettings settings;
    for (const QString &line : settingsLines(lines)) {
        const QString pair = line.mid(Keyword.size()).trimmed();
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals > 0)
            apply(settings, pair.left(equals).trimmed(), pair.mid(equals + 1).trimmed());
    }
    return settings;
}

QStringList withSettings(const QStringList &lines, const ClassSettings &settings)
{
    const ClassSettings defaults;
    QStringList header;
    if (settings != defaults) {
        header << Keyword + QuestionsKey + QLatin1Char('=') + (settings.shuffleQuestions ? Shuffled : InOrder)
               << Keyword + AnswersKey + QLatin1Char('=') + (settings.shuffleAnswers ? Shuffled : InOrder)
               << Keyword + ScaleKey + QLatin1Char('=') + QString::number(settings.markScale)
               << Keyword + RoundingKey + QLatin1Char('=') + roundingText(settings.roundingHundredths)
               << Keyword + PenaltyKey + QLatin1Char('=') + penaltyText(settings.penalty)
               << Keyword + EndKey + QLatin1Char('=') + endText(settings.endView);
        // Only when it is not what every file said before this setting existed, so that those
        // files are written as they were.
        if (settings.correctionsShown != defaults.correctionsShown)
            header << Keyword + CorrectionsKey + QLatin1Char('=') + correctionsText(settings.correctionsShown);
        if (settings.severalMarking != defaults.severalMarking)
            header << Keyword + SeveralKey + QLatin1Char('=') + Partial;
        // Only when set, like the two above: a file without a draw is written as it always was.
        if (settings.draw == ClassSettings::Draw::AmongAll)
            header << Keyword + DrawKey + QLatin1Char('=') + QString::number(settings.drawCount);
        else if (settings.draw == ClassSettings::Draw::OnePerGroup)
            header << Keyword + DrawKey + QLatin1Char('=') + PerGroup;
        if (settings.durationMinutes != defaults.durationMinutes)
            header << Keyword + DurationKey + QLatin1Char('=') + QString::number(settings.durationMinutes);
    }
    QStringList result = header;
    const int end = headerEnd(lines);
    result.reserve(lines.size() + header.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (i < end && isSettingsLine(lines.at(i)))
            continue;
        result << lines.at(i);
    }
    return result;
}

} // namespace ClassSettingsFormat
