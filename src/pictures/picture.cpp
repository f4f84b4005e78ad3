#include "pictures/picture.h"

#include "platform/apperror.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QMimeData>

#include <memory>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QFileInfo>
#endif

namespace {

// Only regular files are read: a FIFO would block the window until some program writes to
// it, and a device such as /dev/zero never ends. Anything else fails like a missing file.
bool openRegularFile(QFile &file, const QString &path)
{
#ifdef Q_OS_UNIX
    // The descriptor is checked, not the name, so nothing can swap the file in between; the
    // non-blocking open keeps a FIFO without a writer from blocking right here.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)
        || !file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
#else
    file.setFileName(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
#endif
}

} // namespace

Picture::~Picture() = default;

void Picture::openForReading(QFile &file, const QString &path)
{
    if (!openRegularFile(file, path))
        throw AppError(QCoreApplication::translate("Picture", "Ne peut ouvrir le fichier %1").arg(path));
}

QByteArray Picture::readFile(const QString &path)
{
    QFile file;
    openForReading(file, path);
    const auto refuse = [&path] {
        return AppError(QCoreApplication::translate("Picture", "Le fichier %1 est trop volumineux pour une image (plus de 256 Mo).")
                            .arg(path));
    };
    if (file.size() > MaxFileSize)
        throw refuse();
    QByteArray bytes = file.readAll();
    // A file that grew past the bound while it was read is refused like a large one.
    if (bytes.size() > MaxFileSize)
        throw refuse();
    return bytes;
}

void Picture::loadFromFile(const QString &path)
{
    loadFromData(readFile(path));
}

void Picture::copyToClipboard(QClipboard &clipboard)
{
    clipboard.clear();
    std::unique_ptr<QMimeData> data(toMimeData());
    if (data)
        clipboard.setMimeData(data.release());
}
