#include "CommandLine.h"

#include "Version.h"

TCommandLine ParseCommandLine(const std::vector<std::string> &Arguments) {
    TCommandLine line;
    // The first fault is kept, and the scan goes on, so that --help is
    // still seen after an argument the toolkit would have taken.
    const auto fail = [&line](const std::string &Why) {
        if (line.Error.empty())
            line.Error = Why;
    };
    bool optionsEnded = false;
    bool configurationSeen = false;
    for (std::size_t i = 1; i < Arguments.size(); ++i) {
        const std::string &argument = Arguments[i];
        const bool option = !optionsEnded && (argument.rfind("--", 0) == 0 || argument == "-h");
        if (!option) {
            // A second name would be lost silently: refuse it instead.
            if (configurationSeen)
                fail("more than one configuration name: '" + argument + "'");
            else
                line.Configuration = argument;
            configurationSeen = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h") {
            line.Help = true;
        } else if (argument == "--version") {
            line.Version = true;
        } else if (argument == "--compare") {
            if (!line.Files.empty()) {
                fail("--compare given twice");
                continue;
            }
            // One file, or two; a further argument is the configuration. No
            // file at all is a plain start: the desktop entry's "--compare %F"
            // with nothing selected.
            for (int taken = 0;
                 taken < 2 && i + 1 < Arguments.size() && Arguments[i + 1].rfind("--", 0) != 0;
                 ++taken)
                line.Files.push_back(Arguments[++i]);
        } else {
            fail("unknown option '" + argument + "'");
        }
    }
    return line;
}

std::string UsageText() {
    return "Usage: tarnwell [--compare FILE1 [FILE2]] [CONFIGURATION]\n"
           "Compares two text files line by line and shows the report in a window.\n"
           "\n"
           "  --compare FILE1 FILE2  compare the two files at once, with the dialog's options\n"
           "  --compare FILE         open the compare dialog with FILE as \"A File\"\n"
           "  CONFIGURATION          use the named configuration for the whole run\n"
           "  --help                 show this help and exit\n"
           "  --version              show the version and exit\n";
}

std::string VersionText() {
    return std::string("tarnwell ") + TarnwellVersion + "\n";
}
