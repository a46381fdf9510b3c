#include "AppTestSupport.h"

#include "SettingsRootKey.h"
#include "UCompareReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdlib>

void AppTest::SetUp() {
    // Every test gets settings of its own below the process's temporary home.
    static int serial = 0;
    Folder = QString::fromLocal8Bit(std::getenv("HOME")) + "/case-" + QString::number(++serial);
    QDir().mkpath(Folder + QStringLiteral("/config"));
    QDir().mkpath(Folder + QStringLiteral("/data"));
    setenv("XDG_CONFIG_HOME", QFile::encodeName(Folder + QStringLiteral("/config")).constData(), 1);
    setenv("XDG_DATA_HOME", QFile::encodeName(Folder + QStringLiteral("/data")).constData(), 1);
    WatchWindows();
}

void AppTest::WatchWindows() {
    SetModalHook([this](QDialog *Window) { return Dispatch(Window); });
}

void AppTest::TearDown() {
    SetModalHook({});
    EXPECT_EQ(FAnswers.size(), 0u) << "a window the test expected was never shown";
    EXPECT_TRUE(FErrors.isEmpty()) << "unexpected error box: " << FErrors.join('|').toStdString();
}

int AppTest::Dispatch(QDialog *Window) {
    ShownWindows.push_back(QString::fromLatin1(Window->metaObject()->className()));
    if (!FAnswers.empty() && FAnswers.front().first(Window)) {
        const auto Reply = FAnswers.front().second;
        FAnswers.erase(FAnswers.begin());
        return Reply(Window);
    }
    if (auto *box = qobject_cast<QMessageBox *>(Window)) {
        FErrors << box->text();
        return QMessageBox::Ok;
    }
    ADD_FAILURE() << "unexpected window " << ShownWindows.back().toStdString();
    return mrCancel;
}

QStringList AppTest::TakeErrors() {
    return std::exchange(FErrors, {});
}

QString AppTest::Path(const QString &Name) const {
    return Folder + QLatin1Char('/') + Name;
}

QString AppTest::WriteBytes(const QString &Name, const QByteArray &Bytes) {
    return WriteScratchFile(QFileInfo(Folder).fileName() + QLatin1Char('/') + Name, Bytes);
}

QString AppTest::WriteLines(const QString &Name, const QStringList &Lines) {
    QByteArray bytes;
    for (const QString &line : Lines)
        bytes += line.toUtf8() + '\n';
    return WriteBytes(Name, bytes);
}

std::pair<QString, QString> AppTest::WorkedExampleFiles() {
    return {
        WriteLines(QStringLiteral("proj/old/notes.txt"), {"title", "one", "two", "three", "four"}),
        WriteLines(QStringLiteral("proj/new/notes.txt"),
                   {"title", "zero", "one", "two", "THREE", "four", "five"})};
}

std::unique_ptr<TCompareReport> AppTest::OpenReport(const std::string &KeyPath) {
    auto report =
        std::make_unique<TCompareReport>(nullptr, KeyPath.empty() ? DefaultRootKey : KeyPath);
    report->show();
    QApplication::setActiveWindow(report.get());
    EXPECT_TRUE(QTest::qWaitForWindowActive(report.get()));
    return report;
}

QStringList WorkedExampleReport() {
    return {"       title", "new/   zero",  "       one",  "       two",
            "old/   three", "new/   THREE", "       four", "new/   five"};
}

QString FocusName(const QWidget *Window) {
    const QWidget *W = Window->focusWidget();
    while (W != nullptr && (W->objectName().isEmpty() || W->objectName().startsWith("qt_")))
        W = W->parentWidget();
    return W != nullptr ? W->objectName() : QString();
}
