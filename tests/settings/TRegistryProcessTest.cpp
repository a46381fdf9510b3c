#include "FreshHome.h"
#include "TRegIniFile.h"

#include <QProcess>
#include <filesystem>
#include <fstream>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
constexpr int WaitMs = 30000;

QProcess *StartWriter(QProcess &Process, const QStringList &Arguments) {
    Process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    Process.start(SETTINGS_WRITER, Arguments);
    return Process.waitForStarted(WaitMs) ? &Process : nullptr;
}

} // namespace

using TwoProcesses = FreshHome;

TEST_F(TwoProcesses, WritingAtOnceLosesNothingAndNeitherFails) {
    constexpr int Count = 1000;
    const std::string go = ConfigHome() + "/go";
    QProcess first, second;
    const QStringList arguments{"many", QString::number(Count), QString::fromStdString(go)};
    ASSERT_TRUE(StartWriter(first, QStringList{"A"} + arguments));
    ASSERT_TRUE(StartWriter(second, QStringList{"B"} + arguments));
    std::ofstream(go) << "go";
    TRegIniFile store(Root); // a third user of the same key meanwhile
    for (int i = 0; i < 50; ++i) {
        store.WriteInteger("Shared", "Mine", i);
        store.ReadInteger("Shared", "A-0", 0);
    }
    for (QProcess *writer : {&first, &second}) {
        EXPECT_TRUE(writer->waitForFinished(WaitMs));
        EXPECT_EQ(writer->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(writer->exitCode(), 0);
    }
    std::vector<std::string> names;
    store.ReadSection("Shared", names);
    EXPECT_EQ(names.size(), 2u * Count + 1);
    for (int i = 0; i < Count; ++i) {
        ASSERT_EQ(store.ReadInteger("Shared", "A-" + std::to_string(i), -1), i);
        ASSERT_EQ(store.ReadInteger("Shared", "B-" + std::to_string(i), -1), i);
    }
}

TEST_F(TwoProcesses, ProgramsStartingAtOnceOnAnUnusableHiveMoveItAsideOnce) {
    // Big enough that checking it takes a while: the window a race needs.
    RawQuery("CREATE TABLE keys(a, b); CREATE TABLE vals(x);"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
             " INSERT INTO vals SELECT randomblob(100) FROM n;");
    const std::string go = ConfigHome() + "/go";
    QProcess starters[4];
    for (QProcess &starter : starters)
        ASSERT_TRUE(StartWriter(starter, {"check", QString::fromStdString(go)}));
    std::ofstream(go) << "go";
    QStringList told;
    for (QProcess &starter : starters) {
        EXPECT_TRUE(starter.waitForFinished(WaitMs));
        const QString said = QString::fromUtf8(starter.readAllStandardOutput()).trimmed();
        if (!said.isEmpty())
            told << said;
    }
    EXPECT_EQ(told.size(), 1) << told.join('|').toStdString();
    int asides = 0;
    for (const auto &entry : std::filesystem::directory_iterator(HiveFolder()))
        asides += entry.path().filename().string().starts_with("registry.sqlite3.damaged-");
    EXPECT_EQ(asides, 1);
    EXPECT_EQ(RawQuery("SELECT count(*) FROM keys WHERE parent = 0"), "1"); // a fresh hive
}
