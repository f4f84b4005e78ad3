#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The personal codes of a class for one questionnaire, as the session and the data folder keep
// them: never the codes themselves, only their salted hashes, one per pupil of the list. A
// pupil who types his code is known by it alone, whatever name another device asks for.
struct PersonalCodeList
{
    QByteArray salt;                 // hex
    QStringList pupils;              // the class list's names, in its order
    std::vector<QByteArray> hashes;  // hex, one per pupil

    bool inUse() const { return !salt.isEmpty() && !hashes.empty() && hashes.size() == size_t(pupils.size()); }
    // The pupil whose code `typed` is, or -1.
    int pupilOf(const QString &typed) const;
};

namespace PersonalCodes {

// Letters and digits a pupil cannot misread on paper: no I, L, O, 0 or 1.
inline constexpr char Alphabet[] = "ABCDEFGHJKMNPQRSTUVWXYZ23456789";
inline constexpr int Length = 6;

// A new code from the system's generator: "K7M2QX".
QString newCode();
// The code as typed, read as it was printed: capitals, no blanks or dashes ("k7m-2qx").
QString normalized(const QString &typed);
QByteArray newSalt();
// Slow on purpose (many rounds): a copy of the data folder does not give the codes away at a
// glance, while checking one typed code stays far below what a pupil notices.
QByteArray hashOf(const QByteArray &salt, const QString &code);

} // namespace PersonalCodes

// The codes of the classes, beside their lists in the program's data folder: one file per
// class and questionnaire, valid for every session of that questionnaire with that class until
// the teacher makes new ones. Never in the results file.
class PersonalCodeStore
{
    Q_DECLARE_TR_FUNCTIONS(PersonalCodeStore)

public:
    explicit PersonalCodeStore(QString folder);

    // The codes kept for the class and the questionnaire, if any were made.
    std::optional<PersonalCodeList> find(const QString &className, const QString &questionnairePath) const;
    // New codes for every pupil, all different: in clear for the sheet alone (kept nowhere),
    // and as the list of hashes to keep once the sheet is printed.
    struct Made
    {
        QStringList codes;
        PersonalCodeList list;
    };
    static Made make(const QStringList &pupils);
    // Keeps `list`, replacing any earlier codes (their slips no longer open a copy). Throws
    // AppError, in French, when the file cannot be written.
    void save(const QString &className, const QString &questionnairePath, const PersonalCodeList &list);
    // make() then save(); the codes in clear.
    QStringList renew(const QString &className, const QString &questionnairePath, const QStringList &pupils);
    void remove(const QString &className, const QString &questionnairePath);

    QString pathOf(const QString &className, const QString &questionnairePath) const;

private:
    QString m_folder;
};
