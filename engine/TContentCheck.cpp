#include "TContentCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// One of the two files: its descriptor and how its reading goes.
struct TSide {
    int Fd = -1;
    std::size_t Got = 0; // bytes in its chunk
    bool AtEnd = false;
    int Error = 0;

    // Opens Name, which was listed as a regular file. O_NONBLOCK: a name
    // swapped for a FIFO since then must not hang.
    bool Open(TFileAt File) {
        Fd = openat(File.At, File.Name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (Fd < 0)
            Error = errno;
        return Fd >= 0;
    }

    // Fills Chunk as far as the file goes; false with Error set on failure.
    // A regular file reads short only at its end, so a short read ends it
    // without a further read to see it end (most files fit in one chunk) and
    // no fstat is needed: every call costs, as trees hold thousands of files.
    bool Fill(char *Chunk) {
        Got = 0;
        while (!AtEnd && Got < TContentCheck::ChunkBytes) {
            const std::size_t Asked = TContentCheck::ChunkBytes - Got;
            const ssize_t Read = read(Fd, Chunk + Got, Asked);
            if (Read < 0) {
                if (errno == EINTR)
                    continue;
                Error = errno == EAGAIN ? ENODEV : errno;
                return false;
            }
            Got += std::size_t(Read);
            AtEnd = std::size_t(Read) < Asked;
        }
        return true;
    }

    bool Binary(const char *Chunk) const {
        return std::memchr(Chunk, 0, std::min(Got, TContentCheck::BinaryBytes)) != nullptr;
    }
};

} // namespace

TContentCheck::TContentCheck() : FBuffer(new char[2 * ChunkBytes]) {}

TContentCheck::~TContentCheck() {
    CloseKept();
}

void TContentCheck::Keep(int Fd) {
    if (Fd < 0)
        return;
    FKept.push_back(Fd);
    if (FKept.size() == KeptFiles)
        CloseKept();
}

// Each run of consecutive numbers goes in one call; only numbers kept here
// are closed, so nothing opened elsewhere in between is touched.
void TContentCheck::CloseKept() {
    std::sort(FKept.begin(), FKept.end());
    for (std::size_t First = 0, Last; First < FKept.size(); First = Last + 1) {
        for (Last = First; Last + 1 < FKept.size() && FKept[Last + 1] == FKept[Last] + 1;)
            ++Last;
        if (Last == First || close_range(unsigned(FKept[First]), unsigned(FKept[Last]), 0) != 0)
            for (std::size_t K = First; K <= Last; ++K)
                close(FKept[K]);
    }
    FKept.clear();
}

TContents TContentCheck::Compare(std::string_view Bytes1, std::string_view Bytes2) {
    if (Bytes1 == Bytes2)
        return TContents::Same;
    const auto Binary = [](std::string_view Bytes) {
        return Bytes.substr(0, BinaryBytes).find('\0') != std::string_view::npos;
    };
    return Binary(Bytes1) || Binary(Bytes2) ? TContents::BinaryDiffers : TContents::TextDiffers;
}

TContentCheck::TResult TContentCheck::Check(TFileAt File1, TFileAt File2,
                                            const std::function<bool()> &Hook) {
    char *Chunk1 = FBuffer.get();
    char *Chunk2 = Chunk1 + ChunkBytes;
    TSide First, Second;
    struct TKeeper {
        TContentCheck &Check;
        TSide &First, &Second;
        ~TKeeper() { Check.Keep(First.Fd), Check.Keep(Second.Fd); }
    } Keeper{*this, First, Second};
    const auto Failed = [&] {
        const bool SecondFailed = First.Error == 0;
        return TResult{TContents::Unreadable, SecondFailed ? Second.Error : First.Error,
                       SecondFailed};
    };
    if (!First.Open(File1) || !Second.Open(File2) || !First.Fill(Chunk1) || !Second.Fill(Chunk2))
        return Failed();
    const TContents Differ = First.Binary(Chunk1) || Second.Binary(Chunk2)
                                 ? TContents::BinaryDiffers
                                 : TContents::TextDiffers;
    // Only files larger than a chunk are worth the sizes: of different
    // sizes, they differ without being read on (a size of 0 may be a
    // kernel's file that reads as more).
    if (!First.AtEnd || !Second.AtEnd) {
        struct stat Info1, Info2;
        if (fstat(First.Fd, &Info1) == 0 && fstat(Second.Fd, &Info2) == 0 &&
            Info1.st_size != Info2.st_size && Info1.st_size > 0 && Info2.st_size > 0)
            return {Differ};
    }
    for (;;) {
        if (First.Got != Second.Got || std::memcmp(Chunk1, Chunk2, First.Got) != 0)
            return {Differ};
        if (First.AtEnd && Second.AtEnd)
            return {TContents::Same};
        if (Hook && !Hook())
            return {TContents::Stopped};
        if (!First.Fill(Chunk1) || !Second.Fill(Chunk2))
            return Failed();
    }
}
