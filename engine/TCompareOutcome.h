#pragma once

#include "TReportSink.h"

#include <string>

// How a comparison went, for a caller that must tell (the command-line
// tool's exit status and messages). The report itself never shows it.
struct TCompareOutcome {
    int LoadError1 = 0;  // errno that stopped reading the first file; 0 when read whole
    int LoadError2 = 0;  // the same for the second file
    bool Broken = false; // the run ended early: memory ran out or the sink threw
};

// The texts of a load error: strerror's, except for a name that is not a
// regular file.
std::string LoadErrorText(int Error);

// CompareFiles and RunComparison of Compare.h, also telling how the run went.
void CompareFiles(const std::string &FileName1, const std::string &FileName2, TReportSink &Report,
                  bool OnlyDifferences, bool IgnoreBigNumbers, TCompareOutcome &Outcome);
void RunComparison(TReportSink &Report, bool Clear, const std::string &FileName1,
                   const std::string &FileName2, bool Compare, bool OnlyDifferences,
                   bool IgnoreBigNumbers, TCompareOutcome &Outcome);
