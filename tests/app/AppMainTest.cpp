#include "AppMain.h"
#include "AppTestSupport.h"
#include "ConfigNames.h"
#include "SettingsRootKey.h"
#include "TRegIniFile.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QFile>
#include <QProcess>
#include <QStatusBar>

namespace {

class AppMainTest : public AppTest {
protected:
    // Runs the program once more in a process of its own, on this test's settings.
    int Child(const QString &Action, const QString &Argument) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QStringLiteral(TARNWELL_APP_CHILD), {Action, Argument});
        EXPECT_TRUE(child.waitForFinished(60000));
        return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
    }
    QString ShownAtStart() {
        const QString dump = Path(QStringLiteral("dump.txt"));
        QFile::remove(dump);
        EXPECT_EQ(Child(QStringLiteral("dump"), dump), 0);
        QFile file(dump);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll());
    }
};

TEST_F(AppMainTest, SaveReportOnExitAcrossRestarts) {
    EXPECT_EQ(ShownAtStart(), QString());
    EXPECT_EQ(Child(QStringLiteral("keep"), QStringLiteral("kept line\nsecond")), 0);
    EXPECT_EQ(ShownAtStart(), QStringLiteral("kept line\nsecond"));
    // Off: the next start shows an empty report although text was kept before.
    EXPECT_EQ(Child(QStringLiteral("drop"), QStringLiteral("dropped")), 0);
    EXPECT_EQ(ShownAtStart(), QString());
}

TEST_F(AppMainTest, TerminationEndsTheRunThroughTheNormalSave) {
    QProcess child;
    child.start(QStringLiteral(TARNWELL_APP_CHILD),
                {QStringLiteral("wait"), QStringLiteral("kept")});
    ASSERT_TRUE(child.waitForReadyRead(60000));
    EXPECT_EQ(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
    child.terminate(); // SIGTERM, as a logout or kill sends it
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(ShownAtStart(), QStringLiteral("kept"));
}

// A configuration name must be valid UTF-8 to be loaded back by name: any
// other is refused with a box, and the default configuration is used.
TEST_F(AppMainTest, TheConfigurationNameMustBeUtf8) {
    const std::string daily = std::string(OthersKey) + "\\Gr\xC3\xBC\xC3\x9F";
    for (const auto &[name, used] :
         {std::pair<std::string, std::string>{"bad\xFF\xFE", DefaultRootKey},
          {"/x/Gr\xC3\xBC\xC3\x9F", daily}}) {
        std::string opened;
        Answer<TCompareReport>([&](TCompareReport *Report) {
            opened = Report->IniFile->KeyPath();
            return int(mrCancel);
        });
        EXPECT_EQ(RunApplication({"tarnwell", name}), 0);
        EXPECT_EQ(opened, used);
        const QStringList shown = TakeErrors();
        EXPECT_EQ(shown.size(), used == daily ? 0 : 1);
        for (const QString &text : shown)
            EXPECT_TRUE(text.contains(QStringLiteral("is not valid UTF-8"))) << text.toStdString();
    }
    QStringList names;
    ListConfigurations(names);
    EXPECT_EQ(names, QStringList(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F")));
}

// Ended from outside while a start-up box waits for the user: the box
// closes and the run ends through the normal save, not killed.
TEST_F(AppMainTest, TerminationWhileABoxIsUpEndsThroughTheNormalSave) {
    QProcess child;
    child.start(QStringLiteral(TARNWELL_APP_CHILD), {QStringLiteral("box"), QStringLiteral("-")});
    ASSERT_TRUE(child.waitForReadyRead(60000));
    EXPECT_EQ(child.readAllStandardOutput().trimmed(), QByteArray("box"));
    child.terminate();
    ASSERT_TRUE(child.waitForFinished(60000));
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(TRegIniFile(DefaultRootKey).ReadString("Compare\\Report", "Version", ""), "1");
}

TEST_F(AppMainTest, DamagedHiveIsReportedAndTheProgramWorks) {
    WriteBytes(QStringLiteral("config/tarnwell/registry.sqlite3"),
               QByteArray("this is not a database at all, just some text ").repeated(200));
    const auto [first, second] = WorkedExampleFiles();
    QStringList shown;
    Answer<TCompareReport>([&, first = first, second = second](TCompareReport *Report) {
        shown = TakeErrors();
        Report->RunComparison(true, first, second, true, false, false);
        EXPECT_EQ(ReportLines(::Child<QPlainTextEdit>(Report, "resultField")),
                  WorkedExampleReport());
        ::Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(true);
        return int(mrCancel);
    });
    EXPECT_EQ(RunApplication({"tarnwell"}), 0);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].contains(QStringLiteral("registry.sqlite3"))) << shown[0].toStdString();
    // The fresh hive took the settings saved at the end.
    EXPECT_EQ(ShownAtStart(), WorkedExampleReport().join(QLatin1Char('\n')));
}

} // namespace
