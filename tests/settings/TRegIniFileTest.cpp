#include "TRegIniFile.h"
#include "FreshHome.h"

#include <climits>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
const std::string Section = "Compare\\Dialog";

} // namespace

using Typed = FreshHome;

TEST_F(Typed, IntegerTextReadsAsTheNumberOrTheDefault) {
    const std::vector<std::pair<const char *, int>> cases = {
        {"0x1F", 31},
        {"0X1f", 31},
        {"$1F", 31},
        {"12abc", 99},
        {"", 99},
        {" 7", 7},
        {"7 ", 99},
        {"4294967296", 99},
        {"2147483647", INT_MAX},
        {"2147483648", 99},
        {"-2147483648", INT_MIN},
        {"-2147483649", 99},
        {"+5", 5},
        {"  -12", -12},
        {"007", 7},
        {"-", 99},
        {"$", 99},
        {"0x", 99},
        {"0x1G", 99},
        {" 0x1F", 99},
        {"$7FFFFFFF", INT_MAX},
        {"$80000000", 99},
        {"\t7", 99},
        {"99999999999999999999", 99},
    };
    TRegIniFile store(Root);
    for (const auto &[text, expected] : cases) {
        store.WriteString(Section, "Number", text);
        EXPECT_EQ(store.ReadInteger(Section, "Number", 99), expected) << '"' << text << '"';
    }
}

TEST_F(Typed, BooleansAreIntegersThatAreTrueUnlessZero) {
    struct Case {
        const char *Stored;
        bool WithDefaultTrue;
        bool WithDefaultFalse;
    };
    const Case cases[] = {{"1", true, true},    {"0", false, false}, {"2", true, true},
                          {"yes", true, false}, {"", true, false},   {"0x0", false, false}};
    TRegIniFile store(Root);
    for (const Case &c : cases) {
        store.WriteString(Section, "Flag", c.Stored);
        EXPECT_EQ(store.ReadBool(Section, "Flag", true), c.WithDefaultTrue) << c.Stored;
        EXPECT_EQ(store.ReadBool(Section, "Flag", false), c.WithDefaultFalse) << c.Stored;
    }
}

TEST_F(Typed, IntegersAndBooleansAreWrittenAsPlainText) {
    TRegIniFile store(Root);
    store.WriteInteger(Section, "Negative", INT_MIN);
    store.WriteInteger(Section, "Zero", 0);
    store.WriteBool(Section, "Yes", true);
    store.WriteBool(Section, "No", false);
    std::string all;
    for (const char *name : {"Negative", "Zero", "Yes", "No"})
        all += store.ReadString(Section, name, "?") + " ";
    EXPECT_EQ(all, "-2147483648 0 1 0 ");
}
