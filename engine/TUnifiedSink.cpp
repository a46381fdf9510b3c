#include "TUnifiedSink.h"

#include <algorithm>
#include <ctime>
#include <sys/stat.h>

namespace {

// Output is handed on in pieces of about this size.
constexpr std::size_t WriteChunk = std::size_t(1) << 20;

constexpr std::string_view NoLineEnd = "\\ No newline at end of file\n";

// Name as a header shows it: as it is, or as a C string when patch could
// not read it back otherwise.
std::string HeaderName(const std::string &Name) {
    const bool Plain = std::none_of(Name.begin(), Name.end(), [](char C) {
        return (unsigned char)C < 32 || C == 127 || C == '"' || C == '\\';
    });
    if (Plain)
        return Name;
    std::string Quoted = "\"";
    for (const char C : Name) {
        switch (C) {
        case '\t':
            Quoted += "\\t";
            break;
        case '\n':
            Quoted += "\\n";
            break;
        case '"':
        case '\\':
            Quoted += '\\';
            Quoted += C;
            break;
        default:
            if ((unsigned char)C < 32 || C == 127) {
                const unsigned char Byte = (unsigned char)C;
                Quoted += '\\';
                Quoted += char('0' + (Byte >> 6));
                Quoted += char('0' + (Byte >> 3 & 7));
                Quoted += char('0' + (Byte & 7));
            } else {
                Quoted += C;
            }
        }
    }
    return Quoted + "\"";
}

// "S,C", "S" for a count of 1, "B,0" for none: B is then the line before.
std::string Range(std::size_t Before, std::size_t Count) {
    if (Count == 1)
        return std::to_string(Before + 1);
    return std::to_string(Count == 0 ? Before : Before + 1) + "," + std::to_string(Count);
}

} // namespace

std::string UnifiedTime(std::int64_t Seconds, long Nanoseconds) {
    const std::time_t When = std::time_t(Seconds);
    std::tm Local{};
    if (localtime_r(&When, &Local) == nullptr)
        return std::string(UnifiedEpochTime);
    char Date[32], Zone[16], Fraction[16];
    std::strftime(Date, sizeof Date, "%Y-%m-%d %H:%M:%S", &Local);
    std::strftime(Zone, sizeof Zone, "%z", &Local);
    std::snprintf(Fraction, sizeof Fraction, ".%09ld ", Nanoseconds);
    return std::string(Date) + Fraction + Zone;
}

std::string UnifiedFileTime(const std::string &Name) {
    struct stat Info;
    if (stat(Name.c_str(), &Info) != 0)
        return std::string(UnifiedEpochTime);
    return UnifiedTime(Info.st_mtim.tv_sec, Info.st_mtim.tv_nsec);
}

std::string UnifiedNowTime() {
    std::timespec Now{};
    clock_gettime(CLOCK_REALTIME, &Now);
    return UnifiedTime(Now.tv_sec, Now.tv_nsec);
}

TUnifiedSink::TUnifiedSink(TUnifiedFile First, TUnifiedFile Second, int Context,
                           TUnifiedLines Lines, TUnifiedWrite Write)
    : FFiles{std::move(First), std::move(Second)}, FContext(std::size_t(std::max(Context, 0))),
      FLines(std::move(Lines)), FWrite(std::move(Write)) {}

void TUnifiedSink::AppendLine(std::string_view, std::string_view, TLineKind Kind,
                              TLineNumbers Numbers) {
    switch (Kind) {
    case TLineKind::OnlyInFirst:
        Removed(Numbers.First);
        return;
    case TLineKind::OnlyInSecond:
        Added(Numbers.Second);
        return;
    case TLineKind::Common:
        break;
    default:
        return;
    }
    // A last line without a line end is part of the text: paired with one
    // that has it, the two differ for patch.
    const bool Open1 = Numbers.First == FFiles[0].Lines && !FFiles[0].LastLineEnded;
    const bool Open2 = Numbers.Second == FFiles[1].Lines && !FFiles[1].LastLineEnded;
    if (Open1 != Open2) {
        Removed(Numbers.First);
        Added(Numbers.Second);
        return;
    }
    TakeChange();
    FCommon1 = Numbers.First;
    FCommon2 = Numbers.Second;
    ++FGap;
    // Once the common lines after a change outnumber two contexts, no later
    // change can share its hunk.
    if (!FHunk.empty() && FGap > 2 * FContext)
        CloseHunk();
}

