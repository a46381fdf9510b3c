#include "TStdoutSink.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {

// Copies Length bytes, inline for the short pieces report lines are made of
// (a call to memcpy costs more than the copy). Reads and writes only the
// Length bytes; fine with Length 0 and a null Source.
inline void CopyBytes(char *Target, const char *Source, std::size_t Length) {
    std::uint64_t Head, Tail;
    if (Length >= 8 && Length <= 16) {
        std::memcpy(&Head, Source, 8);
        std::memcpy(&Tail, Source + Length - 8, 8);
        std::memcpy(Target, &Head, 8);
        std::memcpy(Target + Length - 8, &Tail, 8);
    } else if (Length > 16 && Length <= 32) {
        char Start[16], End[16];
        std::memcpy(Start, Source, 16);
        std::memcpy(End, Source + Length - 16, 16);
        std::memcpy(Target, Start, 16);
        std::memcpy(Target + Length - 16, End, 16);
    } else if (Length < 8) {
        for (std::size_t K = 0; K < Length; ++K)
            Target[K] = Source[K];
    } else {
        std::memcpy(Target, Source, Length);
    }
}

} // namespace

TStdoutSink::TStdoutSink(int Fd, std::size_t BufferSize)
    : FFd(Fd), FSize(BufferSize < 64 ? 64 : BufferSize), FBuffer(new char[FSize]) {}

// Output left in the buffer is the caller's to flush (and check); a sink
// destroyed during unwinding must not write.
TStdoutSink::~TStdoutSink() = default;

bool TStdoutSink::WriteAll(const char *Data, std::size_t Length) noexcept {
    if (FError != 0)
        return false;
    while (Length > 0) {
        const ssize_t Written = write(FFd, Data, Length);
        if (Written < 0) {
            if (errno == EINTR)
                continue;
            FError = errno;
            return false;
        }
        Data += Written;
        Length -= std::size_t(Written);
    }
    return true;
}

bool TStdoutSink::Flush() noexcept {
    const bool Ok = WriteAll(FBuffer.get(), FUsed);
    FUsed = 0;
    return Ok;
}

// Bytes longer than the whole buffer bypass it once it is emptied.
void TStdoutSink::Put(std::string_view Bytes) {
    if (Bytes.size() > FSize - FUsed) {
        if (!Flush())
            throw TWriteFailed();
        if (Bytes.size() > FSize) {
            if (!WriteAll(Bytes.data(), Bytes.size()))
                throw TWriteFailed();
            return;
        }
    }
    if (!Bytes.empty())
        std::memcpy(FBuffer.get() + FUsed, Bytes.data(), Bytes.size());
    FUsed += Bytes.size();
}

void TStdoutSink::AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                             TLineNumbers) {
    if (Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond)
        FHasDifferences = true;
    const std::size_t Length = Prefix.size() + Text.size() + 1;
    if (Length <= FSize - FUsed) {
        char *Out = FBuffer.get() + FUsed;
        CopyBytes(Out, Prefix.data(), Prefix.size());
        CopyBytes(Out + Prefix.size(), Text.data(), Text.size());
        Out[Length - 1] = '\n';
        FUsed += Length;
        return;
    }
    Put(Prefix);
    Put(Text);
    Put("\n");
}
