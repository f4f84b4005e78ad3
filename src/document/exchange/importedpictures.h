#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QString>
#include <QStringList>

// The pictures an import takes out of a quiz file, written into one folder and never over
// another file: a picture goes under its own name, or the first numbered variant
// ("chat-2.png") that is free or already holds the same bytes. Each variant of a name is looked
// at once for the whole import, so naming ten thousand "image.png" stays linear.
//
// Until keep() is called, the pictures it wrote are removed again when it goes: an import that
// is stopped or fails leaves the folder as it found it.
class ImportedPictures
{
public:
    explicit ImportedPictures(const QString &folder);
    ~ImportedPictures();
    ImportedPictures(const ImportedPictures &) = delete;
    ImportedPictures &operator=(const ImportedPictures &) = delete;

    // The path that holds `bytes` under `name` or a variant of it. Throws AppError when the
    // picture cannot be written.
    QString place(const QString &name, const QByteArray &bytes);
    // The import is complete: its pictures stay.
    void keep() { m_written.clear(); }

private:
    // The variants of one name seen so far: every one before `nextAttempt` is known, by the
    // digest of what it holds.
    struct Variants
    {
        int nextAttempt = 1;
        QHash<QByteArray, QString> byDigest;
    };

    QString variantName(const QString &name, int attempt) const;

    QDir m_folder;
    QHash<QString, Variants> m_variants;
    QStringList m_written;
};
