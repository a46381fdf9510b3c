#include "FreshHome.h"
#include "TRegIniFile.h"

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";

std::vector<std::string> KeyNames(const std::string &Path) {
    TRegistry registry;
    std::vector<std::string> names;
    if (registry.OpenKey("\\" + Path, false))
        registry.GetKeyNames(names);
    return names;
}

std::string ReadFile(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// True when this process may write where it was told not to (root may).
bool PermissionsAreIgnored(const std::string &Folder) {
    return access(Folder.c_str(), W_OK) == 0;
}

} // namespace

using KeyTree = FreshHome;

TEST_F(KeyTree, NamesIgnoreAsciiCaseAndKeepTheirFirstCase) {
    TRegIniFile store(Root);
    store.WriteString("Compare\\Report", "Left", "1");
    store.WriteString("COMPARE\\report", "LEFT", "2");
    EXPECT_EQ(store.ReadString("compare\\REPORT", "left", "d"), "2");
    EXPECT_EQ(KeyNames(Root + "\\Compare"), std::vector<std::string>{"Report"});
    std::vector<std::string> values;
    store.ReadSection("Compare\\Report", values);
    EXPECT_EQ(values, std::vector<std::string>{"Left"});

    // Only ASCII letters fold: these are two keys.
    store.WriteString("\xC3\x84", "V", "upper");
    store.WriteString("\xC3\xA4", "V", "lower");
    EXPECT_EQ(store.ReadString("\xC3\x84", "V", ""), "upper");
    EXPECT_EQ(store.ReadString("\xC3\xA4", "V", ""), "lower");
}

TEST_F(KeyTree, SubkeysAreListedInCaseInsensitiveOrder) {
    TRegIniFile store(Root + "\\Others");
    for (const char *name : {"cherry", "Banana", "apple", "Date"})
        store.WriteString(name, "Version", "1");
    std::vector<std::string> sections{"stale"};
    store.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"apple", "Banana", "cherry", "Date"}));
}

TEST_F(KeyTree, NamesAndValuesAreStoredExactly) {
    const std::string longText(100000, 'x');
    const std::string longName(10000, 'n');
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"quote'", "it's \"quoted\"; DROP TABLE vals; --"},
        {"back\\slash", "C:\\Setups\\Daily\\"},
        {"\xE9\x94\xAE", "\xC3\xBC\xC3\xB1\xC3\xAE \xF0\x9F\x98\x80"},
        {"lines", "one\r\ntwo\nthree\r"},
        {"nul", std::string("a\0b", 3)},
        {"empty", ""},
        {"", "the default value of the key"},
        {longName, longText},
    };
    {
        TRegIniFile store(Root);
        for (const auto &[name, value] : cases)
            store.WriteString("Exact", name, value);
    }
    DropConnection();
    TRegIniFile store(Root);
    for (const auto &[name, value] : cases)
        EXPECT_EQ(store.ReadString("Exact", name, "missing"), value) << name.substr(0, 20);
}

TEST_F(KeyTree, AwkwardSectionPathsNameTheKeysTheyMean) {
    const std::string longKey(10000, 'k');
    struct Case {
        std::string Written;  // section as written through the store
        std::string Absolute; // the key below the hive it must land in
    };
    const std::vector<Case> cases = {
        {"", Root},
        {"\\Elsewhere", "Elsewhere"},
        {"\\\\Elsewhere\\\\Deeper\\", "Elsewhere\\Deeper"},
        {"Doubled\\\\Inner", Root + "\\Doubled\\Inner"},
        {"Trailing\\", Root + "\\Trailing"},
        {longKey + "\\" + longKey, Root + "\\" + longKey + "\\" + longKey},
        {"\xC3\x9C"
         "ber\\\xE6\x97\xA5\xE6\x9C\xAC",
         Root + "\\\xC3\x9C"
                "ber\\\xE6\x97\xA5\xE6\x9C\xAC"},
    };
    TRegIniFile store(Root);
    int n = 0;
    for (const auto &c : cases) {
        const std::string value = "value " + std::to_string(++n);
        store.WriteString(c.Written, "Probe", value);
        TRegIniFile hive("");
        EXPECT_EQ(hive.ReadString("\\" + c.Absolute, "Probe", "missing"), value)
            << c.Written.substr(0, 40);
        EXPECT_EQ(store.ReadString(c.Written, "Probe", "missing"), value);
    }
}

