#pragma once

#include <cstddef>
#include <string>

// What one comparison run is asked to do.
struct TCompareRequest {
    bool Clear = true;             // empty the report first; otherwise append the separator
    std::string FileName1;         // the first file, as given
    std::string FileName2;         // the second file, as given
    bool Compare = true;           // walk the files; false only prepares the report
    bool OnlyDifferences = false;  // leave out the lines common to both files
    bool IgnoreBigNumbers = false; // read every number of more than 6 characters as 999999
    bool IgnoreCase = false;       // lines equal but for the case of A to Z are common
    bool IgnoreWhiteSpace = false; // lines equal but for spaces, tabs, FF and VT are common
};

// How a comparison went, for a caller that must tell (the status text, a
// window title, the command-line tool's exit status and messages). The
// report itself never shows it.
struct TCompareOutcome {
    int LoadError1 = 0;     // errno that stopped reading the first file; 0 when read whole
    int LoadError2 = 0;     // the same for the second file
    bool Broken = false;    // the run ended early: memory ran out or the sink threw
    bool Completed = false; // the walk reached the end of both files (or Compare was false)
    bool Stopped = false;   // not Completed: a stop, a sink that threw, or memory
    std::string Label1;     // the labels of the run; empty when Compare was false
    std::string Label2;
    std::size_t OnlyInFirst = 0;  // lines reported as only in the first file
    std::size_t OnlyInSecond = 0; // lines reported as only in the second file
    std::size_t Common = 0;       // lines in both files, also when they were left out
    std::size_t Lines = 0;        // lines of both files together, once both were read
};

// The texts of a load error: strerror's, except for a name that is not a
// regular file.
std::string LoadErrorText(int Error);
