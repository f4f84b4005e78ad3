#pragma once

// What the tests of the session on the network share: a small questionnaire and a keeper that
// keeps runs in a list.

#include "classroom/classrunrecord.h"
#include "document/qcmformat.h"
#include "platform/apperror.h"

#include <QDateTime>
#include <QStringList>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <vector>

namespace NetworkTesting {

// `count` questions "Question n", four answers "Réponse n.k", the right one 1 + n % 4, the
// last question without a right answer; a statement and a correction in every free text; a
// picture for the first question only.
inline QStringList questionnaire(int count, bool shuffle = false)
{
    QStringList lines;
    if (shuffle)
        lines << QStringLiteral("PASSATION questions=melange") << QStringLiteral("PASSATION reponses=melange");
    lines << QStringLiteral("PASSATION fin=corrections");
    for (int n = 0; n < count; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question %1").arg(n + 1)
              << (n == 0 ? QStringLiteral("PICTURE image1.gif") : QStringLiteral("PICTURE "));
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 4 ? QStringLiteral("Réponse %1.%2").arg(n + 1).arg(k) : QString());
        lines << QcmFormat::RightAnswerKeyword + (n + 1 < count ? QString::number(1 + n % 4) : QStringLiteral("0"))
              << QStringLiteral("Énoncé %1").arg(n + 1) << QStringLiteral("Correction :")
              << QStringLiteral("Secret %1").arg(n + 1) << QcmFormat::closingTag(n);
    }
    return lines;
}

// Three questions, answers in the file's order: question 1 has the right answers 2 and 4 and a
// feedback on answers 3 and 4, question 2 one right answer (3) and a feedback on answer 1,
// question 3 the right answers 1, 2 and 3 among four.
inline QStringList severalQuestionnaire(const QString &correctionsShown = QStringLiteral("apres-copie"))
{
    QStringList lines{QStringLiteral("PASSATION fin=corrections"), QStringLiteral("PASSATION corrections=") + correctionsShown};
    const QList<QStringList> choices{
        {QStringLiteral("REPONSE 2"), QStringLiteral("Correction :"), QStringLiteral("Bonnes réponses : 2, 4"),
         QStringLiteral("Commentaire de la réponse 3 : Indice trois."),
         QStringLiteral("Commentaire de la réponse 4 : Indice quatre."), QStringLiteral("Secret 1")},
        {QStringLiteral("REPONSE 3"), QStringLiteral("Correction :"),
         QStringLiteral("Commentaire de la réponse 1 : Indice un."), QStringLiteral("Secret 2")},
        {QStringLiteral("REPONSE 1"), QStringLiteral("Correction :"), QStringLiteral("Bonnes réponses : 1, 2, 3"),
         QStringLiteral("Secret 3")}};
    for (int n = 0; n < int(choices.size()); ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question %1").arg(n + 1) << QStringLiteral("PICTURE ");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 4 ? QStringLiteral("Réponse %1.%2").arg(n + 1).arg(k) : QString());
        lines << choices[n] << QcmFormat::closingTag(n);
    }
    return lines;
}

struct ListKeeper : ClassRunKeeper
{
    std::vector<ClassRunRecord> kept;
    bool refuse = false;
    QString keep(const ClassRunRecord &record) override
    {
        if (refuse)
            throw AppError(QStringLiteral("Le fichier des résultats est ouvert ailleurs."));
        kept.push_back(record);
        return QStringLiteral("quiz-resultats.csv");
    }
};

// A clock that moves only when told.
struct StepClock
{
    QDateTime now = QDateTime(QDate(2026, 12, 8), QTime(10, 0));
    std::function<QDateTime()> function()
    {
        return [this] { return now; };
    }
};

// Writes to files beyond `bytes` fail, as on a full disk, until the limit is lifted.
struct FileSizeLimit
{
    rlimit before{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &before);
        rlimit limit = before;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &before); }
};

} // namespace NetworkTesting