TEST_F(KeyTree, ReadingCreatesNothingAndMissingDataReadsAsDefault) {
    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-1", "fallback"), "fallback");
    EXPECT_EQ(store.ReadInteger("Compare\\Dialog", "Left", -5), -5);
    EXPECT_TRUE(store.ReadBool("Compare\\Dialog", "CheckBox-1", true));
    EXPECT_TRUE(KeyNames(Root).empty());
    store.WriteString("Compare\\Dialog", "Edit-1", "x");
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-2", "fallback"), "fallback");
}

TEST_F(KeyTree, AValueOfAnotherTypeFailsEveryRead) {
    TRegIniFile store(Root);
    store.WriteString("Compare\\Report", "Size", "10");
    store.WriteString("Compare\\Report", "Name", "Courier New");
    RawQuery("UPDATE vals SET type = 4, data = x'0a000000' WHERE name = 'Size'");

    for (auto read : {+[](TRegIniFile &s) { s.ReadString("Compare\\Report", "Size", ""); },
                      +[](TRegIniFile &s) { s.ReadInteger("Compare\\Report", "size", 0); },
                      +[](TRegIniFile &s) { s.ReadBool("Compare\\Report", "SIZE", false); }}) {
        try {
            read(store);
            ADD_FAILURE() << "read of a non-string value succeeded";
        } catch (const ERegistryException &e) {
            EXPECT_STRCASEEQ(e.what(), "Invalid data type for 'Size'");
        }
    }
    EXPECT_EQ(store.ReadString("Compare\\Report", "Name", ""), "Courier New");
    store.WriteString("Compare\\Report", "Size", "12"); // writing makes it a string again
    EXPECT_EQ(store.ReadInteger("Compare\\Report", "Size", 0), 12);
}

TEST_F(KeyTree, TwoStoresOnOverlappingPathsSeeEachOthersWrites) {
    TRegIniFile outer(Root);
    TRegIniFile inner(Root + "\\Compare");
    outer.WriteString("Compare\\Dialog", "Edit-1", "first");
    EXPECT_EQ(inner.ReadString("Dialog", "Edit-1", ""), "first");
    inner.WriteString("Dialog", "Edit-1", "second");
    EXPECT_EQ(outer.ReadString("Compare\\Dialog", "Edit-1", ""), "second");
}

TEST_F(KeyTree, ATransactionCommitsOnceAtTheOutermostEnd) {
    TRegIniFile store(Root);
    {
        TRegistryTransaction outer;
        store.WriteString("Batch", "A", "1");
        {
            TRegistryTransaction inner;
            store.WriteString("Batch", "B", "2");
        }
        // Another connection sees nothing before the outermost commit.
        EXPECT_EQ(RawQuery("SELECT count(*) FROM vals"), "0");
        EXPECT_EQ(store.ReadString("Batch", "B", ""), "2");
    }
    EXPECT_EQ(RawQuery("SELECT count(*) FROM vals"), "2");
}

TEST_F(KeyTree, TheHiveFollowsTheConfigFolderAndIsPrivate) {
    TRegIniFile store(Root);
    store.WriteString("Compare", "Where", "first home");
    EXPECT_EQ(fs::status(HiveFolder()).permissions() & fs::perms::all, fs::perms::owner_all);
    EXPECT_EQ(TRegistry::HivePath(), HivePath());

    const std::string first = ConfigHome();
    setenv("XDG_CONFIG_HOME", (first + "/second").c_str(), 1);
    EXPECT_EQ(TRegIniFile(Root).ReadString("Compare", "Where", "none"), "none");
    setenv("XDG_CONFIG_HOME", "relative/path", 1); // not absolute: the home's .config
    EXPECT_EQ(TRegistry::HivePath(),
              std::string(getenv("HOME")) + "/.config/tarnwell/registry.sqlite3");
    setenv("XDG_CONFIG_HOME", first.c_str(), 1);
    EXPECT_EQ(store.ReadString("Compare", "Where", "none"), "first home");
}

struct Damage {
    const char *Name;
    void (*Apply)(const std::string &Hive);
};

class DamagedHive : public FreshHome, public testing::WithParamInterface<Damage> {};

