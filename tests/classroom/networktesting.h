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
