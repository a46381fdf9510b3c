#include "FreshHome.h"
#include "TRegIniFile.h"

#include <QProcess>
#include <filesystem>
#include <fstream>

using TwoProcesses = FreshHome;

// Programs starting at once on an unusable hive move it aside once; then
// they all write at once, and none fails or loses a value.
TEST_F(TwoProcesses, ProgramsStartingAtOnceOnAnUnusableHiveMoveItAsideOnce) {
    // Big enough that checking it takes a while: the window a race needs.
    RawQuery("CREATE TABLE keys(a, b); CREATE TABLE vals(x);"
             "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)"
             " INSERT INTO vals SELECT randomblob(100) FROM n;");
    const std::string go = ConfigHome() + "/go";
    QProcess starters[4];
    for (QProcess &starter : starters) {
        starter.start(SETTINGS_WRITER,
                      {QString::fromStdString(go), QString::number(&starter - starters)});
        ASSERT_TRUE(starter.waitForStarted(30000));
    }
    std::ofstream(go) << "go";
    QStringList told;
    for (QProcess &starter : starters) {
        EXPECT_TRUE(starter.waitForFinished(30000) && starter.exitCode() == 0);
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
    std::vector<std::string> names;
    TRegIniFile(Root).ReadSection("Shared", names);
    EXPECT_EQ(names.size(), 1200u);
}
