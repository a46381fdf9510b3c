#include "TRegIniFile.h"
#include "FreshHome.h"

#include <climits>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
const std::string Section = "Compare\\Dialog";

struct IntegerCase {
    const char *Stored;
    int Expected; // with the default 99
};

} // namespace

class IntegerText : public FreshHome, public testing::WithParamInterface<IntegerCase> {};

TEST_P(IntegerText, ReadsAsTheNumberOrTheDefault) {
    TRegIniFile store(Root);
    store.WriteString(Section, "Number", GetParam().Stored);
    EXPECT_EQ(store.ReadInteger(Section, "Number", 99), GetParam().Expected)
        << "stored \"" << GetParam().Stored << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Store, IntegerText,
    testing::Values(IntegerCase{"0x1F", 31}, IntegerCase{"0X1f", 31}, IntegerCase{"$1F", 31},
                    IntegerCase{"12abc", 99}, IntegerCase{"", 99}, IntegerCase{" 7", 7},
                    IntegerCase{"7 ", 99}, IntegerCase{"4294967296", 99},
                    IntegerCase{"2147483647", INT_MAX}, IntegerCase{"2147483648", 99},
                    IntegerCase{"-2147483648", INT_MIN}, IntegerCase{"-2147483649", 99},
                    IntegerCase{"+5", 5}, IntegerCase{"  -12", -12}, IntegerCase{"007", 7},
                    IntegerCase{"-", 99}, IntegerCase{"$", 99}, IntegerCase{"0x", 99},
                    IntegerCase{"0x1G", 99}, IntegerCase{" 0x1F", 99},
                    IntegerCase{"$7FFFFFFF", INT_MAX}, IntegerCase{"$80000000", 99},
                    IntegerCase{"0x7fffffff", INT_MAX}, IntegerCase{"99999999999999999999999", 99},
                    IntegerCase{"\t7", 99}, IntegerCase{"1.5", 99}));

using Typed = FreshHome;

TEST_F(Typed, IntegersAndBooleansAreWrittenAsPlainText) {
    TRegIniFile store(Root);
    const std::vector<std::pair<int, std::string>> integers = {
        {0, "0"}, {42, "42"}, {-42, "-42"}, {INT_MIN, "-2147483648"}, {INT_MAX, "2147483647"}};
    for (const auto &[value, text] : integers) {
        store.WriteInteger(Section, "Number", value);
        EXPECT_EQ(store.ReadString(Section, "Number", ""), text);
        EXPECT_EQ(store.ReadInteger(Section, "Number", 99), value);
    }
    store.WriteBool(Section, "Yes", true);
    store.WriteBool(Section, "No", false);
    EXPECT_EQ(store.ReadString(Section, "Yes", ""), "1");
    EXPECT_EQ(store.ReadString(Section, "No", ""), "0");
}

TEST_F(Typed, BooleansAreIntegersThatAreTrueUnlessZero) {
    struct Case {
        const char *Stored;
        bool WithDefaultTrue;
        bool WithDefaultFalse;
    };
    const Case cases[] = {{"1", true, true},     {"0", false, false},  {"2", true, true},
                          {"-1", true, true},    {"yes", true, false}, {"", true, false},
                          {"0x0", false, false}, {" 0", false, false}};
    TRegIniFile store(Root);
    for (const Case &c : cases) {
        store.WriteString(Section, "Flag", c.Stored);
        EXPECT_EQ(store.ReadBool(Section, "Flag", true), c.WithDefaultTrue) << c.Stored;
        EXPECT_EQ(store.ReadBool(Section, "Flag", false), c.WithDefaultFalse) << c.Stored;
    }
    EXPECT_TRUE(store.ReadBool(Section, "Missing", true));
    EXPECT_FALSE(store.ReadBool(Section, "Missing", false));
}

TEST_F(Typed, TheStoreKeyIsCreatedAndSectionsLieBelowIt) {
    {
        TRegIniFile store(Root + "\\Others\\Daily");
        EXPECT_EQ(store.KeyPath(), Root + "\\Others\\Daily");
        store.WriteInteger("Compare\\Report", "Left", 10);
    }
    TRegIniFile others(Root + "\\Others");
    std::vector<std::string> names;
    others.ReadSections(names);
    EXPECT_EQ(names, std::vector<std::string>{"Daily"}); // made by creating the store
    EXPECT_EQ(others.ReadInteger("Daily\\Compare\\Report", "Left", 0), 10);
    EXPECT_EQ(others.ReadInteger("\\" + Root + "\\Others\\Daily\\Compare\\Report", "Left", 0), 10);
}
