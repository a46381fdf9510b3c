#include "WriteTarget.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::runtime_error CannotWrite(const QString &FileName, const QString &Why) {
    return std::runtime_error(QStringLiteral("Cannot write file %1: %2")
                                  .arg(QDir::toNativeSeparators(FileName), Why)
                                  .toStdString());
}

} // namespace

void CheckWriteTarget(const QString &FileName) {
    const QByteArray name = QFile::encodeName(FileName);
    struct stat target {};
    if (::stat(name.constData(), &target) == 0) {
        if (!S_ISREG(target.st_mode))
            throw CannotWrite(FileName, QStringLiteral("not a regular file"));
        return;
    }
    // Nothing there: a new name, unless it is a link that leads nowhere.
    struct stat link {};
    if (::lstat(name.constData(), &link) == 0)
        throw CannotWrite(FileName, QStringLiteral("not a regular file"));
}

void WriteWholeFile(const QString &FileName, const QByteArray &Bytes) {
    CheckWriteTarget(FileName);
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw CannotWrite(FileName, file.errorString());
    // commit() alone would not see a buffered write that failed (a full
    // disk, a file size limit) nor a sync that failed: it would put a cut
    // file in place and report success. The system's reason is the clearer.
    errno = 0;
    if (file.write(Bytes) != Bytes.size() || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString why =
            errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.cancelWriting();
        throw CannotWrite(FileName, why);
    }
    if (!file.commit())
        throw CannotWrite(FileName, file.errorString());
}
