#include "TMyStringList.h"
#include "EngineTestSupport.h"

#include <cstring>
#include <gtest/gtest.h>
#include <unordered_map>

namespace {

constexpr int BlockSize = TMyStringList::BlockSize;

std::vector<std::string> LinesOf(const TMyStringList &Store) {
    std::vector<std::string> Lines;
    for (int K = 0; K < Store.Count(); ++K)
        Lines.emplace_back(Store.Strings(K));
    return Lines;
}

void Load(TMyStringList &Store, const std::string &Bytes) {
    const auto Path = MakeTestFolder() / "file.txt";
    WriteBytes(Path, Bytes);
    Store.LoadFromFile(Path.string());
}

TEST(AllocText, TakesNoBlockUntilAsked) {
    TMyStringList Store;
    EXPECT_EQ(Store.Blocks().Count(), 0);
    EXPECT_EQ(Store.Free(), 0);
    EXPECT_EQ(Store.Next(), nullptr);
}

TEST(AllocText, PacksTextsAndAbandonsTheRestOfAFullBlock) {
    TMyStringList Store;
    char *First = Store.AllocText(10);
    ASSERT_EQ(Store.Blocks().Count(), 1);
    EXPECT_EQ(First, Store.Blocks().Items(0));
    EXPECT_EQ(Store.Free(), BlockSize - 10);

    // A request that exactly fills what is left still uses the block.
    char *Second = Store.AllocText(BlockSize - 10);
    EXPECT_EQ(Second, First + 10);
    EXPECT_EQ(Store.Blocks().Count(), 1);
    EXPECT_EQ(Store.Free(), 0);

    char *Third = Store.AllocText(1);
    ASSERT_EQ(Store.Blocks().Count(), 2);
    EXPECT_EQ(Third, Store.Blocks().Items(1));
    EXPECT_EQ(Store.Free(), BlockSize - 1);

    // Too big for the rest: the rest is abandoned for good.
    char *Fourth = Store.AllocText(BlockSize);
    ASSERT_EQ(Store.Blocks().Count(), 3);
    EXPECT_EQ(Fourth, Store.Blocks().Items(2));
    EXPECT_EQ(Store.Free(), 0);
}

TEST(AllocText, GivesATextLargerThanABlockABlockOfItsOwn) {
    TMyStringList Store;
    Store.AllocText(100);
    const char *Next = Store.Next();
    char *Big = Store.AllocText(BlockSize + 1);
    ASSERT_EQ(Store.Blocks().Count(), 2);
    EXPECT_EQ(Big, Store.Blocks().Items(1));
    std::memset(Big, 'x', BlockSize + 1);
    // The current block keeps serving.
    EXPECT_EQ(Store.Next(), Next);
    EXPECT_EQ(Store.Free(), BlockSize - 100);
    EXPECT_EQ(Store.AllocText(5), Next);
}

TEST(LoadFromFile, LineOf31999BytesTakesOneWholeFreshBlock) {
    TMyStringList Store;
    const std::string Long(31999, 'x');
    Load(Store, "abc\n" + Long + "\nd\n");
    ASSERT_EQ(Store.Count(), 3);
    ASSERT_EQ(Store.Blocks().Count(), 3);
    EXPECT_EQ(Store.Strings(0), Store.Blocks().Items(0));
    EXPECT_EQ(Store.Strings(1), Store.Blocks().Items(1));
    EXPECT_EQ(Store.Strings(1), Long);
    EXPECT_EQ(Store.Strings(2), Store.Blocks().Items(2));
    EXPECT_EQ(Store.Free(), BlockSize - 2);
}

TEST(LoadFromFile, LineOf32000BytesGetsItsOwnBlockAndTheCurrentBlockStays) {
    TMyStringList Store;
    const std::string Long(32000, 'y');
    Load(Store, "abc\n" + Long + "\nd\n");
    ASSERT_EQ(LinesOf(Store), (std::vector<std::string>{"abc", Long, "d"}));
    ASSERT_EQ(Store.Blocks().Count(), 2);
    EXPECT_EQ(Store.Strings(1), Store.Blocks().Items(1));
    // "d" follows "abc" in the first block.
    EXPECT_EQ(Store.Strings(2), Store.Strings(0) + 4);
    EXPECT_EQ(Store.Free(), BlockSize - 6);
}

TEST(LoadFromFile, ReadsLongLinesWholeWhereverTheyStand) {
    std::string Big(100000, 'z');
    Big[50000] = 'm';
    const std::string Huge(70001, 'q');
    const std::string Fill(BlockSize - 1, 'f');
    const std::string Double(2 * BlockSize - 1, 'd');
    struct TCase {
        const char *Name;
        std::string Bytes;
        std::vector<std::string> Lines;
    };
    const TCase Cases[] = {
        {"alone, no line end", Big, {Big}},
        {"first, then short lines", Big + "\r\nb\nc", {Big, "b", "c"}},
        {"between short lines", "a\n" + Big + "\rb\n", {"a", Big, "b"}},
        {"two in a row", Big + "\n" + Huge + "\n", {Big, Huge}},
        {"cut at byte 26", Big + "\x1a" + "rest\n", {Big}},
        {"with a zero byte", Big + std::string(1, '\0') + "tail\nx", {Big, "x"}},
        {"CR then LF", "s\n" + Huge + "\r\n\r\nt", {"s", Huge, "", "t"}},
        // The first read fills one block, so the CR is its last byte.
        {"CR LF across a block end", Fill + "\r\ny", {Fill, "y"}},
        // A long line is read in growing steps; this CR ends the second.
        {"CR LF across a long line's read", Double + "\r\nz\n", {Double, "z"}},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TMyStringList Store;
        Load(Store, Case.Bytes);
        EXPECT_EQ(Store.LoadError(), 0);
        EXPECT_EQ(LinesOf(Store), Case.Lines);
        for (int K = 0; K < Store.Count(); ++K)
            EXPECT_EQ(Store.TextLength(K), Case.Lines[K].size());
    }
}

TEST(LoadFromFile, AppendsToWhatTheStoreHolds) {
    TMyStringList Store;
    Load(Store, "one\ntwo\n");
    Load(Store, "three");
    EXPECT_EQ(LinesOf(Store), (std::vector<std::string>{"one", "two", "three"}));
}

// A store of Count lines "L0", "L1", ...
std::string Numbered(int Count) {
    std::string Text;
    for (int K = 0; K < Count; ++K)
        Text.append("L").append(std::to_string(K)).append("\n");
    return Text;
}

TEST(LineIndex, SearchesOnlyTheGivenRange) {
    TMyStringList Short;
    Load(Short, Numbered(50));
    TMyStringList Long;
    Load(Long, Numbered(200));
    struct TCase {
        const TMyStringList &Store;
        const char *Line;
        int Start, Count, Expected;
    };
    const TCase Cases[] = {
        {Short, "L49", 5, 100, 49},  {Short, "L5", 5, 100, 5},   {Short, "L4", 5, 100, -1},
        {Long, "L104", 5, 100, 104}, {Long, "L105", 5, 100, -1}, {Long, "L199", 5, 0, 199},
        {Long, "L3", 0, 3, -1},      {Long, "L2", 0, 3, 2},      {Long, "L0", -4, 1, 0},
        {Long, "L7", 200, 100, -1},  {Long, "l7", 0, 0, -1},     {Long, "L7 ", 0, 0, -1},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(std::string(Case.Line) + " from " + std::to_string(Case.Start));
        EXPECT_EQ(Case.Store.LineIndex(Case.Line, Case.Start, Case.Count), Case.Expected);
    }
}

TEST(LineIndex, FindsTheFirstOfEqualLinesFromStart) {
    TMyStringList Store;
    Load(Store, "x\ny\nx\ny\nx\n");
    EXPECT_EQ(Store.LineIndex("x", 0, 0), 0);
    EXPECT_EQ(Store.LineIndex("x", 1, 0), 2);
    EXPECT_EQ(Store.LineIndex("y", 4, 0), -1);
    EXPECT_EQ(Store.LineIndex("", 0, 0), -1);
}

// Two different texts of Length bytes whose keys agree, found by trying
// numbered variants until two collide.
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
        SCOPED_TRACE(Stem.size());
        const auto [A, B] = CollidingTexts(Stem);
        ASSERT_NE(A, B);
        TMyStringList Store;
        Load(Store, A + "\n" + B + "\n");
        ASSERT_EQ(Store.LineKey(0), Store.LineKey(1));
        EXPECT_EQ(Store.LineIndex(B.c_str(), 0, 0), 1);
        EXPECT_EQ(Store.LineIndex(A.c_str(), 0, 0), 0);
        EXPECT_EQ(Store.LineIndex(A.c_str(), 1, 0), -1);
        EXPECT_EQ(Store.TextLength(1), B.size());
    }
}

