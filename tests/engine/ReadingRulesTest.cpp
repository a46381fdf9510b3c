#include "EngineTestSupport.h"
#include "TMyStringList.h"

#include <cerrno>
#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::vector<std::string> LinesOf(const TMyStringList &Store) {
    std::vector<std::string> Lines;
    for (int K = 0; K < Store.Count(); ++K)
        Lines.emplace_back(Store.Strings(K));
    return Lines;
}

std::vector<std::string> LoadLines(const std::string &Bytes) {
    const auto Path = MakeTestFolder() / "in.txt";
    WriteBytes(Path, Bytes);
    TMyStringList Store;
    Store.LoadFromFile(Path.string());
    EXPECT_EQ(Store.LoadError(), 0);
    return LinesOf(Store);
}

using TLines = std::vector<std::string>;

TEST(ReadingRules, SplitLinesAsTextFilesEndThem) {
    struct TCase {
        const char *Name;
        std::string Bytes;
        TLines Lines;
    };
    const TCase Cases[] = {
        {"empty file", "", {}},
        {"one LF", "\n", {""}},
        {"one CR", "\r", {""}},
        {"one CR LF", "\r\n", {""}},
        {"LF ends", "a\nb\n", {"a", "b"}},
        {"CR LF ends", "a\r\nb\r\n", {"a", "b"}},
        {"CR ends", "a\rb\r", {"a", "b"}},
        {"no final line end", "a\r\nb", {"a", "b"}},
        {"mixed ends", "a\nb\r\nc\rd", {"a", "b", "c", "d"}},
        {"LF CR is two ends", "a\n\rb", {"a", "", "b"}},
        {"CR CR LF", "a\r\r\nb", {"a", "", "b"}},
        {"empty lines kept", "\n\nx\n\n", {"", "", "x", ""}},
        {"byte 26 ends the file",
         std::string("a\nb\x1a"
                     "c\nd\n"),
         {"a", "b"}},
        {"byte 26 after a line end", std::string("a\n\x1a\n"), {"a"}},
        {"byte 26 first",
         std::string("\x1a"
                     "a\n"),
         {}},
        {"zero byte cuts the text", std::string("ab\0cd\nef", 8), {"ab", "ef"}},
        {"zero byte alone is a line", std::string("\0", 1), {""}},
        {"tabs and high bytes kept", "\t\xff\xfe x\n", {"\t\xff\xfe x"}},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        EXPECT_EQ(LoadLines(Case.Bytes), Case.Lines);
    }
}

TEST(ReadingRules, NamesThatAreNotReadableFilesGiveAnEmptyStore) {
    const auto Folder = MakeTestFolder();
    const auto Fifo = Folder / "pipe";
    ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
    struct TCase {
        std::string Name;
        int Error;
    };
    const TCase Cases[] = {
        {(Folder / "missing.txt").string(), ENOENT},
        {"", ENOENT},
        {std::string("a\0b", 3), ENOENT},
        {Folder.string(), EISDIR},
        {Fifo.string(), ENODEV},
        {"/dev/zero", ENODEV},
        {(Folder / "missing" / "x.txt").string(), ENOENT},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        // A store that waits on a FIFO or reads /dev/zero forever fails here.
        alarm(20);
        TMyStringList Store;
        Store.LoadFromFile(Case.Name);
        alarm(0);
        EXPECT_EQ(Store.Count(), 0);
        EXPECT_EQ(Store.Blocks().Count(), 0);
        EXPECT_EQ(Store.LoadError(), Case.Error);
    }
}

// The reading rules written out plainly: each line as its raw bytes, zero
// bytes included.
TLines ReferenceSplit(const std::string &Bytes) {
    TLines Lines;
    std::string Current;
    for (std::size_t K = 0; K < Bytes.size(); ++K) {
        const char C = Bytes[K];
        if (C == 26)
            break;
        if (C == '\r' || C == '\n') {
            Lines.push_back(Current);
            Current.clear();
            if (C == '\r' && K + 1 < Bytes.size() && Bytes[K + 1] == '\n')
                ++K;
            continue;
        }
        Current += C;
    }
    if (!Current.empty())
        Lines.push_back(Current);
    return Lines;
}

// Which block holds Text, and where in it.
std::pair<int, std::ptrdiff_t> Place(const TMyStringList &Store, const char *Text) {
    for (int B = 0; B < Store.Blocks().Count(); ++B) {
        const char *Base = static_cast<const char *>(Store.Blocks().Items(B));
        if (Text >= Base && Text < Base + TMyStringList::BlockSize)
            return {B, Text - Base};
    }
    return {-1, 0};
}

