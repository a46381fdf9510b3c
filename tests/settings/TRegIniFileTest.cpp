#include "TRegIniFile.h"
#include "FreshHome.h"

#include <climits>

using Typed = FreshHome;

// Read back as ReadInteger, ReadBool with default true, ReadBool with default
// false; what WriteInteger and WriteBool store is the plain text.
TEST_F(Typed, IntegersAndBooleansAreReadFromAndWrittenAsPlainText) {
    // Each text below, read as an integer with the default 99, gives the
    // number below it.
    const char *const texts[] = {
        "0x1F",  "0X1f",      "$1F",        " 7",          "+5",        "  -12",
        "007",   "$7FFFFFFF", "2147483647", "-2147483648", "12abc",     "",
        "7 ",    "\t7",       "-",          "$",           "0x",        "0x1G",
        " 0x1F", "$80000000", "2147483648", "-2147483649", "4294967296"};
    const int numbers[] = {31, 31, 31, 7,  5,  -12, 7,  INT_MAX, INT_MAX, INT_MIN, 99, 99,
                           99, 99, 99, 99, 99, 99,  99, 99,      99,      99,      99};
    TRegIniFile store(Root);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        store.WriteString("Compare\\Dialog", "Number", texts[i]);
        EXPECT_EQ(store.ReadInteger("Compare\\Dialog", "Number", 99), numbers[i]) << texts[i];
    }
    const std::tuple<const char *, bool, bool> booleans[] = {
        {"1", true, true},    {"0", false, false}, {"2", true, true},
        {"yes", true, false}, {"", true, false},   {"0x0", false, false}};
    for (const auto &[text, withTrue, withFalse] : booleans) {
        store.WriteString("Compare\\Dialog", "Flag", text);
        EXPECT_EQ(store.ReadBool("Compare\\Dialog", "Flag", true), withTrue) << text;
        EXPECT_EQ(store.ReadBool("Compare\\Dialog", "Flag", false), withFalse) << text;
    }
    store.WriteInteger("Compare\\Dialog", "Negative", INT_MIN);
    store.WriteBool("Compare\\Dialog", "Yes", true);
    store.WriteBool("Compare\\Dialog", "No", false);
    std::string all;
    for (const char *name : {"Negative", "Yes", "No"})
        all += store.ReadString("Compare\\Dialog", name, "?") + " ";
    EXPECT_EQ(all, "-2147483648 1 0 ");
}
