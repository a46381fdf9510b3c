#include "WriteTarget.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <stdexcept>
#include <sys/stat.h>

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
    if (!file.open(QIODevice::WriteOnly) || file.write(Bytes) != Bytes.size() || !file.commit())
        throw CannotWrite(FileName, file.errorString());
}
