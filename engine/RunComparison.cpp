#include "Compare.h"

#include "StoppedStatus.h"
#include "TFolderReport.h"

#include <cctype>
#include <utility>

// A run of either kind: two files by the walk, two folders by the folder
// report, which takes its pairs to the walk.

namespace {

// The status text of a run that has ended as Outcome tells.
std::string StatusText(const TCompareRequest &Request, const TCompareOutcome &Outcome) {
    if (!Outcome.PatternError.empty()) {
        std::string Text = Outcome.PatternError;
        Text[0] = char(std::toupper((unsigned char)Text[0]));
        return Text;
    }
    if (!Outcome.Completed && Outcome.Folders)
        return std::string(StatusStopped);
    if (!Outcome.Completed) {
        // A common line is a step in each file.
        const std::size_t Walked = Outcome.OnlyInFirst + Outcome.OnlyInSecond + 2 * Outcome.Common;
        return StoppedStatus(Walked, Outcome.Lines);
    }
    if (Outcome.Folders)
        return FolderStatusText(Outcome);
    std::string Unread;
    for (const auto &[Error, Name] : {std::pair{Outcome.LoadError1, &Request.FileName1},
                                      std::pair{Outcome.LoadError2, &Request.FileName2}})
        if (Error != 0)
            Unread += (Unread.empty() ? "Cannot read " : " and ") + PrintableName(*Name);
    if (!Unread.empty())
        return Unread;
    if (!Request.Compare)
        return std::string(StatusAllDone);
    auto Lines = [](std::size_t Count) {
        return std::to_string(Count) + (Count == 1 ? " line" : " lines");
    };
    return std::string(StatusAllDone) + ": " + Lines(Outcome.OnlyInFirst) + " only in " +
           Outcome.Label1 + ", " + std::to_string(Outcome.OnlyInSecond) + " only in " +
           Outcome.Label2 + ", " + std::to_string(Outcome.Common) + " in both" +
           (Outcome.UnfilteredLines > 0 ? "; " + UnfilteredNote(Outcome.UnfilteredLines) : "");
}

} // namespace

TCompareOutcome RunComparison(const TCompareRequest &Asked, TReportSink &Report) {
    StopRequested = false;
    const TCompareRequest Request = WithFileInFolder(Asked);
    TCompareOutcome Outcome;
    bool Prepared = true;
    try {
        if (Request.Clear) {
            Report.Clear();
        } else {
            Report.AppendLine({}, {}, TLineKind::Separator, {});
            Report.AppendLine({}, SeparatorLine, TLineKind::Separator, {});
            Report.AppendLine({}, {}, TLineKind::Separator, {});
        }
    } catch (...) {
        // A report that cannot be prepared takes no lines either.
        Outcome.Broken = true;
        Prepared = false;
    }
    if (Request.Compare && Prepared)
        Outcome = IsFolder(Request.FileName1) && IsFolder(Request.FileName2)
                      ? CompareFolders(Request, Report)
                      : CompareFiles(Request, Report);
    else
        Outcome.Completed = Prepared;
    Outcome.FileName1 = Request.FileName1;
    Outcome.FileName2 = Request.FileName2;
    Outcome.Stopped = !Outcome.Completed;
    try {
        Report.SetStatus(StatusText(Request, Outcome));
    } catch (...) {
        Outcome.Broken = true;
    }
    return Outcome;
}