TEST_P(DamagedHive, IsMovedAsideReportedOnceAndReplaced) {
    {
        TRegIniFile store(Root);
        for (int i = 0; i < 300; ++i)
            store.WriteString("Filler", "Value" + std::to_string(i), std::string(500, 'f'));
    }
    DropConnection();
    GetParam().Apply(HivePath());
    const std::string damaged = ReadFile(HivePath());

    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Filler", "Value1", "default"), "default");
    std::string message;
    try {
        TRegistry::CheckHive();
    } catch (const ERegistryException &e) {
        message = e.what();
    }
    std::vector<fs::path> asides;
    for (const auto &entry : fs::directory_iterator(HiveFolder()))
        if (entry.path().filename().string().starts_with("registry.sqlite3.damaged-"))
            asides.push_back(entry.path());
    ASSERT_EQ(asides.size(), 1u);
    EXPECT_EQ(ReadFile(asides[0]), damaged);
    EXPECT_NE(message.find(HivePath()), std::string::npos) << message;
    EXPECT_NE(message.find(asides[0].string()), std::string::npos) << message;
    EXPECT_NO_THROW(TRegistry::CheckHive());

    store.WriteString("Compare", "After", "works");
    DropConnection();
    EXPECT_EQ(TRegIniFile(Root).ReadString("Compare", "After", ""), "works");
    EXPECT_EQ(RawQuery("PRAGMA integrity_check"), "ok");
}

INSTANTIATE_TEST_SUITE_P(
    Hive, DamagedHive,
    testing::Values(Damage{"TextFile",
                           [](const std::string &hive) {
                               std::ofstream(hive, std::ios::trunc) << "[Compare]\nLeft=1\n";
                           }},
                    Damage{"TruncatedInTheMiddle",
                           [](const std::string &hive) {
                               fs::resize_file(hive, fs::file_size(hive) / 2);
                           }},
                    Damage{"HeaderOverwritten",
                           [](const std::string &hive) {
                               std::fstream file(hive,
                                                 std::ios::in | std::ios::out | std::ios::binary);
                               file.seekp(0);
                               file << std::string(100, '\x7f');
                           }}),
    [](const testing::TestParamInfo<Damage> &info) { return info.param.Name; });

TEST_F(KeyTree, AnUncreatableHiveGivesDefaultsAndFailingWrites) {
    // A file where the hive's folder should be: no one can create it.
    std::ofstream(HiveFolder()) << "in the way";
    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-1", "default"), "default");
    EXPECT_EQ(store.ReadInteger("Compare\\Dialog", "Left", 7), 7);
    EXPECT_THROW(
        {
            try {
                store.WriteString("Compare\\Dialog", "Edit-1", "x");
            } catch (const ERegistryException &e) {
                EXPECT_STREQ(e.what(), "Failed to create key Compare\\Dialog");
                throw;
            }
        },
        ERegistryException);
    std::vector<std::string> sections{"stale"};
    store.ReadSections(sections);
    EXPECT_TRUE(sections.empty());
    EXPECT_NO_THROW(TRegistry::CheckHive()); // nothing was damaged
}

TEST_F(KeyTree, AReadOnlyHiveGivesItsValuesAndRefusesWrites) {
    {
        TRegIniFile store(Root);
        store.WriteString("Compare\\Dialog", "Edit-1", "kept");
    }
    DropConnection();
    chmod(HivePath().c_str(), 0400);
    chmod(HiveFolder().c_str(), 0500);
    if (PermissionsAreIgnored(HiveFolder()))
        GTEST_SKIP() << "permissions do not bind this user";
    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-1", ""), "kept");
    try {
        store.WriteString("Compare\\Dialog", "Edit-1", "changed");
        ADD_FAILURE() << "write to a read-only hive succeeded";
    } catch (const ERegistryException &e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'Edit-1'");
    }
    try {
        store.WriteString("Compare\\Wizard", "Edit-1", "new");
        ADD_FAILURE() << "key created in a read-only hive";
    } catch (const ERegistryException &e) {
        EXPECT_STREQ(e.what(), "Failed to create key Compare\\Wizard");
    }
    EXPECT_EQ(store.ReadString("Compare\\Dialog", "Edit-1", ""), "kept");
}

TEST_F(KeyTree, AReadOnlyConfigFolderGivesDefaultsAndFailingWrites) {
    chmod(ConfigHome().c_str(), 0500);
    if (PermissionsAreIgnored(ConfigHome()))
        GTEST_SKIP() << "permissions do not bind this user";
    TRegIniFile store(Root);
    EXPECT_EQ(store.ReadString("Compare", "Edit-1", "default"), "default");
    EXPECT_THROW(store.WriteBool("Compare", "CheckBox-1", true), ERegistryException);
}
