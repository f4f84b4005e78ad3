#include "classroom/network/sessionapi.h"

#include "classroom/classreview.h"
#include "classroom/classdraw.h"
#include "classroom/network/livepage.h"
#include "classroom/network/networksession.h"
#include "platform/apperror.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QUrlQuery>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// The page runs only what it brought itself: no inline script, nothing from elsewhere, and no
// other site may frame it.
const QByteArray PagePolicy = "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; "
                              "connect-src 'self'; base-uri 'none'; form-action 'none'; frame-ancestors 'none'";
// A picture opened on its own runs nothing either (an SVG drawing could hold a script).
const QByteArray PicturePolicy = "default-src 'none'; style-src 'unsafe-inline'; sandbox";

const QByteArray JsonType = "application/json; charset=utf-8";

// The largest number a page's JavaScript counts exactly.
constexpr double LargestSequence = 9007199254740991.0;

ApiResponse json(int status, const QJsonObject &object)
{
    ApiResponse response;
    response.status = status;
    response.contentType = JsonType;
    response.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return response;
}

ApiResponse refusal(int status, const QString &message, QJsonObject more = {})
{
    more.insert(QStringLiteral("error"), message);
    return json(status, more);
}

// A whole number within [low, high], or nothing.
std::optional<qint64> wholeNumber(const QJsonValue &value, double low, double high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (!(number >= low && number <= high) || std::floor(number) != number)
        return std::nullopt;
    return qint64(number);
}

// The places ticked, as a page sends them: an array of distinct places 1 to 5 (at most every
// place a question may have), empty to take every answer back. Anything else is unreadable.
std::optional<AnswerSet> placesOf(const QJsonValue &value)
{
    if (!value.isArray())
        return std::nullopt;
    const QJsonArray places = value.toArray();
    if (places.size() > QcmFormat::AnswerCount)
        return std::nullopt;
    AnswerSet set = 0;
    for (const QJsonValue &item : places) {
        const auto place = wholeNumber(item, 1, QcmFormat::AnswerCount);
        if (!place || AnswerSets::contains(set, int(*place)))
            return std::nullopt;
        set |= AnswerSets::of(int(*place));
    }
    return set;
}

// Question numbers in paths: digits only, no sign, no leading zero, nothing around them.
int questionNumberOf(const QString &text, int count)
{
    if (text.isEmpty() || text.size() > 6 || text.startsWith(QLatin1Char('0')))
        return -1;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    const int number = text.toInt();
    return number >= 1 && number <= count ? number : -1;
}

} // namespace

SessionApi::SessionApi(NetworkSession &session, Pictures pictures, Limits limits)
    : m_session(session), m_pictures(std::move(pictures)), m_pupilRate(limits.pupilBurst, limits.pupilPerSecond),
      m_joinRate(limits.joinBurst, limits.joinPerSecond),
      m_wrongCodeRate(limits.wrongCodeBurst, limits.wrongCodePerSecond)
{
}

SessionApi::SessionApi(NetworkSession &session, Pictures pictures)
    : SessionApi(session, std::move(pictures), Limits())
{
}