void TUnifiedSink::Removed(std::size_t Number) {
    if (FRemoved.Count++ == 0)
        FRemoved.First = Number;
}

void TUnifiedSink::Added(std::size_t Number) {
    if (FAdded.Count++ == 0)
        FAdded.Second = Number;
}

void TUnifiedSink::TakeChange() {
    if (FRemoved.Count == 0 && FAdded.Count == 0)
        return;
    // The common lines since the last change join the hunk whole (they are
    // at most two contexts), or, opening one, its leading context.
    const std::size_t Lead = FHunk.empty() ? std::min(FGap, FContext) : FGap;
    if (FHunk.empty()) {
        FBefore1 = FCommon1 - Lead;
        FBefore2 = FCommon2 - Lead;
    }
    if (Lead > 0)
        FHunk.push_back({TRunKind::Context, FCommon1 - Lead + 1, FCommon2 - Lead + 1, Lead});
    for (TRun *Change : {&FRemoved, &FAdded})
        if (Change->Count > 0) {
            FHunk.push_back(*Change);
            Change->Count = 0;
        }
    FGap = 0;
}

void TUnifiedSink::CloseHunk() {
    const std::size_t Trail = std::min(FGap, FContext);
    if (Trail > 0)
        FHunk.push_back({TRunKind::Context, FCommon1 - FGap + 1, FCommon2 - FGap + 1, Trail});
    WriteHunk();
    FHunk.clear();
}

void TUnifiedSink::Finish() {
    TakeChange();
    if (!FHunk.empty())
        CloseHunk();
    if (!FOut.empty()) {
        FWrite(FOut);
        FOut.clear();
    }
}

void TUnifiedSink::WriteHunk() {
    if (!FHeaderWritten) {
        FHeaderWritten = true;
        for (const auto &[Mark, File] : {std::pair{"--- ", &FFiles[0]}, {"+++ ", &FFiles[1]}}) {
            Put(Mark);
            Put(HeaderName(File->Name));
            Put("\t");
            Put(File->Time);
            Put("\n");
        }
    }
    std::size_t Count1 = 0, Count2 = 0;
    for (const TRun &Run : FHunk) {
        Count1 += Run.Kind != TRunKind::Added ? Run.Count : 0;
        Count2 += Run.Kind != TRunKind::Removed ? Run.Count : 0;
    }
    Put("@@ -" + Range(FBefore1, Count1) + " +" + Range(FBefore2, Count2) + " @@\n");
    for (const TRun &Run : FHunk)
        for (std::size_t K = 0; K < Run.Count; ++K) {
            if (Run.Kind == TRunKind::Added)
                WriteLine('+', 1, Run.Second + K);
            else
                WriteLine(Run.Kind == TRunKind::Removed ? '-' : ' ', 0, Run.First + K);
        }
}

void TUnifiedSink::WriteLine(char Mark, int Side, std::size_t Number) {
    const std::string_view Text = FLines(Side, Number);
    FOut += Mark;
    FOut.append(Text);
    FOut += '\n';
    const TUnifiedFile &File = FFiles[Side];
    if (Number == File.Lines && !File.LastLineEnded)
        FOut += NoLineEnd;
    if (FOut.size() >= WriteChunk) {
        FWrite(FOut);
        FOut.clear();
    }
}

void TUnifiedSink::Put(std::string_view Bytes) {
    FOut.append(Bytes);
}
