#include "UnifiedDiff.h"

#include "Compare.h"
#include "TMyStringList.h"

namespace {

// The header of one side, its file now read into Store.
TUnifiedFile HeaderFile(const TUnifiedHeader &Header, const std::string &FileName,
                        const TCompareRequest &Request, const TMyStringList &Store) {
    std::string Time = Header.Time;
    if (Time.empty())
        Time = Header.Absent                                   ? std::string(UnifiedEpochTime)
               : FileName == "-" && Request.StandardInput >= 0 ? UnifiedNowTime()
                                                               : UnifiedFileTime(FileName);
    return {.Name = Header.Name.empty() ? FileName : Header.Name,
            .Time = std::move(Time),
            .Lines = std::size_t(Store.Count()),
            .LastLineEnded = Store.LastLineEnded()};
}

} // namespace

TUnifiedOutcome WriteUnifiedDiff(const TCompareRequest &Request, const TUnifiedOptions &Options,
                                 const TUnifiedWrite &Write) {
    TUnifiedOutcome Outcome;
    TCompareOutcome &Run = Outcome.Run;
    try {
        // Big numbers only fold: the diff shows every line as read.
        const TLineFolding Folding = RunFolding(Request, true, Run.PatternError);
        if (!Run.PatternError.empty())
            return Outcome;
        TMyStringList Stores[2];
        const std::string *Names[2] = {&Request.FileName1, &Request.FileName2};
        const TUnifiedHeader *Headers[2] = {&Options.First, &Options.Second};
        int *Errors[2] = {&Run.LoadError1, &Run.LoadError2};
        for (int Side = 0; Side < 2; ++Side) {
            Stores[Side].SetFolding(Folding);
            if (!Headers[Side]->Absent) {
                LoadRunFile(Request, *Names[Side], Stores[Side]);
                *Errors[Side] = Stores[Side].LoadError();
            }
            if (Outcome.CutFile == 0 && Stores[Side].CutLines() > 0)
                Outcome.CutFile = Side + 1;
        }
        if (Run.LoadError1 != 0 || Run.LoadError2 != 0 || Outcome.CutFile != 0)
            return Outcome;
        Run.UnfilteredLines = Stores[0].UnfilteredLines() + Stores[1].UnfilteredLines();
        TUnifiedSink Sink(
            HeaderFile(Options.First, Request.FileName1, Request, Stores[0]),
            HeaderFile(Options.Second, Request.FileName2, Request, Stores[1]), Options.Context,
            [&Stores](int Side, std::size_t Number) {
                const TMyStringList &Store = Stores[Side];
                const int Index = int(Number - 1);
                return std::string_view(Store.Strings(Index), Store.TextLength(Index));
            },
            Write);
        // The diff is written whole whatever a window's Stop says.
        const bool NeverStop = false;
        Run.Completed = WalkStores(Stores[0], Stores[1], {.Stop = &NeverStop}, Sink, Run);
        Sink.Finish();
        Outcome.Differs = Sink.Differs();
    } catch (...) {
        Run.Broken = true;
        Run.Completed = false;
    }
    Run.Stopped = !Run.Completed;
    return Outcome;
}
