#include "TStdoutSink.h"

#include "TChangeMarker.h"

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

TStdoutSink::TStdoutSink(int Fd, std::size_t BufferSize, TOutputStyle Style)
    : FFd(Fd), FSize(BufferSize < 64 ? 64 : BufferSize), FBuffer(new char[FSize]), FStyle(Style) {}

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
    try {
        WriteBlock();
    } catch (const TWriteFailed &) {
    }
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
                             TLineNumbers Numbers) {
    const bool OnlyIn = Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond;
    if (OnlyIn)
        FHasDifferences = true;
    if (FStyle.Colour && OnlyIn) {
        FBlock.push_back({Kind, std::string(Prefix), std::string(Text), Numbers});
        return;
    }
    if (FStyle.LineNumbers || FStyle.Colour) {
        WriteBlock();
        PutStyled(Prefix, Text, Kind, Numbers, {});
        return;
    }
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

namespace {

std::size_t Digits(std::size_t Number) {
    std::size_t Count = 1;
    for (; Number >= 10; Number /= 10)
        ++Count;
    return Count;
}

} // namespace

void TStdoutSink::FilesRead(std::size_t Lines1, std::size_t Lines2) {
    FWidth1 = Digits(Lines1);
    FWidth2 = Digits(Lines2);
}

// Blanks for 0: the line is not in that file.
void TStdoutSink::PutNumber(std::size_t Number, std::size_t Width) {
    char Text[24];
    std::size_t At = sizeof Text;
    for (std::size_t Left = Number; Left > 0 && At > 0; Left /= 10)
        Text[--At] = char('0' + Left % 10);
    const std::string Blanks(Width > sizeof Text - At ? Width - (sizeof Text - At) : 0, ' ');
    Put(Blanks);
    Put(std::string_view(Text + At, sizeof Text - At));
}

void TStdoutSink::PutStyled(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                            TLineNumbers Numbers, const std::vector<TSpan> &Spans) {
    const bool Coloured =
        FStyle.Colour && (Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond);
    if (Coloured)
        Put(Kind == TLineKind::OnlyInFirst ? "\x1b[31m" : "\x1b[32m");
    Put(Prefix);
    // The report's own lines stand in no file.
    if (FStyle.LineNumbers && Kind != TLineKind::Separator && Kind != TLineKind::Heading) {
        PutNumber(Numbers.First, FWidth1);
        Put(" ");
        PutNumber(Numbers.Second, FWidth2);
        Put("  ");
    }
    std::size_t At = 0;
    for (const TSpan &Span : Spans) {
        Put(Text.substr(At, Span.Start - At));
        Put("\x1b[7m");
        Put(Text.substr(Span.Start, Span.Length));
        Put("\x1b[27m");
        At = Span.Start + Span.Length;
    }
    Put(Text.substr(At));
    Put(Coloured ? "\x1b[m\n" : "\n");
}

void TStdoutSink::WriteBlock() {
    if (FBlock.empty())
        return;
    std::vector<TLineKind> Kinds;
    std::vector<std::string_view> Texts;
    for (const TLine &Line : FBlock) {
        Kinds.push_back(Line.Kind);
        Texts.push_back(Line.Text);
    }
    const std::vector<std::vector<TSpan>> Spans = MarkBlock(Kinds, Texts);
    // Written or not, the block is done: a failed write ends the run.
    const std::vector<TLine> Block = std::move(FBlock);
    FBlock.clear();
    for (std::size_t K = 0; K < Block.size(); ++K)
        PutStyled(Block[K].Prefix, Block[K].Text, Block[K].Kind, Block[K].Numbers, Spans[K]);
}
