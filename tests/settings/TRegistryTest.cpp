#include "FreshHome.h"
#include "TRegIniFile.h"

#include <filesystem>

namespace fs = std::filesystem;

using KeyTree = FreshHome;

// Names fold ASCII case only and list in order; a new store makes its key
// (in a folder of the user's alone), reading makes nothing.
TEST_F(KeyTree, NamesIgnoreAsciiCaseKeepTheirFirstCaseAndListInOrder) {
    TRegIniFile store(Root + "\\Others\\Daily");
    store.WriteString("Compare\\Report", "Left", "1");
    store.WriteString("COMPARE\\report", "LEFT", "2");
    EXPECT_EQ(store.ReadString("compare\\REPORT", "left", "d"), "2");
    std::vector<std::string> names;
    store.ReadSection("Compare\\Report", names);
    EXPECT_EQ(names, std::vector<std::string>{"Left"});
    store.WriteString("\xC3\x84", "V", "upper");
    EXPECT_EQ(store.ReadString("\xC3\xA4", "V", "none"), "none");
    for (const char *name : {"cherry", "Banana", "apple"})
        store.WriteString(name, "V", "1");
    store.ReadSections(names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"apple", "Banana", "cherry", "Compare", "\xC3\x84"}));
    TRegIniFile(Root + "\\Others\\Weekly").ReadSections(names);
    EXPECT_TRUE(names.empty());
    TRegIniFile(Root + "\\Others").ReadSections(names);
    EXPECT_EQ(names, (std::vector<std::string>{"Daily", "Weekly"}));
    EXPECT_EQ(fs::status(HiveFolder()).permissions() & fs::perms::all, fs::perms::owner_all);
}

// Each value is written under its section and value name in an earlier run,
// then read through the key path below the hive that section must name.
TEST_F(KeyTree, SectionsNamesAndValuesAreStoredExactly) {
    struct Case {
        std::string Section, Name, Value, Absolute;
    };
    const std::vector<Case> cases = {
        {"", "quote'", "it's \"quoted\"; DROP TABLE vals; --", Root},
        {"\\\\Elsewhere\\\\Deeper\\", "lines", "one\r\ntwo\nthree\r", "Elsewhere\\Deeper"},
        {"Doubled\\\\Inner\\", "nul", std::string("a\0b", 3), Root + "\\Doubled\\Inner"},
        {"\xC3\x9C\\\xE6\x97\xA5", "\xE9\x94\xAE", "\xF0\x9F\x98\x80",
         Root + "\\\xC3\x9C\\\xE6\x97\xA5"},
        {"Long", std::string(10000, 'n'), std::string(100000, 'x'), Root + "\\Long"},
        {"Empty", "", "", Root + "\\Empty"},
    };
    InAnotherProcess([&] {
        for (const Case &c : cases)
            TRegIniFile(Root).WriteString(c.Section, c.Name, c.Value);
    });
    TRegIniFile hive("");
    for (const Case &c : cases)
        EXPECT_EQ(hive.ReadString("\\" + c.Absolute, c.Name, "missing"), c.Value) << c.Absolute;
    EXPECT_EQ(TRegIniFile(Root).ReadString("\\Elsewhere\\Deeper", "lines", ""), cases[1].Value);
}

TEST_F(KeyTree, AValueOfAnotherTypeFailsEveryRead) {
    TRegIniFile store(Root);
    store.WriteString("Compare\\Report", "Size", "10");
    RawQuery("UPDATE vals SET type = 4, data = x'0a000000' WHERE name = 'Size'");
    const std::string message = "Invalid data type for 'size'";
    EXPECT_EQ(Failure([&] { store.ReadString("Compare\\Report", "size", ""); }), message);
    EXPECT_EQ(Failure([&] { store.ReadBool("Compare\\Report", "size", false); }), message);
}
