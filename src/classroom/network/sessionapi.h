#pragma once

#include "classroom/network/networksession.h"
#include "classroom/network/ratelimiter.h"
#include "classroom/network/sessionnetworking.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class NetworkSession;
struct NetworkPupil;

// A question's picture, ready for a browser: made from the questionnaire's picture once, away
// from the teacher's event loop.
struct WebPicture
{
    enum class State { None, Pending, Ready };
    State state = State::None;
    QByteArray bytes;
    QByteArray mimeType;
};

// Everything the server answers, as functions of a request: the pupil's page and its assets,
// the questions' pictures by number, and the JSON API through which a page joins, reads one
// question at a time, answers and finishes. No answer of the questionnaire's and no correction
// leaves through here before the pupil has finished, nor before the settings allow it (at the
// end of the run, or never).
//
// Routes (bodies are JSON objects of at most MaxBodyBytes; errors carry a French "error"):
//   GET  /  /page.css  /page.js      the page (and /timing.js, its time left)
//   GET  /picture/<n>?t=<token>      question n's picture (1-based)
//   POST /api/session {code}         the session: number of questions, the class list's names
//                                    (none with personal codes: "codes": true instead)
//   POST /api/join {code, name}      a new run: its token and its state; 202 {waiting, token}
//   POST /api/join {code, personal}  when the name has joined, until the teacher decides
//   POST /api/state {token}          where the run stands (and its result once finished)
//   POST /api/question {token, position}
//   POST /api/answer {token, position, choice, seq}     one answer (its place, 0 for none)
//   POST /api/answer {token, position, choices, seq}    every place ticked, as an array
//   POST /api/finish {token}         the run ends: the result the settings allow
//   POST /api/withdraw {token}       a device waiting for the teacher gives up
//   POST /api/live {token}           a run taken live: the teacher's step and the question shown
//                                    (LivePage); questions, pictures and answers follow the pace
class SessionApi : public SessionRequests
{
    Q_DECLARE_TR_FUNCTIONS(SessionApi)

public:
    static constexpr int MaxBodyBytes = 4096;

    struct Limits
    {
        // A pupil's page: a quick burst of clicks, then a few requests a second.
        double pupilBurst = 60;
        double pupilPerSecond = 10;
        // Joining from one device: a class behind one address still joins in a minute.
        double joinBurst = 40;
        double joinPerSecond = 1;
        // Wrong codes from one device: guessing a code of six digits takes years.
        double wrongCodeBurst = 10;
        double wrongCodePerSecond = 0.2;
    };

    using Pictures = std::function<WebPicture(int question)>;

    SessionApi(NetworkSession &session, Pictures pictures, Limits limits);
    SessionApi(NetworkSession &session, Pictures pictures);

    ApiResponse handle(const ApiRequest &request) override;
    NetworkSession &session() { return m_session; }

    // "192.168.1.20:8080": a request naming another host (a page of another site that
    // renamed its server to this address) is refused. Empty: any host.
    void setHost(const QString &hostAndPort) override { m_host = hostAndPort; }
    qint64 journalSyncedLength() const override;
    void requestJournalSync() override;

    // Told, in French, why an answer could not be written (the teacher should know).
    void setFailureListener(std::function<void(const QString &)> listener) { m_failures = std::move(listener); }
    void reportFailure(const QString &reason) override
    {
        if (m_failures)
            m_failures(reason);
    }

    // The page's files, from the program's resources.
    static QByteArray asset(const QString &name);

private:
    ApiResponse route(const ApiRequest &request);
    ApiResponse page(const QString &name, const QByteArray &type) const;
    ApiResponse picture(const ApiRequest &request, int question);
    ApiResponse sessionInfo(const QJsonObject &body, const ApiRequest &request);
    ApiResponse join(const QJsonObject &body, const ApiRequest &request);
    ApiResponse notThePupilsAnyMore(const NetworkSession::TokenStatus &status, const ApiRequest &request,
                                    const QString &action, const QString &token);
    ApiResponse state(NetworkPupil &pupil) const;
    ApiResponse question(NetworkPupil &pupil, const QJsonObject &body);
    ApiResponse answer(NetworkPupil &pupil, const QJsonObject &body);
    ApiResponse finish(NetworkPupil &pupil);

    bool codeAccepted(const QJsonObject &body, const ApiRequest &request, ApiResponse *refusal);
    QJsonObject stateOf(const NetworkPupil &pupil) const;
    QJsonObject resultOf(const NetworkPupil &pupil) const;
    // The copy's time as the teacher's computer counts it: "timeLeft" (seconds) while it runs,
    // "timeUp" once it ran out.
    void addTimeOf(QJsonObject &object, const NetworkPupil &pupil) const;
    ApiResponse closedRefusal() const;

    NetworkSession &m_session;
    Pictures m_pictures;
    RateLimiter m_pupilRate;
    RateLimiter m_joinRate;
    RateLimiter m_wrongCodeRate;
    std::function<void(const QString &)> m_failures;
    QString m_host;
};
