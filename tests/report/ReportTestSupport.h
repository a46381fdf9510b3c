#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

class QPlainTextEdit;

// Readable QString values in failure messages.
inline void PrintTo(const QString &Text, std::ostream *Out) {
    *Out << '"' << Text.toStdString() << '"';
}

// The report's lines as the engine appended them: none when it is empty.
QStringList ReportLines(const QPlainTextEdit *Field);

// Writes Bytes to Name below the test process's temporary home, creating
// folders; returns the full path.
QString WriteScratchFile(const QString &Name, const QByteArray &Bytes);
// The bytes of the file at Path; empty when it cannot be read.
QByteArray ReadBytes(const QString &Path);
