#include "EngineTestSupport.h"
#include "TMyStringList.h"

#include <algorithm>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using TLines = std::vector<std::string>;

// The reading rules written out plainly: each line's raw bytes.
TLines ReferenceSplit(const std::string &Bytes) {
    TLines Lines;
    std::string Current;
    for (std::size_t K = 0; K < Bytes.size() && Bytes[K] != 26; ++K) {
        if (Bytes[K] != '\r' && Bytes[K] != '\n') {
            Current += Bytes[K];
            continue;
        }
        Lines.push_back(Current);
        Current.clear();
        if (Bytes[K] == '\r' && K + 1 < Bytes.size() && Bytes[K + 1] == '\n')
            ++K;
    }
    if (!Current.empty())
        Lines.push_back(Current);
    return Lines;
}

// Which of Blocks holds Text, and where in it.
std::pair<int, long> Place(const TList &Blocks, const char *Text) {
    for (int B = 0; B < Blocks.Count(); ++B) {
        const char *Base = static_cast<const char *>(Blocks.Items(B));
        if (Text >= Base && Text < Base + TMyStringList::BlockSize)
            return {B, Text - Base};
    }
    return {-1, 0};
}

std::string RandomBytes(TRandom &Random, std::size_t Size) {
    static const char *const Ends[] = {"\r\n", "\r", "\n", "\n"};
    std::string Bytes;
    while (Bytes.size() < Size) {
        const unsigned Pick = Random.Below(12);
        if (Pick < 4)
            Bytes += Ends[Pick];
        else if (Pick == 4)
            Bytes += '\0';
        else
            Bytes.append(Random.Below(300) == 0 ? 20000 + Random.Below(60000)
                                                : 1 + Random.Below(120),
                         char('a' + Random.Below(26)));
    }
    if (Random.Below(10) == 0)
        Bytes.insert(Random.Below(unsigned(Bytes.size()) + 1), 1, '\x1a');
    return Bytes;
}

// Reading in place gives the lines of the plain rules, laid out in the
// blocks exactly as placing each line with TTextBlocks::AllocText would. The
// larger files take their blocks from one reserved area. Before the random
// texts: the smallest, and long lines whose ends fall at block edges (the
// first read fills one block, so its last byte is the CR; a long line is read
// in steps).
TEST(TLineReader, FilesMatchThePlainRulesAndTheBlockLayout) {
    const std::string Fill(TMyStringList::BlockSize - 1, 'f'), Double(2 * Fill.size() + 1, 'd');
    const std::string Edges[] = {"",
                                 "\r",
                                 "\n",
                                 "\x1a"
                                 "a\n",
                                 "a\n\x1a\n",
                                 std::string("ab\0cd\nef", 8),
                                 Fill + "\r\ny",
                                 Double + "\r\nz\n",
                                 Double + "\x1a" + "rest\n"};
    for (unsigned Seed = 0; Seed <= 100 + std::size(Edges); ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        TRandom Random(Seed);
        const std::string Bytes =
            Seed < std::size(Edges)
                ? Edges[Seed]
                : RandomBytes(Random, Seed % 10 == 0 ? 3000000 : Random.Below(150000));
        TMyStringList Store;
        TTextBlocks Placed;
        EXPECT_EQ(LoadBytes(Store, Bytes), 0);
        const TLines Raw = ReferenceSplit(Bytes);
        ASSERT_EQ(Store.Count(), int(Raw.size()));
        for (int K = 0; K < Store.Count(); ++K) {
            const std::string Text = Raw[K].substr(0, Raw[K].find('\0'));
            ASSERT_EQ(Store.Strings(K), Text) << "line " << K;
            ASSERT_EQ(Store.TextLength(K), Text.size()) << "line " << K;
            const char *Expected = Placed.AllocText(int(Raw[K].size() + 1));
            if (Raw[K].size() >= std::size_t(TMyStringList::BlockSize))
                ASSERT_EQ(Store.Strings(K), Store.Blocks().Items(Placed.List().Count() - 1));
            else
                ASSERT_EQ(Place(Store.Blocks(), Store.Strings(K)), Place(Placed.List(), Expected))
                    << "line " << K;
        }
        EXPECT_EQ(Store.Blocks().Count(), Placed.List().Count());
        EXPECT_EQ(Store.Free(), Placed.Cursor().Free);
        // What a unified diff must know: lines a zero byte cut, and whether
        // the last line had a line end (byte 26 is none).
        const std::string Read = Bytes.substr(0, Bytes.find('\x1a'));
        EXPECT_EQ(Store.LastLineEnded(), Raw.empty() || Read.back() == '\n' || Read.back() == '\r');
        EXPECT_EQ(Store.CutLines(), std::size_t(std::count_if(Raw.begin(), Raw.end(), [](auto &L) {
                      return L.find('\0') != std::string::npos;
                  })));
    }
}

// Standard input is read to its end, a piece at a time, in the lines the
// same bytes give from memory.
TEST(TLineReader, ADescriptorIsReadWhole) {
    TRandom Random(5);
    const std::string Bytes = RandomBytes(Random, 400000);
    const int Fd = open(WriteBytes(MakeTestFolder() / "in", Bytes).c_str(), O_RDONLY);
    TMyStringList FromDescriptor, FromMemory, Closed;
    FromDescriptor.LoadFromDescriptor(Fd);
    close(Fd);
    LoadBytes(FromMemory, Bytes);
    EXPECT_EQ(FromDescriptor.LoadError(), 0);
    ASSERT_EQ(FromDescriptor.Count(), FromMemory.Count());
    for (int K = 0; K < FromDescriptor.Count(); ++K)
        ASSERT_STREQ(FromDescriptor.Strings(K), FromMemory.Strings(K)) << "line " << K;
    Closed.LoadFromDescriptor(-1);
    EXPECT_EQ(Closed.LoadError(), EBADF);
}

} // namespace
