#include "UnifiedTrees.h"

#include "Compare.h"
#include "TContentCheck.h"
#include "TFolderWalk.h"
#include "TTextFilter.h"
#include "UnifiedDiff.h"

#include <string>

namespace {

class TTreeDiff {
public:
    TTreeDiff(const TCompareRequest &Request, int Context, const TUnifiedWrite &Write,
              const TUnifiedNote &Note)
        : FRequest(Request), FContext(Context), FWrite(Write), FNote(Note) {}

    TUnifiedTreeOutcome Run() {
        try {
            if (const auto Error = TTextFilter::Check(FRequest.IgnoreText)) {
                FOutcome.PatternError = Error->Text();
                return FOutcome;
            }
            TFolderWalk Walk(FRequest.FileName1, FRequest.FileName2);
            TPathEvent Event;
            while (!FOutcome.Broken && Walk.Next(Event))
                Path(Event);
        } catch (...) {
            FOutcome.Broken = true;
        }
        return FOutcome;
    }

private:
    const TCompareRequest &FRequest;
    const int FContext;
    const TUnifiedWrite &FWrite;
    const TUnifiedNote &FNote;
    TUnifiedTreeOutcome FOutcome;
    TContentCheck FContents;

    void Tell(std::string_view Title, std::string_view Path, bool Trouble) {
        FNote(std::string(Title) + PrintableName(std::string(Path)), Trouble);
        FOutcome.Trouble = FOutcome.Trouble || Trouble;
    }

    void Unreadable(std::string_view Path, int Error) {
        Tell("Cannot read: ", std::string(Path) + ": " + LoadErrorText(Error), true);
    }

    void Binary(const std::string &Name1, const std::string &Name2) {
        FWrite("Binary files " + Name1 + " and " + Name2 + " differ\n");
        FOutcome.Differs = true;
    }

    // One pair of files, either of them absent.
    void Pair(const std::string &Name1, const std::string &Name2, bool Absent1, bool Absent2) {
        TCompareRequest Pair = FRequest;
        Pair.FileName1 = Name1;
        Pair.FileName2 = Name2;
        const TUnifiedOutcome Outcome = WriteUnifiedDiff(
            Pair,
            {.Context = FContext, .First = {.Absent = Absent1}, .Second = {.Absent = Absent2}},
            FWrite);
        if (Outcome.Run.Broken) {
            FOutcome.Broken = true;
        } else if (Outcome.Run.LoadError1 != 0 || Outcome.Run.LoadError2 != 0) {
            const bool First = Outcome.Run.LoadError1 != 0;
            Unreadable(First ? Name1 : Name2,
                       First ? Outcome.Run.LoadError1 : Outcome.Run.LoadError2);
        } else if (Outcome.CutFile != 0) {
            // A zero byte past the first block: no hunk can carry it either.
            Binary(Name1, Name2);
        } else {
            FOutcome.Differs = FOutcome.Differs || Outcome.Differs;
        }
    }

    // Every file below Folder, a folder only one tree has, against an absent
    // one below Other; walked against itself, so links and loops are met as
    // in the two trees.
    void OnlyIn(const std::string &Folder, const std::string &Other, bool First) {
        TFolderWalk Walk(Folder, Folder);
        TPathEvent Event;
        while (!FOutcome.Broken && Walk.Next(Event)) {
            const std::string Below = std::string(Event.FileName1).substr(Folder.size());
            const std::string Name = Folder + Below, OtherName = Other + Below;
            switch (Event.Kind) {
            case TPathKind::Files:
                if (First)
                    Pair(Name, OtherName, false, true);
                else
                    Pair(OtherName, Name, true, false);
                break;
            case TPathKind::NotRegular:
                Tell("Skipped (not a regular file): ", Name, false);
                break;
            case TPathKind::LinkLoop:
                Tell("Skipped (link loop): ", Name, false);
                break;
            case TPathKind::Unreadable:
                Unreadable(Event.FailedName, Event.Error);
                break;
            default:
                break;
            }
        }
    }

    void Path(const TPathEvent &Event) {
        const std::string Name1(Event.FileName1), Name2(Event.FileName2);
        switch (Event.Kind) {
        case TPathKind::Folders:
            break;
        case TPathKind::OnlyInFirst:
        case TPathKind::OnlyInSecond: {
            const bool First = Event.Kind == TPathKind::OnlyInFirst;
            if (!Event.Path.empty() && Event.Path.back() == '/')
                OnlyIn(First ? Name1 : Name2, First ? Name2 : Name1, First);
            else
                Pair(Name1, Name2, !First, First);
            break;
        }
        case TPathKind::FileAndFolder:
            Tell("File and folder: ", Event.Path, false);
            FOutcome.Differs = true;
            break;
        case TPathKind::NotRegular:
            Tell("Skipped (not a regular file): ", Event.Path, false);
            break;
        case TPathKind::LinkLoop:
            Tell("Skipped (link loop): ", Event.Path, false);
            break;
        case TPathKind::Unreadable:
            Unreadable(Event.Path.empty() ? Event.FailedName : Event.Path, Event.Error);
            break;
        case TPathKind::Files: {
            if (Event.SameFile)
                break;
            const TContentCheck::TResult Result =
                FContents.Check(Event.File1, Event.File2, [] { return true; });
            if (Result.Contents == TContents::BinaryDiffers)
                Binary(Name1, Name2);
            else if (Result.Contents == TContents::Unreadable)
                Unreadable(Event.Path, Result.Error);
            else if (Result.Contents == TContents::TextDiffers)
                Pair(Name1, Name2, false, false);
            break;
        }
        }
    }
};

} // namespace

TUnifiedTreeOutcome WriteUnifiedTrees(const TCompareRequest &Request, int Context,
                                      const TUnifiedWrite &Write, const TUnifiedNote &Note) {
    return TTreeDiff(Request, Context, Write, Note).Run();
}