TEST(NormaliseBigNumbers, RewritesRunsLongerThanSix) {
    struct TCase {
        const char *Before;
        const char *After;
    };
    const TCase Cases[] = {
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
        {"+-1234567", "+-999999"},
        {"--12345678", "--999999"},
        {"12345678901234567890", "999999"},
        {"a 0000000 b +9999999 c", "a 999999 b 999999 c"},
        {"", ""},
        {"1234567", "999999"},
    };
    std::string File;
    for (const TCase &Case : Cases)
        File += std::string(Case.Before) + "\n";
    TMyStringList Store;
    Load(Store, File);
    Store.NormaliseBigNumbers(6);
    ASSERT_EQ(Store.Count(), int(std::size(Cases)));
    for (int K = 0; K < Store.Count(); ++K) {
        SCOPED_TRACE(Cases[K].Before);
        EXPECT_STREQ(Store.Strings(K), Cases[K].After);
        EXPECT_EQ(Store.TextLength(K), std::strlen(Cases[K].After));
    }
}

TEST(NormaliseBigNumbers, RewrittenLinesAreFoundByTheirNewText) {
    TMyStringList Store;
    Load(Store, "id 1234567 ok\nid 7654321 ok\nid 12 ok\n");
    Store.NormaliseBigNumbers(6);
    EXPECT_EQ(Store.LineIndex("id 999999 ok", 0, 0), 0);
    EXPECT_EQ(Store.LineIndex("id 999999 ok", 1, 0), 1);
    EXPECT_EQ(Store.LineIndex("id 1234567 ok", 0, 0), -1);
    EXPECT_EQ(Store.LineIndex("id 12 ok", 0, 0), 2);
}

TEST(NormaliseBigNumbers, StopsAtTheZeroByteThatCutsALine) {
    TMyStringList Store;
    const char Raw[] = "a1234567\0"
                       "9999999999\nb";
    Load(Store, std::string(Raw, sizeof Raw - 1));
    Store.NormaliseBigNumbers(6);
    ASSERT_EQ(Store.Count(), 2);
    EXPECT_STREQ(Store.Strings(0), "a999999");
    EXPECT_STREQ(Store.Strings(1), "b");
}

} // namespace
