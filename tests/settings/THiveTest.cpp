#include "FreshHome.h"
#include "PermissionsBind.h"
#include "TRegIniFile.h"

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sqlite3.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

using Hive = FreshHome;

// What stands in the hive's place: "sql:" statements on a new database,
// "half:" the same cut to half its size, "text:" a text file, or "folder".
class UnusableHive : public FreshHome,
                     public testing::WithParamInterface<std::pair<std::string, std::string>> {};

TEST_P(UnusableHive, IsMovedAsideReportedOnceAndReplaced) {
    const auto &[kind, reason] = GetParam();
    if (kind == "folder")
        fs::create_directories(HivePath() + "/inside");
    else if (kind.starts_with("text:"))
        WriteBytes(HivePath(), kind.substr(5));
    else
        RawQuery(kind.substr(5));
    if (kind.starts_with("half:"))
        fs::resize_file(HivePath(), fs::file_size(HivePath()) / 2);
    const std::string bytes = kind == "folder" ? "" : ReadWholeFile(HivePath());

    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Filler", "1", "default"), "default");
    const std::string message = Failure([] { TRegistry::CheckHive(); });
    EXPECT_EQ(Failure([] { TRegistry::CheckHive(); }), ""); // once only
    std::vector<fs::path> asides;
    for (const auto &entry : fs::directory_iterator(HiveFolder()))
        if (entry.path().filename().string().starts_with("registry.sqlite3.damaged-2"))
            asides.push_back(entry.path());
    ASSERT_EQ(asides.size(), 1u);
    if (kind == "folder")
        EXPECT_TRUE(fs::is_directory(asides[0] / "inside"));
    else
        EXPECT_EQ(ReadWholeFile(asides[0]), bytes);
    EXPECT_EQ(message, "The settings file " + HivePath() + " cannot be used (" + reason +
                           "); it was moved to " + asides[0].string() +
                           " and a new one was started");
    store.WriteString("Compare", "After", "works");
    EXPECT_EQ(RawQuery("SELECT data FROM vals WHERE name = 'After'"), "works");
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnusableHive,
    testing::Values(
        std::pair{"text:[Compare]\nLeft=1\n", "it is damaged: file is not a database"},
        std::pair{"half:CREATE TABLE t(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                  "FROM n WHERE i < 1000) INSERT INTO t SELECT randomblob(500) FROM n;",
                  "it is damaged: database disk image is malformed"},
        std::pair{"sql: CREATE TABLE keys(a, b); CREATE TABLE vals(x);",
                  "its tables are not this program's: no such column: id"},
        std::pair{"sql: CREATE TABLE keys(id INTEGER PRIMARY KEY, parent, name);"
                  "CREATE TABLE vals(key, name, type, data);",
                  "its tables are not this program's: ON CONFLICT clause does not match any "
                  "PRIMARY KEY or UNIQUE constraint"},
        std::pair{"sql: CREATE TABLE places(url); INSERT INTO places VALUES(1);",
                  "it holds tables of another program"},
        std::pair{"folder", "it is a folder, not a file"}));

// Another program holding the hive locked (saving, or stuck) is waited for,
// never taken for an unusable hive.
TEST_F(Hive, ABusyHiveIsWaitedForAndNeverMovedAside) {
    InAnotherProcess([] { TRegIniFile(Root).WriteString("Compare\\Dialog", "Edit-1", "kept"); });
    sqlite3 *db = nullptr;
    sqlite3_open(HivePath().c_str(), &db);
    sqlite3_exec(db, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr);
    std::thread release([db] {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(db);
    });
    EXPECT_EQ(Failure([] { TRegistry::CheckHive(); }), "");
    release.join();
    EXPECT_EQ(TRegIniFile(Root).ReadString("Compare\\Dialog", "Edit-1", ""), "kept");
    for (const auto &entry : fs::directory_iterator(HiveFolder()))
        EXPECT_FALSE(entry.path().string().find("damaged") != std::string::npos) << entry.path();
}

// A file where the folder should be, a read-only config folder, or a
// read-only hive: reads give what is there, writes fail, nothing is damaged.
class UnwritableHive : public FreshHome, public testing::WithParamInterface<int> {};

TEST_P(UnwritableHive, GivesWhatIsThereAndFailingWrites) {
    const std::string kept = GetParam() == 2 ? "kept" : "";
    if (GetParam() == 2)
        InAnotherProcess(
            [] { TRegIniFile(Root).WriteString("Compare\\Dialog", "Edit-1", "kept"); });
    PermissionsBind bind;
    if (GetParam() == 0)
        std::ofstream(HiveFolder()) << "in the way";
    const std::string folder = GetParam() == 1 ? ConfigHome() : HiveFolder();
    if (GetParam() > 0 && (chmod(HivePath().c_str(), 0400),
                           chmod(folder.c_str(), 0500) != 0 ||
                               faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0))
        GTEST_SKIP() << "permissions do not bind this user";
    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-1", ""), kept);
    // The file, why, and what it means for the user.
    const std::string changed =
        Failure([&] { store.WriteString("Compare\\Dialog", "Edit-1", "y"); });
    const std::string start = "Cannot save the settings to " + HivePath() + ": ",
                      end = ". The changes of this session are lost";
    EXPECT_TRUE(changed.starts_with(start) && changed.ends_with(end)) << changed;
    if (GetParam() == 0) {
        EXPECT_EQ(changed, start + "Not a directory" + end);
    }
    EXPECT_EQ(Failure([] { TRegistry::CheckHive(); }), ""); // nothing was damaged
}

INSTANTIATE_TEST_SUITE_P(FileInTheWayReadOnlyFolderOrHive, UnwritableHive,
                         testing::Values(0, 1, 2));

// The hive and its log are the user's alone whatever the umask and the
// folder's mode; one an earlier version left open to others is narrowed.
class PrivateHive : public FreshHome, public testing::WithParamInterface<bool> {};

TEST_P(PrivateHive, IsTheUsersAlone) {
    const mode_t umasked = umask(022);
    fs::create_directories(HiveFolder());
    chmod(HiveFolder().c_str(), 0755);
    if (GetParam()) {
        InAnotherProcess([] { TRegIniFile(Root).WriteString("Compare", "Earlier", "1"); });
        chmod(HivePath().c_str(), 0644);
    }
    TRegIniFile(Root).WriteString("Compare", "Now", "1");
    umask(umasked);
    for (const std::string &file : {HivePath(), HivePath() + "-wal"})
        EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write)
            << file;
}

INSTANTIATE_TEST_SUITE_P(NewOrEarlier, PrivateHive, testing::Bool());
