#include "TFolderReport.h"

#include "Compare.h"

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

TFolderReport::TFolderReport(const TCompareRequest &Request, TReportSink &Report)
    : FRequest(Request), FReport(Report) {}

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

bool TFolderReport::CompareTexts(const TPathEvent &Event, std::string_view Path) {
    TCompareRequest Pair = FRequest;
    Pair.FileName1 = Event.FileName1;
    Pair.FileName2 = Event.FileName2;
    TSectionSink Section(FReport, Path);
    const TCompareOutcome Outcome = CompareFiles(Pair, Section);
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

bool TFolderReport::Write(const TPathEvent &Event) {
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
            FContents.Check(Event.File1, Event.File2, [this] { return Deliver(); });
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
            return CompareTexts(Event, Path);
        }
        break;
    }
    }
    return true;
}

TCompareOutcome TFolderReport::Run() {
    try {
        std::tie(FOutcome.Label1, FOutcome.Label2) =
            ReportLabels(FRequest.FileName1, FRequest.FileName2);
        TFolderWalk Walk(FRequest.FileName1, FRequest.FileName2);
        TPathEvent Event;
        bool Going = true;
        while (Going && Walk.Next(Event))
            Going = Write(Event);
        FOutcome.Completed = Going;
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
