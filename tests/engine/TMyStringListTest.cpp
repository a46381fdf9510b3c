#include "TMyStringList.h"
#include "EngineTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <unistd.h>
#include <unordered_map>

namespace {

constexpr int BlockSize = TMyStringList::BlockSize;
using TLines = std::vector<std::string>;

TLines LinesOf(const TMyStringList &Store) {
    TLines Lines;
    for (int K = 0; K < Store.Count(); ++K)
        Lines.emplace_back(Store.Strings(K));
    return Lines;
}

void Load(TMyStringList &Store, const std::string &Bytes) {
    Store.LoadFromFile(WriteBytes(MakeTestFolder() / "file.txt", Bytes));
}

TEST(AllocText, PacksTextsTakesBlocksOnlyWhenNeededAndServesBigTextsApart) {
    TMyStringList Store;
    EXPECT_EQ(Store.Blocks().Count(), 0);
    EXPECT_EQ(Store.Next(), nullptr);
    char *First = Store.AllocText(10);
    EXPECT_EQ(First, Store.Blocks().Items(0));
    // A request that exactly fills what is left still uses the block.
    EXPECT_EQ(Store.AllocText(BlockSize - 20), First + 10);
    EXPECT_EQ(Store.Free(), 10);
    // A text larger than a block gets its own; the current block stays.
    const char *Big = Store.AllocText(BlockSize + 1);
    EXPECT_EQ(Big, Store.Blocks().Items(1));
    EXPECT_EQ(Store.AllocText(10), First + BlockSize - 10);
    // Too big for the rest: a fresh block, the rest abandoned for good.
    const char *Fresh = Store.AllocText(1);
    EXPECT_EQ(Fresh, Store.Blocks().Items(2));
    EXPECT_EQ(Store.Free(), BlockSize - 1);
}

TEST(LoadFromFile, ALineOf31999BytesTakesAWholeBlockAndOneOf32000ItsOwn) {
    TMyStringList Fits;
    Load(Fits, "abc\n" + std::string(31999, 'x') + "\nd\n");
    ASSERT_EQ(Fits.Blocks().Count(), 3);
    EXPECT_EQ(Fits.Strings(1), Fits.Blocks().Items(1));
    EXPECT_EQ(Fits.Strings(2), Fits.Blocks().Items(2));

    TMyStringList Exact; // the file ends where the block does: no block beyond
    Load(Exact, std::string(31999, 'x') + "\n");
    EXPECT_EQ(Exact.Blocks().Count(), 1);
    EXPECT_EQ(Exact.Free(), 0);

    TMyStringList Own;
    Load(Own, "abc\n" + std::string(32000, 'y') + "\nd\n");
    EXPECT_EQ(LinesOf(Own), (TLines{"abc", std::string(32000, 'y'), "d"}));
    ASSERT_EQ(Own.Blocks().Count(), 2);
    EXPECT_EQ(Own.Strings(1), Own.Blocks().Items(1));
    EXPECT_EQ(Own.Strings(2), Own.Strings(0) + 4);
}

TEST(LoadFromFile, ReadsLongLinesWholeWhereverTheyStand) {
    std::string Big(100000, 'z');
    Big[50000] = 'm';
    const std::string Fill(BlockSize - 1, 'f'), Double(2 * BlockSize - 1, 'd');
    const std::pair<std::string, TLines> Cases[] = {
        {Big, {Big}},
        {Big + "\r\nb\nc", {Big, "b", "c"}},
        {"a\n" + Big + "\rb\n" + Big, {"a", Big, "b", Big}},
        {Big + "\x1a" + "rest\n", {Big}},
        {Big + std::string(1, '\0') + "tail\nx", {Big, "x"}},
        // The first read fills one block, so its last byte is the CR.
        {Fill + "\r\ny", {Fill, "y"}},
        // A long line is read in growing steps; this CR ends the second.
        {Double + "\r\nz\n", {Double, "z"}},
    };
    for (const auto &[Bytes, Lines] : Cases) {
        SCOPED_TRACE(Bytes.size());
        TMyStringList Store;
        Load(Store, Bytes);
        EXPECT_EQ(Store.LoadError(), 0);
        EXPECT_EQ(LinesOf(Store), Lines);
        for (int K = 0; K < Store.Count(); ++K)
            EXPECT_EQ(Store.TextLength(K), Lines[K].size());
    }
    TMyStringList Twice; // a second load appends
    Load(Twice, "one\n");
    Load(Twice, "two");
    EXPECT_EQ(LinesOf(Twice), (TLines{"one", "two"}));
}

// Bytes of this process held in memory now.
long ResidentBytes() {
    long Pages = 0, Resident = 0;
    std::ifstream("/proc/self/statm") >> Pages >> Resident;
    return Resident * sysconf(_SC_PAGESIZE);
}

TEST(LoadFromFile, ALargeFileWhoseTextEndsEarlyTakesLittleMemory) {
    const std::string Name = WriteBytes(MakeTestFolder() / "early.txt", "hello\n\x1a");
    std::filesystem::resize_file(Name, std::size_t(256) << 20);
    const long Before = ResidentBytes();
    TMyStringList Store;
    Store.LoadFromFile(Name);
    EXPECT_EQ(LinesOf(Store), TLines{"hello"});
    EXPECT_LT(ResidentBytes() - Before, 32l << 20);
}

TEST(LineIndex, SearchesOnlyTheGivenRangeForTheSameBytes) {
    std::string Fifty, TwoHundred;
    for (int K = 0; K < 200; ++K)
        (K < 50 ? Fifty : TwoHundred).append("L").append(std::to_string(K)).append("\n");
    TMyStringList Short, Long;
    Load(Short, Fifty);
    Load(Long, Fifty + TwoHundred + "L7\n");
    struct {
        const TMyStringList &Store;
        const char *Line;
        int Start, Count, Expected;
    } const Cases[] = {
        {Short, "L49", 5, 100, 49}, {Short, "L4", 5, 100, -1},  {Long, "L104", 5, 100, 104},
        {Long, "L105", 5, 100, -1}, {Long, "L7", 8, 0, 200},    {Long, "L3", 0, 3, -1},
        {Long, "L0", -4, 1, 0},     {Long, "L7", 201, 100, -1}, {Long, "l7", 0, 0, -1},
        {Long, "L7 ", 0, 0, -1},    {Long, "", 0, 0, -1},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(std::string(Case.Line) + " from " + std::to_string(Case.Start));
        EXPECT_EQ(Case.Store.LineIndex(Case.Line, Case.Start, Case.Count), Case.Expected);
    }
}

// Two different texts with the same key, found by trying variants.
std::pair<std::string, std::string> CollidingTexts(const std::string &Stem) {
    std::unordered_map<std::uint32_t, std::string> Seen;
    for (int K = 0;; ++K) {
        std::string Text = Stem + std::to_string(100000 + K);
        const auto [It, Added] = Seen.emplace(TMyStringList::KeyOf(Text.data(), Text.size()), Text);
        if (!Added)
            return {It->second, Text};
    }
}

TEST(LineIndex, TellsApartTextsWhoseKeysAgree) {
    for (const std::string &Stem : {std::string("key "), std::string(70000, 'k')}) {
        const auto [A, B] = CollidingTexts(Stem);
        TMyStringList Store;
        Load(Store, A + "\n" + B + "\n");
        ASSERT_EQ(Store.LineKey(0), Store.LineKey(1));
        EXPECT_EQ(Store.LineIndex(B.c_str(), 0, 0), 1);
        EXPECT_EQ(Store.LineIndex(A.c_str(), 1, 0), -1);
        EXPECT_EQ(Store.TextLength(1), B.size());
    }
}

TEST(NormaliseBigNumbers, RewritesRunsLongerThanSix) {
    const std::pair<const char *, const char *> Cases[] = {
        {"x=1234567;", "x=999999;"},
        {"-123456", "999999"},
        {"123456", "123456"},
        {"-12345", "-12345"},
        {"12-3456789", "12-999999"},
        {"12 -3456789", "12 999999"},
        {"3.14159265", "3.999999"},
        {"1234567-1234567", "999999-999999"},
        {"1A2B3C4D5E6F7", "1A2B3C4D5E6F7"},
        {"DEADBEEF", "DEADBEEF"},
        {"--12345678", "--999999"},
        {"a 0000000 b +9999999", "a 999999 b 999999"},
        {"", ""},
        {"12345678901234567890", "999999"},
    };
    std::string File;
    for (const auto &[Before, After] : Cases)
        File += std::string(Before) + "\n";
    TMyStringList Store;
    Load(Store, File + std::string("a1234567\0"
                                   "9999999999\n",
                                   20));
    Store.NormaliseBigNumbers(6);
    ASSERT_EQ(Store.Count(), int(std::size(Cases)) + 1);
    for (int K = 0; K < int(std::size(Cases)); ++K) {
        EXPECT_STREQ(Store.Strings(K), Cases[K].second);
        EXPECT_EQ(Store.TextLength(K), std::strlen(Cases[K].second));
    }
    // The zero byte that cuts a line also ends its rewrite.
    EXPECT_STREQ(Store.Strings(Store.Count() - 1), "a999999");
    // Look-ups see the new texts.
    EXPECT_EQ(Store.LineIndex("x=999999;", 0, 0), 0);
    EXPECT_EQ(Store.LineIndex("x=1234567;", 0, 0), -1);
}

TEST(NormaliseBigNumbers, RewritesALongLineOfManyNumbersInOnePass) {
    std::string Line, Expected;
    for (int K = 0; K < 1000000; ++K) {
        Line += K % 3 == 0 ? "-12," : std::to_string(1000000 + K) + ",";
        Expected += K % 3 == 0 ? "-12," : "999999,";
    }
    TMyStringList Store;
    Load(Store, Line + "\nx=1234567\n");
    alarm(10); // moving the rest of the line at every number takes about a minute here
    Store.NormaliseBigNumbers(6);
    alarm(0);
    EXPECT_TRUE(Store.Strings(0) == Expected);
    EXPECT_EQ(Store.TextLength(0), Expected.size());
    EXPECT_STREQ(Store.Strings(1), "x=999999");
}

} // namespace
