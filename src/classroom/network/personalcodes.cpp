#include "classroom/network/personalcodes.h"

#include "platform/apperror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSaveFile>

namespace {

// A few milliseconds per code checked (about 6 ms measured here): a pupil joining is checked on
// the teacher's event loop, which must stay free for the class's answers.
constexpr int HashRounds = 4000;
constexpr int SaltBytes = 16;
constexpr int FileVersion = 1;

} // namespace

namespace PersonalCodes {

QString newCode()
{
    constexpr int letters = int(sizeof Alphabet) - 1;
    QString code;
    for (int i = 0; i < Length; ++i)
        code += QLatin1Char(Alphabet[QRandomGenerator::system()->bounded(letters)]);
    return code;
}

QString normalized(const QString &typed)
{
    QString code;
    for (const QChar c : typed) {
        if (c.isLetterOrNumber())
            code += c.toUpper();
    }
    return code;
}

QByteArray newSalt()
{
    QByteArray salt(SaltBytes, Qt::Uninitialized);
    for (char &byte : salt)
        byte = char(QRandomGenerator::system()->bounded(256));
    return salt.toHex();
}

QByteArray hashOf(const QByteArray &salt, const QString &code)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray digest = salt + normalized(code).toUtf8();
    for (int round = 0; round < HashRounds; ++round) {
        hash.reset();
        hash.addData(digest);
        hash.addData(salt);
        digest = hash.result();
    }
    return digest.toHex();
}

} // namespace PersonalCodes

int PersonalCodeList::pupilOf(const QString &typed) const
{
    const QString code = PersonalCodes::normalized(typed);
    if (!inUse() || code.size() != PersonalCodes::Length)
        return -1;
    const QByteArray hash = PersonalCodes::hashOf(salt, code);
    for (size_t i = 0; i < hashes.size(); ++i) {
        if (hashes[i] == hash)
            return int(i);
    }
    return -1;
}

PersonalCodeStore::PersonalCodeStore(QString folder) : m_folder(std::move(folder)) {}

QString PersonalCodeStore::pathOf(const QString &className, const QString &questionnairePath) const
{
    // Names of classes and questionnaires may hold any character: the file is named by a hash.
    const QByteArray key = QCryptographicHash::hash((className + QLatin1Char('\n') + QDir::cleanPath(questionnairePath)).toUtf8(),
                                                    QCryptographicHash::Sha256)
                               .toHex()
                               .left(24);
    return QDir(m_folder).filePath(QStringLiteral("codes-%1.json").arg(QString::fromLatin1(key)));
}

std::optional<PersonalCodeList> PersonalCodeStore::find(const QString &className, const QString &questionnairePath) const
{
    if (className.isEmpty())
        return std::nullopt;
    QFile file(pathOf(className, questionnairePath));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonObject object = QJsonDocument::fromJson(file.read(1 << 20)).object();
    if (object.value(QStringLiteral("v")).toInt() != FileVersion
        || object.value(QStringLiteral("class")).toString() != className)
        return std::nullopt;
    PersonalCodeList list;
    list.salt = object.value(QStringLiteral("salt")).toString().toLatin1();
    for (const QJsonValue &pupil : object.value(QStringLiteral("pupils")).toArray()) {
        list.pupils << pupil.toObject().value(QStringLiteral("name")).toString();
        list.hashes.push_back(pupil.toObject().value(QStringLiteral("h")).toString().toLatin1());
    }
    if (!list.inUse())
        return std::nullopt;
    return list;
}

PersonalCodeStore::Made PersonalCodeStore::make(const QStringList &pupils)
{
    Made made;
    made.list.salt = PersonalCodes::newSalt();
    made.list.pupils = pupils;
    for (int i = 0; i < pupils.size(); ++i) {
        QString code;
        do {
            code = PersonalCodes::newCode();
        } while (made.codes.contains(code));
        made.codes << code;
        made.list.hashes.push_back(PersonalCodes::hashOf(made.list.salt, code));
    }
    return made;
}

void PersonalCodeStore::save(const QString &className, const QString &questionnairePath, const PersonalCodeList &list)
{
    QJsonArray kept;
    for (int i = 0; i < list.pupils.size() && size_t(i) < list.hashes.size(); ++i)
        kept.append(QJsonObject{{QStringLiteral("name"), list.pupils.at(i)},
                                {QStringLiteral("h"), QString::fromLatin1(list.hashes[size_t(i)])}});
    const QJsonObject object{{QStringLiteral("v"), FileVersion},
                             {QStringLiteral("class"), className},
                             {QStringLiteral("questionnaire"), QDir::cleanPath(questionnairePath)},
                             {QStringLiteral("salt"), QString::fromLatin1(list.salt)},
                             {QStringLiteral("pupils"), kept}};
    const QString path = pathOf(className, questionnairePath);
    const QByteArray bytes = QJsonDocument(object).toJson();
    QSaveFile file(path);
    if (!QDir().mkpath(m_folder) || !file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()
        || !file.commit()) {
        throw AppError(tr("Les codes personnels n'ont pas pu être enregistrés dans %1.")
                           .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())));
    }
}

QStringList PersonalCodeStore::renew(const QString &className, const QString &questionnairePath, const QStringList &pupils)
{
    Made made = make(pupils);
    save(className, questionnairePath, made.list);
    return made.codes;
}

void PersonalCodeStore::remove(const QString &className, const QString &questionnairePath)
{
    QFile::remove(pathOf(className, questionnairePath));
}
