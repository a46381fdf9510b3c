#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// What one comparison run is asked to do.
struct TCompareRequest {
    bool Clear = true;             // empty the report first; otherwise append the separator
    std::string FileName1 = {};    // the first file, as given
    std::string FileName2 = {};    // the second file, as given
    bool Compare = true;           // walk the files; false only prepares the report
    bool OnlyDifferences = false;  // leave out the lines common to both files
    bool IgnoreBigNumbers = false; // read every number of more than 6 characters as 999999
    bool IgnoreCase = false;       // lines equal but for the case of A to Z are common
    bool IgnoreWhiteSpace = false; // lines equal but for spaces, tabs, FF and VT are common
    // PCRE2 patterns whose matches are removed from every line before it is
    // compared, in this order (then the options above fold what is left).
    std::vector<std::string> IgnoreText = {};
    int StandardInput = -1; // a file named "-" is read from this descriptor; -1: none is
};

// What a comparison of two folders found, path by path.
struct TFolderCounts {
    std::size_t Differ = 0;       // file pairs (or a file and a folder) that differ
    std::size_t OnlyInFirst = 0;  // paths only in the first tree
    std::size_t OnlyInSecond = 0; // paths only in the second tree
    std::size_t Identical = 0;    // file pairs with nothing only in one of them
    std::size_t Unreadable = 0;   // paths that could not be read
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
    std::size_t OnlyInFirst = 0;     // lines reported as only in the first file
    std::size_t OnlyInSecond = 0;    // lines reported as only in the second file
    std::size_t Common = 0;          // lines in both files, also when they were left out
    std::size_t Lines = 0;           // lines of both files together, once both were read
    std::string PatternError;        // why a pattern could not be used; nothing was read
    std::size_t UnfilteredLines = 0; // lines that hit the patterns' match limit: compared whole
    // The names compared: the request's, or for a folder given beside a
    // file, the file of that name inside it.
    std::string FileName1;
    std::string FileName2;
    std::optional<TFolderCounts> Folders; // set when two folders were compared
};

// The texts of a load error: strerror's, except for a name that is not a
// regular file.
std::string LoadErrorText(int Error);
