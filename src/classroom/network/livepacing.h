#pragma once

#include <QCoreApplication>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class NetworkSession;
struct NetworkPupil;

// Where a class taken live stands: which question the teacher has on the projector, and how far
// it is shown. Questions go in the questionnaire's own order, the teacher's; each is open for
// answers until the class's answers or the right answer are shown.
struct LivePace
{
    enum class Step { Waiting, Open, Answers, Right, Over };
    Step step = Step::Waiting;
    int question = -1;  // in the questionnaire's numbering; -1 before the first

    bool takesAnswersTo(int number) const { return step == Step::Open && number == question; }
    // Whether a page may show question `number`: the one on the projector, or one already past.
    bool reached(int number) const { return step != Step::Waiting && number >= 0 && number <= question; }
    bool answersShown() const { return step == Step::Answers || step == Step::Right; }
    bool rightShown() const { return step == Step::Right; }

    // "waiting", "open", "answers", "right", "over": the journal's and the page's words.
    static QString stepName(Step step);
    static Step stepOf(const QString &name);
    bool operator==(const LivePace &other) const { return step == other.step && question == other.question; }
};

// How the joined pupils answered the question on the projector: removed copies do not count.
struct LiveTally
{
    std::array<int, 5> counts{};  // by answer number 1 to 5 (several ticks count each)
    int answered = 0;
    int joined = 0;
};

// The teacher's steps through a live run, with no window: they check what the pace allows,
// and the session journals each one before it reaches any page. The projector, the teacher's
// window, the keys and the tests drive this one class.
class LivePacing : public QObject
{
    Q_OBJECT

public:
    explicit LivePacing(NetworkSession &session, QObject *parent = nullptr);

    NetworkSession &session() { return m_session; }
    const NetworkSession &session() const { return m_session; }
    const LivePace &pace() const;
    int questionCount() const;

    bool canGoNext() const;
    bool canShowAnswers() const;
    bool canShowRight() const;
    bool canReopen() const;

    // "Question suivante": the next question opens (the first one from the waiting page).
    void next();
    // "Montrer les réponses": the question closes and the class's answers show, as shares.
    void showAnswers();
    // "Montrer la bonne réponse": closed too, and every right answer marked.
    void showRight();
    // The question opens again after its answers were shown too early (never once the right
    // answer was shown: it would be given away).
    void reopen();
    // The one key of a presenter remote: the next of these steps the pace allows.
    void stepForward();
    // Keys of the projector and of the teacher's window (arrows, space, PgDn, PgUp); true when
    // the key is one of them.
    bool pressKey(int key);

    LiveTally tally() const;
    // How the joined pupils of `session` answered question `number` (-1: none counted).
    static LiveTally tallyOf(const NetworkSession &session, int number);
    // The joined pupils still without an answer to the open question, in the order they joined.
    QStringList notAnswered() const;

    struct Presence
    {
        QString name;
        bool joined = false;
    };
    // The class list in its own order, each name joined or not; then the names joined that the
    // list does not hold. Empty without a class list.
    std::vector<Presence> presence() const;

    // "Paris : 3 sur 5 (60 %) ; …": the chart in words, for the accessible text of the chart.
    QString tallyText() const;

Q_SIGNALS:
    // The pace or an answer changed: the windows show it again.
    void changed();

private:
    void moveTo(LivePace::Step step, int question);

    NetworkSession &m_session;
};
