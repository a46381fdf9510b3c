#pragma once

#include <string>
#include <vector>

// What the program was asked for on its command line:
//   tarnwell [--compare FILE1 [FILE2]] [CONFIGURATION] | --help | --version
// Arguments starting with "--" (and "-h") are options; the first other
// argument that is not a file of --compare names the configuration.
struct TCommandLine {
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Files; // the one or two files of --compare
    std::string Configuration;      // empty: the default configuration
    std::string Error;              // why the line cannot be used; empty when it can
};

TCommandLine ParseCommandLine(const std::vector<std::string> &Arguments);

// The texts --help and --version print.
std::string UsageText();
std::string VersionText();