QByteArray SessionApi::asset(const QString &name)
{
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qint64 SessionApi::journalSyncedLength() const
{
    return m_session.journalSyncedLength();
}

void SessionApi::requestJournalSync()
{
    m_session.requestJournalSync();
}

ApiResponse SessionApi::handle(const ApiRequest &request)
{
    ApiResponse response;
    const qint64 journalBefore = m_session.journalLength();
    try {
        response = route(request);
        if (m_session.journalLength() != journalBefore)
            response.durableAt = std::max(response.durableAt, m_session.journalLength());
    } catch (const AppError &error) {
        // The journal could not take the line: nothing was acknowledged, the page sends it again.
        response = refusal(503, tr("L'ordinateur de l'enseignant n'a pas pu l'enregistrer ; nouvel essai dans un instant."));
        response.headers.emplace_back("Retry-After", "2");
        reportFailure(error.message());
    }
    response.headers.emplace_back("X-Content-Type-Options", "nosniff");
    response.headers.emplace_back("Referrer-Policy", "no-referrer");
    response.headers.emplace_back("X-Frame-Options", "DENY");
    const bool isPicture = request.path.startsWith(QLatin1String("/picture/")) && response.status == 200;
    response.headers.emplace_back("Content-Security-Policy", isPicture ? PicturePolicy : PagePolicy);
    if (!isPicture)
        response.headers.emplace_back("Cache-Control", response.contentType == JsonType ? "no-store" : "no-cache");
    if (request.method == ApiRequest::Method::Head)
        response.body.clear();
    return response;
}

ApiResponse SessionApi::route(const ApiRequest &request)
{
    // Only pages of this address reach the session, and only through the page's own requests:
    // another site open in a pupil's or the teacher's browser can neither read it (its Host is
    // its own name) nor post to it (its Origin, or a body type a form cannot send).
    if (!m_host.isEmpty() && request.host.compare(m_host, Qt::CaseInsensitive) != 0)
        return refusal(421, tr("Adresse inconnue."));
    if (!request.origin.isEmpty() && !m_host.isEmpty()
        && request.origin.compare(QStringLiteral("http://") + m_host, Qt::CaseInsensitive) != 0)
        return refusal(403, tr("Demande refusée."));
    const QString &path = request.path;
    if (request.method == ApiRequest::Method::Get || request.method == ApiRequest::Method::Head) {
        if (path == QLatin1String("/") || path == QLatin1String("/index.html"))
            return page(QStringLiteral("index.html"), "text/html; charset=utf-8");
        if (path == QLatin1String("/page.css"))
            return page(QStringLiteral("page.css"), "text/css; charset=utf-8");
        if (path == QLatin1String("/page.js"))
            return page(QStringLiteral("page.js"), "text/javascript; charset=utf-8");
        if (path == QLatin1String("/timing.js"))
            return page(QStringLiteral("timing.js"), "text/javascript; charset=utf-8");
        if (path.startsWith(QLatin1String("/picture/"))) {
            const int number = questionNumberOf(path.mid(9), m_session.questionnaire().size());
            if (number < 0 || (m_session.live() && !m_session.pace().reached(number - 1)))
                return refusal(404, tr("Image inconnue."));
            return picture(request, number - 1);
        }
        return refusal(404, tr("Page inconnue."));
    }
    if (request.method != ApiRequest::Method::Post || !path.startsWith(QLatin1String("/api/"))) {
        ApiResponse response = refusal(405, tr("Demande refusée."));
        response.headers.emplace_back("Allow", "GET, POST");
        return response;
    }
    if (request.body.size() > MaxBodyBytes)
        return refusal(413, tr("Demande trop longue."));
    if (!request.contentType.startsWith("application/json"))
        return refusal(415, tr("Demande refusée."));
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return refusal(400, tr("Demande illisible."));
    const QJsonObject body = document.object();
    const QString action = path.mid(5);

    if (action == QLatin1String("session"))
        return sessionInfo(body, request);
    if (action == QLatin1String("join"))
        return join(body, request);

    const QJsonValue token = body.value(QStringLiteral("token"));
    const NetworkSession::TokenStatus status =
        token.isString() ? m_session.statusOf(token.toString()) : NetworkSession::TokenStatus();
    if (status.kind != NetworkSession::TokenKind::Pupil && status.kind != NetworkSession::TokenKind::Unknown)
        return notThePupilsAnyMore(status, request, action, token.toString());
    NetworkPupil *pupil = status.kind == NetworkSession::TokenKind::Pupil ? m_session.pupilFor(token.toString()) : nullptr;
    if (!pupil) {
        // Guessing tokens counts as guessing codes.
        if (!m_wrongCodeRate.allow(request.peer, request.nowMs))
            return refusal(429, tr("Trop d'essais : patientez un instant."));
        return refusal(401, tr("Cette page ne fait pas partie de la passation."), {{QStringLiteral("forget"), true}});
    }
    // The time is the teacher's: a copy whose time ran out ends before the request is read,
    // whatever the page believed.
    m_session.expireIfDue(*pupil);
    ApiResponse response;
    if (!m_pupilRate.allow(QString::number(pupil->index), request.nowMs)) {
        response = refusal(429, tr("Trop de demandes : patientez un instant."));
        response.headers.emplace_back("Retry-After", "1");
    } else if (action == QLatin1String("state")) {
        response = state(*pupil);
    } else if (action == QLatin1String("question")) {
        response = question(*pupil, body);
    } else if (action == QLatin1String("answer")) {
        response = answer(*pupil, body);
    } else if (action == QLatin1String("finish")) {
        response = finish(*pupil);
    } else if (action == QLatin1String("live") && m_session.live()) {
        response = json(200, LivePage::viewOf(m_session, *pupil));
        // Nothing of a step goes to a page before the step is on the disk.
        response.durableAt = m_session.paceJournaledTo();
    } else {
        response = refusal(404, tr("Demande inconnue."));
    }
    // An answer sent again, or a second finish, writes nothing, yet it acknowledges the line an
    // earlier request wrote, perhaps on another connection and not yet on the disk: nothing a
    // page hears of its run goes before the run's own lines are there.
    response.durableAt = std::max(response.durableAt, pupil->journaledTo);
    response.pupil = pupil->index;
    return response;
}

ApiResponse SessionApi::notThePupilsAnyMore(const NetworkSession::TokenStatus &status, const ApiRequest &request,
                                            const QString &action, const QString &token)
{
    using Kind = NetworkSession::TokenKind;
    if (!m_pupilRate.allow(QStringLiteral("d") + QString::number(status.index), request.nowMs)) {
        ApiResponse response = refusal(429, tr("Trop de demandes : patientez un instant."));
        response.headers.emplace_back("Retry-After", "1");
        return response;
    }
    switch (status.kind) {
    case Kind::Waiting:
        if (action == QLatin1String("withdraw")) {
            m_session.withdrawTakeOver(token);
            return json(200, {{QStringLiteral("ok"), true}});
        }
        // Nothing of the copy before the teacher gives it: neither its answers nor its place.
        return json(202, {{QStringLiteral("waiting"), true}, {QStringLiteral("name"), m_session.pupil(status.index).name}});
    case Kind::Refused:
        return refusal(403, tr("L'enseignant n'a pas donné cette copie à cet appareil. Choisissez votre nom à nouveau "
                               "ou demandez-lui."),
                       {{QStringLiteral("refused"), true}, {QStringLiteral("forget"), true}});
    case Kind::Moved:
        return refusal(401, tr("Votre copie continue sur un autre appareil, avec toutes les réponses déjà données."),
                       {{QStringLiteral("moved"), true}, {QStringLiteral("forget"), true}});
    default:
        return refusal(401, tr("L'enseignant a retiré cette copie de la passation."),
                       {{QStringLiteral("removed"), true}, {QStringLiteral("forget"), true}});
    }
}

ApiResponse SessionApi::page(const QString &name, const QByteArray &type) const
{
    ApiResponse response;
    response.contentType = type;
    response.body = asset(name);
    if (response.body.isEmpty())
        return refusal(404, tr("Page inconnue."));
    return response;
}

ApiResponse SessionApi::picture(const ApiRequest &request, int question)
{
    NetworkPupil *pupil = m_session.pupilFor(QUrlQuery(request.query).queryItemValue(QStringLiteral("t")));
    if (!pupil) {
        if (!m_wrongCodeRate.allow(request.peer, request.nowMs))
            return refusal(429, tr("Trop d'essais : patientez un instant."));
        return refusal(401, tr("Cette page ne fait pas partie de la passation."));
    }
    if (!m_pupilRate.allow(QString::number(pupil->index), request.nowMs)) {
        ApiResponse response = refusal(429, tr("Trop de demandes : patientez un instant."));
        response.pupil = pupil->index;
        return response;
    }
    const WebPicture found = m_pictures ? m_pictures(question) : WebPicture();
    if (found.state == WebPicture::State::Pending) {
        ApiResponse response = refusal(503, tr("Image en préparation."));
        response.headers.emplace_back("Retry-After", "1");
        response.pupil = pupil->index;
        return response;
    }
    if (found.state != WebPicture::State::Ready)
        return refusal(404, tr("Image inconnue."));
    ApiResponse response;
    response.contentType = found.mimeType;
    response.body = found.bytes;
    response.headers.emplace_back("Cache-Control", "private, max-age=3600");
    response.pupil = pupil->index;
    return response;
}

bool SessionApi::codeAccepted(const QJsonObject &body, const ApiRequest &request, ApiResponse *refused)
{
    if (m_session.codeMatches(body.value(QStringLiteral("code")).toString()))
        return true;
    if (!m_wrongCodeRate.allow(request.peer, request.nowMs))
        *refused = refusal(429, tr("Trop d'essais : patientez une minute."));
    else
        *refused = refusal(403, tr("Ce code ne correspond pas à la passation. Vérifiez-le au tableau."));
    return false;
}

ApiResponse SessionApi::sessionInfo(const QJsonObject &body, const ApiRequest &request)
{
    ApiResponse refused;
    if (!codeAccepted(body, request, &refused))
        return refused;
    if (m_session.ended())
        return refusal(410, tr("La passation est terminée."), {{QStringLiteral("ended"), true}});
    if (m_session.closed())
        return closedRefusal();
    // Enough to choose a name, and nothing of anyone's run: who joined, who finished, how far.
    // With personal codes, not even the names: the code alone says who the pupil is.
    QJsonObject info{{QStringLiteral("questions"), ClassDraw::heldCount(m_session.questionnaire(), m_session.settings())},
                     {QStringLiteral("class"), m_session.start().className}};
    if (m_session.usesPersonalCodes())
        info.insert(QStringLiteral("codes"), true);
    else
        info.insert(QStringLiteral("names"), QJsonArray::fromStringList(m_session.start().classPupils));
    if (m_session.live())
        info.insert(QStringLiteral("live"), true);
    return json(200, info);
}

ApiResponse SessionApi::join(const QJsonObject &body, const ApiRequest &request)
{
    ApiResponse refused;
    if (!codeAccepted(body, request, &refused))
        return refused;
    if (!m_joinRate.allow(request.peer, request.nowMs))
        return refusal(429, tr("Trop d'inscriptions depuis cet appareil : patientez un instant."));
    const QJsonValue name = body.value(QStringLiteral("name"));
    const QJsonValue personal = body.value(QStringLiteral("personal"));
    const bool byCode = m_session.usesPersonalCodes();
    const NetworkSession::Joined joined =
        byCode ? m_session.joinByCode(personal.isString() ? personal.toString().left(32) : QString())
               : m_session.join(name.isString() ? name.toString() : QString());
    switch (joined.refusal) {
    case NetworkSession::Refusal::None:
        break;
    case NetworkSession::Refusal::BadCode:
        // A wrong personal code counts as a wrong session code: guessing one is as slow.
        if (personal.isString() && !personal.toString().trimmed().isEmpty()
            && !m_wrongCodeRate.allow(request.peer, request.nowMs))
            return refusal(429, tr("Trop d'essais : patientez une minute."));
        return refusal(422, personal.isString() && !personal.toString().trimmed().isEmpty()
                                ? tr("Ce code personnel n'est pas reconnu. Vérifiez-le sur votre papier.")
                                : tr("Tapez le code personnel que l'enseignant vous a donné."),
                       {{QStringLiteral("personal"), true}});
    case NetworkSession::Refusal::Busy:
        return refusal(429, tr("Trop d'appareils attendent l'enseignant : patientez un instant."));
    case NetworkSession::Refusal::Ended:
        return refusal(410, tr("La passation est terminée."), {{QStringLiteral("ended"), true}});
    case NetworkSession::Refusal::Full:
        return refusal(409, tr("La passation a déjà tous ses élèves."));
    case NetworkSession::Refusal::Closed:
        return closedRefusal();
    default:
        return refusal(422, tr("Indiquez votre nom (%1 caractères au plus).").arg(NetworkSession::MaxNameLength));
    }
    if (joined.waiting) {
        // The name has joined on another device: nothing of that copy until the teacher says so.
        return json(202, {{QStringLiteral("waiting"), true},
                          {QStringLiteral("token"), joined.token},
                          {QStringLiteral("name"), m_session.pupil(joined.index).name}});
    }
    QJsonObject state = stateOf(m_session.pupil(joined.index));
    state.insert(QStringLiteral("token"), joined.token);
    return json(200, state);
}

QJsonObject SessionApi::stateOf(const NetworkPupil &pupil) const
{
    QJsonArray answered;
    for (int position = 0; position < pupil.run.size(); ++position)
        answered.append(pupil.run.chosenAt(position) != 0);
    QJsonObject state{{QStringLiteral("name"), pupil.name},
                      {QStringLiteral("count"), pupil.run.size()},
                      {QStringLiteral("position"), pupil.lastPosition},
                      {QStringLiteral("answered"), answered},
                      {QStringLiteral("finished"), pupil.finishedAt.isValid()},
                      {QStringLiteral("ended"), m_session.ended()}};
    if (m_session.live())
        state.insert(QStringLiteral("live"), true);
    if (pupil.finishedAt.isValid())
        state.insert(QStringLiteral("result"), resultOf(pupil));
    addTimeOf(state, pupil);
    return state;
}

void SessionApi::addTimeOf(QJsonObject &object, const NetworkPupil &pupil) const
{
    if (pupil.timedOut)
        object.insert(QStringLiteral("timeUp"), true);
    const int left = m_session.remainingSeconds(pupil);
    if (left >= 0)
        object.insert(QStringLiteral("timeLeft"), left);
}

ApiResponse SessionApi::closedRefusal() const
{
    return refusal(410, tr("La passation est fermée depuis %1.").arg(m_session.closingTime().toString(QStringLiteral("HH:mm"))),
                   {{QStringLiteral("ended"), true}, {QStringLiteral("closed"), true}});
}

ApiResponse SessionApi::state(NetworkPupil &pupil) const
{
    return json(200, stateOf(pupil));
}

ApiResponse SessionApi::question(NetworkPupil &pupil, const QJsonObject &body)
{
    if (pupil.timedOut)
        return refusal(409, tr("Le temps est écoulé : vos réponses sont enregistrées."),
                       {{QStringLiteral("finished"), true}, {QStringLiteral("timeUp"), true}});
    if (pupil.finishedAt.isValid())
        return refusal(409, tr("Vous avez terminé le questionnaire."), {{QStringLiteral("finished"), true}});
    if (m_session.ended())
        return refusal(410, tr("La passation est terminée."), {{QStringLiteral("ended"), true}});
    const auto position = wholeNumber(body.value(QStringLiteral("position")), 0, pupil.run.size() - 1);
    if (!position)
        return refusal(404, tr("Cette question n'existe pas."));
    const int at = int(*position);
    // Live, a page reads the question on the projector and those before it, never one ahead.
    if (m_session.live() && !m_session.pace().reached(pupil.run.version().questionAt(at)))
        return refusal(403, tr("L'enseignant n'a pas encore montré cette question."));
    m_session.notePosition(pupil, at);
    const ClassQuestion &shown = pupil.run.questionAt(at);
    QJsonArray ticked;
    const AnswerSet set = pupil.run.answerSets()[size_t(shown.number)];
    for (int place = 1; place <= int(pupil.run.version().shownAnswers(shown.number).size()); ++place) {
        if (AnswerSets::contains(set, pupil.run.version().answerNumber(shown.number, place)))
            ticked.append(place);
    }
    // What the pupil sees, and nothing more: neither the right answers nor the correction, and of
    // a question with several right answers only that it has several, which the page says.
    QJsonObject shownQuestion{{QStringLiteral("position"), at},
                      {QStringLiteral("several"), shown.severalRight()},
                      {QStringLiteral("ticked"), ticked},
                      {QStringLiteral("count"), pupil.run.size()},
                      {QStringLiteral("title"), shown.title},
                      {QStringLiteral("statement"), shown.statement.join(QLatin1Char('\n'))},
                      {QStringLiteral("answers"), QJsonArray::fromStringList(pupil.run.shownAnswers(at))},
                      {QStringLiteral("chosen"), pupil.run.chosenAt(at)},
                      {QStringLiteral("picture"), shown.picture.trimmed().isEmpty() ? QJsonValue() : QJsonValue(shown.number + 1)}};
    addTimeOf(shownQuestion, pupil);
    return json(200, shownQuestion);
}

ApiResponse SessionApi::answer(NetworkPupil &pupil, const QJsonObject &body)
{
    const auto position = wholeNumber(body.value(QStringLiteral("position")), 0, pupil.run.size() - 1);
    const auto sequence = wholeNumber(body.value(QStringLiteral("seq")), 1, LargestSequence);
    // One answer as "choice" (0 takes it back), or every answer ticked as "choices", never both.
    const QJsonValue one = body.value(QStringLiteral("choice"));
    const QJsonValue several = body.value(QStringLiteral("choices"));
    std::optional<AnswerSet> places;
    if (one.isUndefined()) {
        places = placesOf(several);
    } else if (several.isUndefined()) {
        if (const auto place = wholeNumber(one, 0, QcmFormat::AnswerCount))
            places = AnswerSets::of(int(*place));
    }
    if (!position || !places || !sequence)
        return refusal(400, tr("Réponse illisible."));
    switch (m_session.answerPlaces(pupil, int(*position), *places, *sequence)) {
    case NetworkSession::Refusal::None: {
        QJsonObject taken{{QStringLiteral("ok"), true}, {QStringLiteral("answered"), pupil.run.answeredCount()}};
        addTimeOf(taken, pupil);
        return json(200, taken);
    }
    case NetworkSession::Refusal::TimeUp:
        return refusal(409, tr("Le temps est écoulé : cette réponse n'a pas été prise ; les précédentes sont enregistrées."),
                       {{QStringLiteral("finished"), true}, {QStringLiteral("timeUp"), true}});
    case NetworkSession::Refusal::Ended:
        return refusal(410, tr("La passation est terminée : cette réponse n'a pas été prise."), {{QStringLiteral("ended"), true}});
    case NetworkSession::Refusal::Finished:
        return refusal(409, tr("Vous avez terminé le questionnaire."), {{QStringLiteral("finished"), true}});
    case NetworkSession::Refusal::OneAnswerOnly:
        return refusal(422, tr("Cette question n'a qu'une bonne réponse : cochez-en une seule."));
    case NetworkSession::Refusal::QuestionClosed:
        return refusal(409, tr("L'enseignant a fermé cette question : cette réponse n'a pas été prise."),
                       {{QStringLiteral("closed"), true}});
    default:
        return refusal(404, tr("Cette réponse n'existe pas."));
    }
}

ApiResponse SessionApi::finish(NetworkPupil &pupil)
{
    // Live, the teacher's "Terminer" ends every run: a pupil ending his own would read the
    // corrections of questions not yet shown.
    if (m_session.live() && !m_session.ended())
        return refusal(409, tr("C'est l'enseignant qui termine la passation."), {{QStringLiteral("live"), true}});
    if (m_session.finish(pupil) == NetworkSession::Refusal::Ended)
        return refusal(410, tr("La passation est terminée."), {{QStringLiteral("ended"), true}});
    return json(200, stateOf(pupil));
}

QJsonObject SessionApi::resultOf(const NetworkPupil &pupil) const
{
    const ClassSettings::EndView view = m_session.settings().endView;
    const ClassScore score = pupil.run.score();
    QJsonObject result;
    if (view != ClassSettings::EndView::Nothing && score.markedCount > 0) {
        result.insert(QStringLiteral("mark"), score.markText());
        result.insert(QStringLiteral("right"), score.rightCount);
        result.insert(QStringLiteral("marked"), score.markedCount);
        result.insert(QStringLiteral("notMarked"), score.askedCount() - score.markedCount);
    }
    // Neither the right answers nor the corrections before the settings allow them, whoever asks
    // again for the end page (a classmate reloading a phone left on it).
    const ClassSettings &settings = m_session.settings();
    const bool released = m_session.correctionsReleased();
    if (!settings.showsCorrections(released)) {
        if (settings.correctionsLater(released))
            result.insert(QStringLiteral("correctionsLater"), true);
        return result;
    }
    // "given" and "right" are the first of each list, what a page that knows only one answer a
    // question reads.
    QJsonArray corrections;
    for (const QuestionReview &review : ClassReview::of(pupil.run)) {
        auto first = [](const QStringList &texts) { return texts.isEmpty() ? QJsonValue() : QJsonValue(texts.first()); };
        QJsonArray feedback;
        for (const QuestionReview::Feedback &item : review.feedback)
            feedback.append(QJsonObject{{QStringLiteral("answer"), item.answer}, {QStringLiteral("text"), item.text}});
        corrections.append(QJsonObject{{QStringLiteral("title"), review.title},
                                       {QStringLiteral("several"), review.several},
                                       {QStringLiteral("given"), first(review.given)},
                                       {QStringLiteral("givenAll"), QJsonArray::fromStringList(review.given)},
                                       {QStringLiteral("right"), first(review.right)},
                                       {QStringLiteral("rightAll"), QJsonArray::fromStringList(review.right)},
                                       {QStringLiteral("correct"), review.outcome == ClassScore::Outcome::Right},
                                       {QStringLiteral("feedback"), feedback},
                                       {QStringLiteral("correction"), review.correction.join(QLatin1Char('\n'))}});
    }
    result.insert(QStringLiteral("corrections"), corrections);
    return result;
}
