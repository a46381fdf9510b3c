#include "Compare.h"

#include "TLookAheadWindow.h"
#include "TMyStringList.h"
#include "Utf8.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <tuple>

bool StopRequested = false;

namespace {

char FoldCase(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

bool SameIgnoringCase(std::string_view A, std::string_view B) {
    if (A.size() != B.size())
        return false;
    for (std::size_t K = 0; K < A.size(); ++K)
        if (FoldCase(A[K]) != FoldCase(B[K]))
            return false;
    return true;
}

// Length of the directory part of Name: up to and including its last
// separator, 0 when it has none.
std::size_t DirectoryLength(std::string_view Name) {
    const std::size_t Last = Name.find_last_of("\\/:");
    return Last == std::string_view::npos ? 0 : Last + 1;
}

// The leading component of a directory remainder: the text before its first
// backslash or slash, empty when it has neither (so "C:" alone counts as an
// empty component).
std::string_view LeadingComponent(std::string_view Remainder) {
    const std::size_t First = Remainder.find_first_of("\\/");
    return First == std::string_view::npos ? std::string_view() : Remainder.substr(0, First);
}

// Name with every control byte written out as \n, \r, \t or \xHH, so two
// names that differ only in such bytes still read apart.
std::string Escaped(std::string_view Name) {
    static const char Hex[] = "0123456789abcdef";
    std::string Text;
    for (const char C : Name) {
        const auto Byte = (unsigned char)C;
        if (Byte >= 32 && Byte != 127)
            Text += C;
        else if (C == '\n')
            Text += "\\n";
        else if (C == '\r')
            Text += "\\r";
        else if (C == '\t')
            Text += "\\t";
        else
            Text += {'\\', 'x', Hex[Byte >> 4], Hex[Byte & 15]};
    }
    return Text;
}

std::string_view TextOf(const TMyStringList &Store, int Index) {
    return std::string_view(Store.Strings(Index), Store.TextLength(Index));
}

// The prefixes of the three kinds of report line, all P characters wide.
struct TPrefixes {
    std::string First;
    std::string Second;
    std::string Common;
};

TPrefixes MakePrefixes(const std::string &Label1, const std::string &Label2) {
    const std::size_t Width = std::max(CharacterCount(Label1), CharacterCount(Label2)) + 2;
    return {PadRight(Label1, Width, ' '), PadRight(Label2, Width, ' '),
            std::string(Width + 1, ' ')};
}

// One walk over both stores in step: appends the report lines and counts
// them in the outcome.
class TWalk {
public:
    TWalk(const TMyStringList &First, const TMyStringList &Second, const TPrefixes &Prefixes,
          const TWalkOptions &Options, TReportSink &Report, TCompareOutcome &Outcome)
        : FFirst(First), FSecond(Second), FPrefixes(Prefixes), FOptions(Options), FReport(Report),
          FOutcome(Outcome), FAheadInFirst(First), FAheadInSecond(Second) {}

    // Walks until both stores are done or the stop flag is seen; true when
    // both are done. Throws whatever the sink throws.
    bool Run() {
        const bool &Stop = *FOptions.Stop;
        const int Count1 = FFirst.Count();
        const int Count2 = FSecond.Count();
        while (!Stop && FI < Count1 && FJ < Count2) {
            Deliver();
            Step();
        }
        while (!Stop && FI < Count1) {
            Deliver();
            OnlyFirst();
        }
        while (!Stop && FJ < Count2) {
            Deliver();
            OnlySecond();
        }
        return FI == Count1 && FJ == Count2;
    }

private:
    const TMyStringList &FFirst;
    const TMyStringList &FSecond;
    const TPrefixes &FPrefixes;
    const TWalkOptions &FOptions;
    TReportSink &FReport;
    TCompareOutcome &FOutcome;
    TLookAheadWindow FAheadInFirst;
    TLookAheadWindow FAheadInSecond;
    int FI = 0;
    int FJ = 0;
    std::string FShown; // a line's text with its big numbers rewritten

    void Deliver() {
        FReport.ProcessMessages(std::size_t(FI) + std::size_t(FJ),
                                std::size_t(FFirst.Count()) + std::size_t(FSecond.Count()));
    }
    // The text the report shows for line Index of Store.
    std::string_view Shown(const TMyStringList &Store, int Index) {
        const std::string_view Text = TextOf(Store, Index);
        if (!FOptions.RewriteShownNumbers)
            return Text;
        FShown.assign(Text);
        if (RewriteBigNumbers(FShown.data(), BigNumberLength))
            FShown.resize(std::strlen(FShown.c_str()));
        return FShown;
    }
    void OnlyFirst() {
        FReport.AppendLine(FPrefixes.First, Shown(FFirst, FI), TLineKind::OnlyInFirst,
                           {.First = std::size_t(FI) + 1});
        ++FI;
        ++FOutcome.OnlyInFirst;
    }
    void OnlySecond() {
        FReport.AppendLine(FPrefixes.Second, Shown(FSecond, FJ), TLineKind::OnlyInSecond,
                           {.Second = std::size_t(FJ) + 1});
        ++FJ;
        ++FOutcome.OnlyInSecond;
    }

    // One step of the decision table.
    void Step() {
        const int K1 = FAheadInSecond.Find(FFirst.Strings(FI), FFirst.LineKey(FI), FJ);
        if (K1 == -1) {
            OnlyFirst();
            return;
        }
        // Line I equals line J, so the look-up from the other side would
        // find I at once: the two current lines are identical.
        if (K1 == FJ) {
            if (!FOptions.OnlyDifferences)
                FReport.AppendLine(FPrefixes.Common, Shown(FFirst, FI), TLineKind::Common,
                                   {std::size_t(FI) + 1, std::size_t(FJ) + 1});
            ++FOutcome.Common;
            ++FI;
            ++FJ;
            return;
        }
        const int K2 = FAheadInFirst.Find(FSecond.Strings(FJ), FSecond.LineKey(FJ), FI);
        if (K2 == -1) {
            OnlySecond();
            return;
        }
        // The side whose line reappears sooner stays; the other side's lines
        // before that reappearance go out in one step. On a tie the first
        // file's lines go.
        if (K2 - FI > K1 - FJ) {
            while (FJ < K1)
                OnlySecond();
        } else {
            while (FI < K2)
                OnlyFirst();
        }
    }
};

} // namespace

std::string PrintableName(std::string Name) {
    for (char &C : Name)
        if ((unsigned char)C < 32 || C == 127)
            C = '?';
    return Name;
}

std::string PadRight(std::string_view S, std::size_t Width, char Fill) {
    std::string Result(S);
    const std::size_t Length = CharacterCount(S);
    if (Width >= Length)
        Result.append(Width - Length + 1, Fill);
    return Result;
}

std::pair<std::string, std::string> MakeLabels(std::string_view FileName1,
                                               std::string_view FileName2) {
    const std::size_t Dir1 = DirectoryLength(FileName1);
    const std::size_t Dir2 = DirectoryLength(FileName2);
    const std::string_view File1 = FileName1.substr(Dir1);
    const std::string_view File2 = FileName2.substr(Dir2);
    if (!SameIgnoringCase(File1, File2))
        return {std::string(File1), std::string(File2)};

    std::string_view Rest1 = FileName1.substr(0, Dir1);
    std::string_view Rest2 = FileName2.substr(0, Dir2);
    while (!Rest1.empty() && !Rest2.empty()) {
        const std::string_view Lead1 = LeadingComponent(Rest1);
        const std::string_view Lead2 = LeadingComponent(Rest2);
        if (!SameIgnoringCase(Lead1, Lead2))
            break;
        // The component and the one character after it (its separator, or
        // the first character when the remainder has no separator) go.
        Rest1.remove_prefix(Lead1.size() + 1);
        Rest2.remove_prefix(Lead2.size() + 1);
    }
    return {std::string(Rest1), std::string(Rest2)};
}

std::pair<std::string, std::string> ReportLabels(std::string_view FileName1,
                                                 std::string_view FileName2) {
    auto Labels = MakeLabels(FileName1, FileName2);
    // An empty label would make its file's own lines look common.
    if (Labels.first.empty() || Labels.second.empty())
        Labels = {std::string(FileName1), std::string(FileName2)};
    Labels = {PrintableName(std::move(Labels.first)), PrintableName(std::move(Labels.second))};
    // Two names that differ only in their control bytes ("a\nb/", "a\rb/")
    // would get one label.
    if (Labels.first == Labels.second)
        Labels = {Escaped(FileName1), Escaped(FileName2)};
    return Labels;
}

std::string LoadErrorText(int Error) {
    if (Error == ENODEV)
        return "Not a regular file";
    return std::strerror(Error);
}

std::string UnfilteredNote(std::size_t Lines) {
    return "the patterns' match limit was hit on " + std::to_string(Lines) +
           (Lines == 1 ? " line; it" : " lines; they") + " compared unfiltered";
}

TLineFolding RunFolding(const TCompareRequest &Request, bool FoldBigNumbers,
                        std::string &PatternError) {
    TTextFilter Filter;
    if (const auto Error = Filter.Compile(Request.IgnoreText))
        PatternError = Error->Text();
    return TLineFolding({.IgnoreCase = Request.IgnoreCase,
                         .IgnoreWhiteSpace = Request.IgnoreWhiteSpace,
                         .IgnoreBigNumbers = FoldBigNumbers && Request.IgnoreBigNumbers},
                        std::move(Filter));
}

void LoadRunFile(const TCompareRequest &Request, const std::string &Name, TMyStringList &Store) {
    if (Name == "-" && Request.StandardInput >= 0)
        Store.LoadFromDescriptor(Request.StandardInput);
    else
        Store.LoadFromFile(Name);
}

bool WalkStores(const TMyStringList &First, const TMyStringList &Second,
                const TWalkOptions &Options, TReportSink &Report, TCompareOutcome &Outcome) {
    const TPrefixes Prefixes = MakePrefixes(Outcome.Label1, Outcome.Label2);
    return TWalk(First, Second, Prefixes, Options, Report, Outcome).Run();
}

TCompareOutcome CompareFiles(const TCompareRequest &Request, TReportSink &Report,
                             const TFileBytes *Bytes) {
    TCompareOutcome Outcome;
    try {
        // Known before the files load, so a stopped run has them too.
        std::tie(Outcome.Label1, Outcome.Label2) =
            ReportLabels(Request.FileName1, Request.FileName2);
        // Without patterns big numbers are rewritten in the text, which the
        // report shows; the patterns must see the text as it was.
        const bool NumbersInText = Request.IgnoreText.empty();
        // Only the line equality changes; the text shown stays the first file's.
        const TLineFolding Folding = RunFolding(Request, !NumbersInText, Outcome.PatternError);
        if (!Outcome.PatternError.empty())
            return Outcome;
        TMyStringList First;
        TMyStringList Second;
        // Reading large files takes a while: the window stays live meanwhile,
        // and a stop given then ends the reading at once.
        const auto Deliver = [&Report] {
            Report.ProcessMessages(0, 0);
            return !StopRequested;
        };
        First.SetReadHook(Deliver);
        Second.SetReadHook(Deliver);
        First.SetFolding(Folding);
        Second.SetFolding(Folding);
        if (Bytes != nullptr)
            First.LoadFromBytes(Bytes->First);
        else
            LoadRunFile(Request, Request.FileName1, First);
        Outcome.LoadError1 = First.LoadError();
        if (!StopRequested) {
            if (Bytes != nullptr)
                Second.LoadFromBytes(Bytes->Second);
            else
                LoadRunFile(Request, Request.FileName2, Second);
            Outcome.LoadError2 = Second.LoadError();
        }
        if (StopRequested) {
            // A stopped read is no read error; nothing of the walk is done.
            Outcome.LoadError1 = Outcome.LoadError1 == ECANCELED ? 0 : Outcome.LoadError1;
            Outcome.LoadError2 = Outcome.LoadError2 == ECANCELED ? 0 : Outcome.LoadError2;
            Outcome.Stopped = true;
            return Outcome;
        }
        Outcome.UnfilteredLines = First.UnfilteredLines() + Second.UnfilteredLines();
        Outcome.Lines = std::size_t(First.Count()) + std::size_t(Second.Count());
        Report.FilesRead(std::size_t(First.Count()), std::size_t(Second.Count()));
        if (Request.IgnoreBigNumbers && NumbersInText) {
            First.NormaliseBigNumbers(BigNumberLength);
            Second.NormaliseBigNumbers(BigNumberLength);
        }
        Outcome.Completed =
            WalkStores(First, Second,
                       {.OnlyDifferences = Request.OnlyDifferences,
                        .RewriteShownNumbers = Request.IgnoreBigNumbers && !NumbersInText},
                       Report, Outcome);
        Outcome.Stopped = !Outcome.Completed;
    } catch (...) {
        // Memory ran out or the report refused a line: the lines appended so
        // far stay, and the run ends quietly.
        Outcome.Broken = true;
        Outcome.Stopped = true;
        Outcome.Completed = false;
    }
    return Outcome;
}
