#include "TStdoutSink.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

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

void TStdoutSink::AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind) {
    if (Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond)
        FHasDifferences = true;
    const std::size_t Length = Prefix.size() + Text.size() + 1;
    if (Length <= FSize - FUsed) {
        char *Out = FBuffer.get() + FUsed;
        // An empty view may carry a null pointer, which memcpy must not see.
        if (!Prefix.empty())
            std::memcpy(Out, Prefix.data(), Prefix.size());
        if (!Text.empty())
            std::memcpy(Out + Prefix.size(), Text.data(), Text.size());
        Out[Length - 1] = '\n';
        FUsed += Length;
        return;
    }
    Put(Prefix);
    Put(Text);
    Put("\n");
}
