#include "TFileBatch.h"
#include "EngineTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::size_t Head = TFileBatch::HeadBytes;

// A head is given only when it is surely the whole file: not for a file
// one byte longer, an empty one, a name that went, a folder, or a FIFO,
// whose writer sends nothing or that has none (neither may hold the
// batch). Two full batches in turn use the same slots and buffers.
TEST(FileBatch, GivesOnlyWholeFiles) {
    TFileBatch Batch;
    if (!Batch.Ringed())
        GTEST_SKIP() << "no io_uring here: every head is missing by design";
    const fs::path Folder = MakeTestFolder();
    // Name, and the bytes written there (none: not a file of ours).
    const std::pair<const char *, std::optional<std::string>> Files[] = {
        {"empty", ""},
        {"one", "x"},
        {"short", std::string(Head - 1, 'a') + '\0'},
        {"head", std::string(Head, 'b')},
        {"longer", std::string(Head + 1, 'c')},
        {"gone", std::nullopt},
        {".", std::nullopt},
        {"fifo", std::nullopt},
        {"lonely", std::nullopt},
    };
    for (const auto &[Name, Bytes] : Files)
        if (Bytes)
            WriteBytes(Folder / Name, *Bytes);
    // Some file systems (older overlay mounts) read nothing without waiting.
    {
        const int Fd = open((Folder / "one").c_str(), O_RDONLY);
        char Byte = 0;
        iovec Vector{&Byte, 1};
        const ssize_t Got = preadv2(Fd, &Vector, 1, 0, RWF_NOWAIT);
        close(Fd);
        if (Got != 1)
            GTEST_SKIP() << "this file system does not read without waiting";
    }
    mkfifo((Folder / "fifo").c_str(), 0600);
    mkfifo((Folder / "lonely").c_str(), 0600);
    const int Writer = open((Folder / "fifo").c_str(), O_RDWR | O_NONBLOCK);
    const int At = open(Folder.c_str(), O_RDONLY | O_DIRECTORY);
    for (std::size_t Round = 0; Round < 2; ++Round) {
        const auto File = [&](std::size_t K) { return Files[(K + Round) % std::size(Files)]; };
        Batch.Clear();
        for (std::size_t K = 0; K < TFileBatch::MaxFiles; ++K)
            Batch.Add({At, File(K).first});
        Batch.Read();
        for (std::size_t K = 0; K < TFileBatch::MaxFiles; ++K) {
            const auto &[Name, Bytes] = File(K);
            const std::string_view *Got = Batch.Head(K);
            if (Bytes && !Bytes->empty() && Bytes->size() <= Head)
                EXPECT_TRUE(Got != nullptr && *Got == *Bytes) << Name;
            else
                EXPECT_EQ(Got, nullptr) << Name;
        }
    }
    close(At);
    close(Writer);
}

} // namespace
