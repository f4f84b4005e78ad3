// Any bytes as a series of requests from a pupil's device to a session: each request a method
// (the first byte: 0 GET, 1 HEAD, 2 POST, 3 another), a path up to the first line break, and a
// body after it; requests are separated by NUL bytes, and "@T" stands for the token of a pupil
// who joined. Nothing may crash; every response is a status the handlers use, with a JSON
// object when it says JSON; and no response holds a correction or a right answer before that
// pupil has finished.
#include "classroom/network/networksession.h"
#include "classroom/network/sessionapi.h"
#include "document/qcmformat.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QStringList questionnaire()
{
    QStringList lines{QStringLiteral("PASSATION fin=corrections"), QStringLiteral("PASSATION questions=melange"),
                      QStringLiteral("PASSATION reponses=melange")};
    for (int n = 0; n < 3; ++n) {
        lines << QcmFormat::openingTag(n) << QStringLiteral("TITLE Question %1").arg(n + 1)
              << QStringLiteral("PICTURE image.png");
        for (int k = 1; k <= QcmFormat::AnswerCount; ++k)
            lines << QcmFormat::answerKeyword(k) + (k <= 3 ? QStringLiteral("Choix %1").arg(k) : QString());
        lines << QStringLiteral("REPONSE 2") << QStringLiteral("Énoncé") << QStringLiteral("Correction :")
              << QStringLiteral("Kq7Vw2 %1").arg(n) << QcmFormat::closingTag(n);
    }
    return lines;
}

struct NoKeeper : ClassRunKeeper
{
    QString keep(const ClassRunRecord &) override { return {}; }
};

const QSet<int> &knownStatuses()
{
    static const QSet<int> statuses{200, 202, 400, 401, 403, 404, 405, 409, 410, 413, 415, 421, 422, 429, 503};
    return statuses;
}

// Journals on a memory disk when there is one: syncs cost nothing there.
QString scratchFolder()
{
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/nelo-fuzz-XXXXXX") : QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    const QString scratch = scratchFolder();
    QTemporaryDir dir(scratch.isEmpty() ? QDir::tempPath() + QStringLiteral("/nelo-fuzz-XXXXXX") : scratch);
    NoKeeper keeper;
    NetworkSessionStart start;
    start.lines = questionnaire();
    start.code = QStringLiteral("123456");
    start.classPupils = {QStringLiteral("DURAND Ann")};
    auto session = NetworkSession::begin(dir.filePath(QStringLiteral("j.journal")), start, keeper,
                                         [] { return QDateTime::fromSecsSinceEpoch(1800000000); });
    SessionApi::Limits limits;
    limits.pupilBurst = limits.joinBurst = limits.wrongCodeBurst = 1e9;
    SessionApi api(*session, [](int) { return WebPicture(); }, limits);
    const QString token = session->join(QStringLiteral("Ann")).token;

    bool finished = false;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    qint64 now = 0;
    for (QByteArray piece : bytes.split('\0')) {
        if (piece.isEmpty())
            continue;
        ApiRequest request;
        request.method = ApiRequest::Method(uint8_t(piece[0]) % 4);
        piece = piece.mid(1).replace("@T", token.toLatin1());
        const qsizetype lineEnd = piece.indexOf('\n');
        const QString target = QString::fromUtf8(lineEnd < 0 ? piece : piece.left(lineEnd));
        const qsizetype question = target.indexOf(QLatin1Char('?'));
        request.path = question < 0 ? target : target.left(question);
        request.query = question < 0 ? QString() : target.mid(question + 1);
        request.body = lineEnd < 0 ? QByteArray() : piece.mid(lineEnd + 1);
        request.contentType = "application/json";
        request.peer = QStringLiteral("10.0.0.2");
        request.nowMs = now += 10;

        const ApiResponse response = api.handle(request);
        if (!knownStatuses().contains(response.status))
            abort();
        if (response.contentType.startsWith("application/json") && !response.body.isEmpty()
            && !QJsonDocument::fromJson(response.body).isObject())
            abort();
        if (request.path == QLatin1String("/api/finish") && response.status == 200)
            finished = true;
        if (!finished && (response.body.contains("Kq7Vw2") || response.body.contains("\"right\"")))
            abort();
    }
    return 0;
}
