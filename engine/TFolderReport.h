#pragma once

#include "Compare.h"
#include "TCompareRequest.h"
#include "TContentCheck.h"
#include "TFileBatch.h"
#include "TFolderWalk.h"
#include "TReportSink.h"

#include <string>
#include <vector>

// True when Name leads to a folder (through links too).
bool IsFolder(const std::string &Name);

// Request as it is compared: a folder given beside a file, either way round,
// stands for the file of that name inside it, as diff takes it; any other
// request is returned unchanged.
TCompareRequest WithFileInFolder(TCompareRequest Request);

// The report of two folders, composed from the walk's paths: one line or
// one section per path, in walk order. A pair of files that differ is
// compared by CompareFiles with the request's options, and its lines follow
// a "Files differ" heading, with the pair's own labels, then the separator
// line; identical files never reach the line walk. Small files are read a
// batch at a time (TFileBatch) ahead of their report lines, which still go
// out in walk order. Memory is that of the largest file pair plus the
// listings on the current path and one batch.
class TFolderReport {
public:
    // How the pairs of files are read: a batch at a time, or each in its
    // turn, as it is written.
    enum class TReading { Batched, InTurn };

    TFolderReport(const TCompareRequest &Request, TReportSink &Report,
                  TReading Reading = TReading::Batched);

    // Walks the request's two folders to the end or to a stop. Never throws:
    // a sink that throws, or memory running out, ends the run quietly.
    TCompareOutcome Run();

private:
    const TCompareRequest &FRequest;
    TReportSink &FReport;
    TCompareOutcome FOutcome;
    TFolderCounts FCounts;
    TContentCheck FContents;
    std::size_t FPaths = 0; // paths written so far

    // A pair of files waiting for its batch to be read. Its texts (path,
    // the two whole names, the two names to open) lie in FPendingText, each
    // followed by a zero byte.
    struct TPending {
        std::size_t Text;
        std::size_t Lengths[5];
        int At1, At2;
    };
    TFileBatch FBatch;
    std::vector<TPending> FPending;
    std::string FPendingText;
    std::vector<TPathEvent> FPendingEvents; // made from FPending when the batch is read

    // Writes what one path stands for, a pair of files from Heads when they
    // were read whole already; false when the run must end.
    bool Write(const TPathEvent &Event, const TFileBytes *Heads = nullptr);
    // Puts the pair of files of Event in the batch.
    void Hold(const TPathEvent &Event);
    // Reads the batch and writes its pairs; false when the run must end.
    bool Flush();
    void Heading(std::string_view Title, std::string_view Path);
    void Unreadable(std::string_view Path, int Error);
    void Identical(std::string_view Path);
    // The line walk of a pair whose bytes differ; false when it was cut short.
    bool CompareTexts(const TPathEvent &Event, std::string_view Path, const TFileBytes *Heads);
    // Lets the window deliver its events; false once a stop is asked for.
    bool Deliver();
};

// Compares the request's two folders into Report (see TFolderReport).
TCompareOutcome CompareFolders(const TCompareRequest &Request, TReportSink &Report);

// "All Done: 3 files differ, 1 only in LABEL1, 2 only in LABEL2, 120
// identical", then ", 1 could not be read" when some path could not be read:
// the status of a folder comparison that went to the end.
std::string FolderStatusText(const TCompareOutcome &Outcome);
