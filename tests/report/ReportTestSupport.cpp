#include "ReportTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <cstdlib>
#include <gtest/gtest.h>

QStringList ReportLines(const QPlainTextEdit *Field) {
    return Field->document()->isEmpty() ? QStringList() : Field->toPlainText().split('\n');
}

QString WriteScratchFile(const QString &Name, const QByteArray &Bytes) {
    const QString path = QString::fromLocal8Bit(std::getenv("HOME")) + QLatin1Char('/') + Name;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(Bytes);
    return path;
}

QByteArray ReadBytes(const QString &Path) {
    QFile file(Path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