class TRandom {
public:
    explicit TRandom(std::uint64_t Seed) : FState(Seed * 0x9E3779B97F4A7C15ull + 1) {}
    unsigned Below(unsigned Limit) {
        FState ^= FState << 13;
        FState ^= FState >> 7;
        FState ^= FState << 17;
        return unsigned(FState % Limit);
    }

private:
    std::uint64_t FState;
};

std::string RandomFile(TRandom &Random) {
    std::string Bytes;
    const unsigned Pieces = 50 + Random.Below(2000);
    for (unsigned K = 0; K < Pieces; ++K) {
        switch (Random.Below(12)) {
        case 0:
            Bytes += "\r\n";
            break;
        case 1:
            Bytes += '\r';
            break;
        case 2:
        case 3:
            Bytes += '\n';
            break;
        case 4:
            Bytes += '\0';
            break;
        case 5:
            if (Random.Below(40) == 0)
                Bytes.append(20000 + Random.Below(60000), char('a' + Random.Below(26)));
            break;
        default:
            Bytes.append(1 + Random.Below(120), char('a' + Random.Below(26)));
            break;
        }
    }
    if (Random.Below(10) == 0)
        Bytes.insert(Random.Below(unsigned(Bytes.size()) + 1), 1, '\x1a');
    return Bytes;
}

// Reading in place must give the lines of the plain rules, laid out in the
// blocks exactly as placing each line with AllocText would.
TEST(ReadingRules, RandomFilesMatchThePlainRulesAndTheBlockLayout) {
    const auto Path = MakeTestFolder() / "random.txt";
    for (std::uint64_t Seed = 1; Seed <= 120; ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TRandom Random(Seed);
        const std::string Bytes = RandomFile(Random);
        WriteBytes(Path, Bytes);
        TMyStringList Store;
        Store.LoadFromFile(Path.string());
        const TLines Raw = ReferenceSplit(Bytes);
        ASSERT_EQ(Store.Count(), int(Raw.size()));

        TMyStringList Placed;
        for (int K = 0; K < Store.Count(); ++K) {
            const std::string Text = Raw[K].substr(0, Raw[K].find('\0'));
            ASSERT_EQ(Store.Strings(K), Text) << "line " << K;
            ASSERT_EQ(Store.TextLength(K), Text.size()) << "line " << K;
            const char *Expected = Placed.AllocText(std::int32_t(Raw[K].size() + 1));
            if (Raw[K].size() + 1 > std::size_t(TMyStringList::BlockSize)) {
                EXPECT_EQ(Store.Strings(K), Store.Blocks().Items(Placed.Blocks().Count() - 1));
            } else {
                ASSERT_EQ(Place(Store, Store.Strings(K)), Place(Placed, Expected)) << "line " << K;
            }
        }
        EXPECT_EQ(Store.Blocks().Count(), Placed.Blocks().Count());
        EXPECT_EQ(Store.Free(), Placed.Free());
    }
}

// Large files take their blocks from one reserved area; a long line found
// in such a block moves to a block of its own.
TEST(ReadingRules, LargeFilesWithLongLinesKeepTheirLayout) {
    const auto Path = MakeTestFolder() / "large.txt";
    TRandom Random(99);
    std::string Bytes;
    while (Bytes.size() < 5000000) {
        Bytes.append(1 + Random.Below(60), char('a' + Random.Below(26)));
        Bytes += Random.Below(3) == 0 ? "\r\n" : "\n";
        if (Random.Below(3000) == 0)
            Bytes.append(32000 + Random.Below(50000), 'L') += '\n';
    }
    WriteBytes(Path, Bytes);
    TMyStringList Store;
    Store.LoadFromFile(Path.string());
    const TLines Raw = ReferenceSplit(Bytes);
    ASSERT_EQ(Store.Count(), int(Raw.size()));
    TMyStringList Placed;
    for (int K = 0; K < Store.Count(); ++K) {
        ASSERT_EQ(Store.Strings(K), Raw[K]) << "line " << K;
        const char *Expected = Placed.AllocText(std::int32_t(Raw[K].size() + 1));
        if (Raw[K].size() + 1 > std::size_t(TMyStringList::BlockSize))
            ASSERT_EQ(Store.Strings(K), Store.Blocks().Items(Placed.Blocks().Count() - 1));
        else
            ASSERT_EQ(Place(Store, Store.Strings(K)), Place(Placed, Expected)) << "line " << K;
    }
    EXPECT_EQ(Store.Blocks().Count(), Placed.Blocks().Count());
    EXPECT_EQ(Store.Free(), Placed.Free());
}

} // namespace
