#include "TFolderReport.h"

#include "Compare.h"

#include <iterator>
#include <sys/stat.h>
#include <vector>

namespace {

// Holds a pair's common lines back until its first line only in one file:
// a pair that is equal under the options then writes nothing of its own,
// and one that differs gets its heading before its first line.
class TSectionSink : public TReportSink {
public:
    TSectionSink(TReportSink &Target, std::string_view Path) : FTarget(Target), FPath(Path) {}

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override {
        if (!FOpened && Kind == TLineKind::Common) {
            if (FLines.empty())
                FCommonPrefix = Prefix; // the same for every common line
            FHeld.append(Text);
            FLines.push_back({FHeld.size(), Numbers});
            return;
        }
        if (!FOpened)
            Open();
        FTarget.AppendLine(Prefix, Text, Kind, Numbers);
    }
    // A pair's comparison neither empties the report nor sets its status.
    void Clear() override {}
    void SetStatus(std::string_view) override {}
    void ProcessMessages(std::size_t Done, std::size_t Total) override {
        FTarget.ProcessMessages(Done, Total);
    }
    // Each pair's numbers take the widths of its own files' line counts.
    void FilesRead(std::size_t Lines1, std::size_t Lines2) override {
        FTarget.FilesRead(Lines1, Lines2);
    }

    bool Opened() const { return FOpened; }

private:
    struct THeldLine {
        std::size_t End; // in FHeld
        TLineNumbers Numbers;
    };
    TReportSink &FTarget;
    std::string_view FPath;
    bool FOpened = false;
    std::string FCommonPrefix;
    std::string FHeld; // the texts of the held lines, back to back
    std::vector<THeldLine> FLines;

    void Open() {
        FOpened = true;
        FTarget.AppendLine("Files differ: ", FPath, TLineKind::Heading, {});
        std::size_t Start = 0;
        for (std::size_t K = 0; K < FLines.size() && !StopRequested; ++K) {
            // A long run of held lines must not keep the window's events waiting.
            if (K % 4096 == 4095)
                FTarget.ProcessMessages(0, 0);
            FTarget.AppendLine(FCommonPrefix,
                               std::string_view(FHeld).substr(Start, FLines[K].End - Start),
                               TLineKind::Common, FLines[K].Numbers);
            Start = FLines[K].End;
        }
        FHeld = std::string();
        FLines = std::vector<THeldLine>();
    }
};

// The name's last component, trailing slashes left out.
std::string BaseName(std::string_view Name) {
    while (Name.size() > 1 && Name.back() == '/')
        Name.remove_suffix(1);
    const std::size_t Slash = Name.rfind('/');
    return std::string(Slash == std::string_view::npos ? Name : Name.substr(Slash + 1));
}

std::string Counted(std::size_t Count, const char *One, const char *Many) {
    return std::to_string(Count) + (Count == 1 ? One : Many);
}

} // namespace

bool IsFolder(const std::string &Name) {
    struct stat Info;
    return !Name.empty() && stat(Name.c_str(), &Info) == 0 && S_ISDIR(Info.st_mode);
}

TCompareRequest WithFileInFolder(TCompareRequest Request) {
    const bool Folder1 = IsFolder(Request.FileName1);
    if (Folder1 == IsFolder(Request.FileName2))
        return Request;
    std::string &Folder = Folder1 ? Request.FileName1 : Request.FileName2;
    const std::string File = BaseName(Folder1 ? Request.FileName2 : Request.FileName1);
    if (File.empty() || File == "/")
        return Request;
    if (Folder.back() != '/')
        Folder += '/';
    Folder += File;
    return Request;
}

TFolderReport::TFolderReport(const TCompareRequest &Request, TReportSink &Report, TReading Reading)
    : FRequest(Request), FReport(Report), FBatch(Reading == TReading::Batched) {}

bool TFolderReport::Deliver() {
    FReport.ProcessMessages(0, 0);
    return !StopRequested;
}

