#pragma once

#include <QByteArray>
#include <QString>

// Every file the user names for writing (Save As, Print to file, and any
// other writer of a chosen file) goes through these two.

// The name must be a regular file, a new name, or a symbolic link to a
// regular file. Anything else (a FIFO, a device, a folder, a socket, a
// dangling link) throws std::runtime_error "Cannot write file NAME: not a
// regular file". The check only looks at the name's status and opens
// nothing, so a FIFO or a device never holds it up.
void CheckWriteTarget(const QString &FileName);

// Writes Bytes as the whole of FileName once CheckWriteTarget allows it: a
// new file beside it is written, flushed to the disk and renamed over it,
// so the target itself is never opened, and a write that fails (a full
// disk, a folder gone) leaves the old file, or no file, and throws
// std::runtime_error "Cannot write file NAME: REASON".
void WriteWholeFile(const QString &FileName, const QByteArray &Bytes);
