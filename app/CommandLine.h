#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program was asked for on its command line:
//   tarnwell [--compare FILE1 [FILE2]] [CONFIGURATION] | --help | --version
// Options may stand anywhere and "--" ends them, so a name that starts with
// "-" follows "--". With --compare the first one or two other arguments are
// files and a third names the configuration; without it the one other
// argument does. Qt's own options (-style, -platform, -reverse ...) are
// recognised as options, and only they go to Qt. Arguments are the bytes
// given: names that are not valid UTF-8 come back unchanged.
struct TCommandLine {
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Files; // the one or two files of --compare
    std::string Configuration;      // empty: the default configuration
    std::string Error;              // why the line cannot be used; empty when it can
    // Qt's options found, each with its value, in the order given.
    std::vector<std::string> ToolkitArguments;
};

TCommandLine ParseCommandLine(const std::vector<std::string> &Arguments);

// The texts --help and --version print.
std::string UsageText();
std::string VersionText();

// What the program does without a window: prints the help or the version to
// the standard output, or the fault and a hint to the standard error, and
// returns the exit status (0, or 2 for a fault or when the text could not be
// written whole). Nothing, printing nothing, when the window is to run.
std::optional<int> AnswerWithoutWindow(const TCommandLine &Line);