void TFolderReport::Heading(std::string_view Title, std::string_view Path) {
    FReport.AppendLine(Title, Path, TLineKind::Heading, {});
}

void TFolderReport::Unreadable(std::string_view Path, int Error) {
    ++FCounts.Unreadable;
    FReport.AppendLine("Cannot read: ", std::string(Path) + ": " + LoadErrorText(Error),
                       TLineKind::Heading, {});
}

void TFolderReport::Identical(std::string_view Path) {
    ++FCounts.Identical;
    if (!FRequest.OnlyDifferences)
        Heading("Identical: ", Path);
}

bool TFolderReport::CompareTexts(const TPathEvent &Event, std::string_view Path,
                                 const TFileBytes *Heads) {
    TCompareRequest Pair = FRequest;
    Pair.FileName1 = Event.FileName1;
    Pair.FileName2 = Event.FileName2;
    TSectionSink Section(FReport, Path);
    const TCompareOutcome Outcome = CompareFiles(Pair, Section, Heads);
    if (Outcome.Broken)
        FOutcome.Broken = true;
    if (!Outcome.Completed)
        return false;
    if (Section.Opened()) {
        ++FCounts.Differ;
        FReport.AppendLine({}, SeparatorLine, TLineKind::Separator, {});
    }
    // The file changed or went since its bytes were compared.
    if (Outcome.LoadError1 != 0 || Outcome.LoadError2 != 0)
        Unreadable(Path, Outcome.LoadError1 != 0 ? Outcome.LoadError1 : Outcome.LoadError2);
    else if (!Section.Opened())
        Identical(Path);
    return true;
}

bool TFolderReport::Write(const TPathEvent &Event, const TFileBytes *Heads) {
    if (Event.Kind == TPathKind::Folders)
        return Deliver();
    FReport.FilesCompared(++FPaths);
    if (!Deliver())
        return false;
    const std::string Path = PrintableName(std::string(Event.Path));
    switch (Event.Kind) {
    case TPathKind::Folders:
        break;
    case TPathKind::OnlyInFirst:
        ++FCounts.OnlyInFirst;
        FReport.AppendLine("Only in " + FOutcome.Label1 + ": ", Path, TLineKind::OnlyInFirst, {});
        break;
    case TPathKind::OnlyInSecond:
        ++FCounts.OnlyInSecond;
        FReport.AppendLine("Only in " + FOutcome.Label2 + ": ", Path, TLineKind::OnlyInSecond, {});
        break;
    case TPathKind::FileAndFolder:
        ++FCounts.Differ;
        Heading("File and folder: ", Path);
        break;
    case TPathKind::NotRegular:
        Heading("Skipped (not a regular file): ", Path);
        break;
    case TPathKind::LinkLoop:
        Heading("Skipped (link loop): ", Path);
        break;
    case TPathKind::Unreadable:
        // The two folders themselves have no path of their own.
        Unreadable(Path.empty() ? PrintableName(std::string(Event.FailedName)) : Path, Event.Error);
        break;
    case TPathKind::Files: {
        if (Event.SameFile) {
            Identical(Path);
            break;
        }
        const TContentCheck::TResult Result =
            Heads != nullptr
                ? TContentCheck::TResult{TContentCheck::Compare(Heads->First, Heads->Second)}
                : FContents.Check(Event.File1, Event.File2, [this] { return Deliver(); });
        switch (Result.Contents) {
        case TContents::Same:
            Identical(Path);
            break;
        case TContents::BinaryDiffers:
            ++FCounts.Differ;
            Heading("Binary files differ: ", Path);
            break;
        case TContents::Unreadable:
            Unreadable(Path, Result.Error);
            break;
        case TContents::Stopped:
            return false;
        case TContents::TextDiffers:
            return CompareTexts(Event, Path, Heads);
        }
        break;
    }
    }
    return true;
}

void TFolderReport::Hold(const TPathEvent &Event) {
    TPending Pending{FPendingText.size(), {}, Event.File1.At, Event.File2.At};
    const std::string_view Texts[] = {Event.Path, Event.FileName1, Event.FileName2,
                                      Event.File1.Name, Event.File2.Name};
    for (std::size_t K = 0; K < std::size(Texts); ++K) {
        Pending.Lengths[K] = Texts[K].size();
        FPendingText.append(Texts[K]).push_back('\0');
    }
    FPending.push_back(Pending);
}

bool TFolderReport::Flush() {
    FPendingEvents.clear();
    FBatch.Clear();
    for (const TPending &Pending : FPending) {
        std::string_view Texts[5];
        const char *Text = FPendingText.data() + Pending.Text;
        for (std::size_t K = 0; K < std::size(Texts); ++K) {
            Texts[K] = {Text, Pending.Lengths[K]};
            Text += Pending.Lengths[K] + 1;
        }
        TPathEvent &Event = FPendingEvents.emplace_back();
        Event.Path = Texts[0];
        Event.FileName1 = Texts[1];
        Event.FileName2 = Texts[2];
        Event.File1 = {Pending.At1, Texts[3].data()};
        Event.File2 = {Pending.At2, Texts[4].data()};
        FBatch.Add(Event.File1);
        FBatch.Add(Event.File2);
    }
    FPending.clear();
    FBatch.Read();
    bool Going = true;
    for (std::size_t K = 0; K < FPendingEvents.size() && Going; ++K) {
        const std::string_view *Head1 = FBatch.Head(2 * K), *Head2 = FBatch.Head(2 * K + 1);
        const TFileBytes Heads{Head1 ? *Head1 : "", Head2 ? *Head2 : ""};
        Going = Write(FPendingEvents[K], Head1 && Head2 ? &Heads : nullptr);
    }
    FPendingText.clear();
    return Going;
}

TCompareOutcome TFolderReport::Run() {
    try {
        std::tie(FOutcome.Label1, FOutcome.Label2) =
            ReportLabels(FRequest.FileName1, FRequest.FileName2);
        TFolderWalk Walk(FRequest.FileName1, FRequest.FileName2);
        TPathEvent Event;
        bool Going = true;
        // A pair of files waits in the batch while the walk keeps its
        // folders open; anything else first writes the pairs before it.
        while (Going && Walk.Next(Event)) {
            if (Event.Kind == TPathKind::Files && !Event.SameFile && FBatch.Ringed()) {
                Hold(Event);
                if (2 * FPending.size() == TFileBatch::MaxFiles || !Walk.HoldsFolders())
                    Going = Flush();
            } else {
                Going = Flush() && Write(Event);
            }
        }
        FOutcome.Completed = Going && Flush();
    } catch (...) {
        // Memory ran out or the report refused a line: what was written stays.
        FOutcome.Broken = true;
        FOutcome.Completed = false;
    }
    FOutcome.Stopped = !FOutcome.Completed;
    FOutcome.Folders = FCounts;
    return FOutcome;
}

TCompareOutcome CompareFolders(const TCompareRequest &Request, TReportSink &Report) {
    return TFolderReport(Request, Report).Run();
}

std::string FolderStatusText(const TCompareOutcome &Outcome) {
    const TFolderCounts Counts = Outcome.Folders.value_or(TFolderCounts());
    std::string Text = std::string(StatusAllDone) + ": " +
                       Counted(Counts.Differ, " file differs", " files differ") + ", " +
                       std::to_string(Counts.OnlyInFirst) + " only in " + Outcome.Label1 + ", " +
                       std::to_string(Counts.OnlyInSecond) + " only in " + Outcome.Label2 + ", " +
                       std::to_string(Counts.Identical) + " identical";
    if (Counts.Unreadable > 0)
        Text += ", " + std::to_string(Counts.Unreadable) + " could not be read";
    return Text;
}
