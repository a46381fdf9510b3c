// tarnwell-compare: the comparison of the desktop program, report to
// standard output. Exit status as diff's: 0 no differences, 1 some, 2 trouble.

#include "Compare.h"
#include "TStdoutSink.h"
#include "Version.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char *ProgramName = "tarnwell-compare";

constexpr std::string_view UsageText =
    "Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n"
    "Compare FILE1 and FILE2 line by line and print every line of both behind a\n"
    "label: the name (or folder) of the file it is only in, or blanks when it is\n"
    "in both. Lines are paired within 100 lines of look-ahead.\n"
    "\n"
    "  -d, --only-differences    leave out the lines common to both files\n"
    "  -n, --ignore-big-numbers  read every number of more than 6 characters\n"
    "                            (sign included) as 999999\n"
    "  -i, --ignore-case         ignore the case of the letters A to Z\n"
    "  -w, --ignore-all-space    ignore all spaces, tabs, form feeds and vertical\n"
    "                            tabs when comparing lines\n"
    "  -h, --help                show this help and exit\n"
    "      --version             show the version and exit\n"
    "\n"
    "Lines equal under -i or -w are common and show FILE1's text.\n"
    "A file that cannot be read compares as empty.\n"
    "Exit status is 0 if no line is only in one file, 1 if some line is,\n"
    "2 if trouble.\n";

struct TOptions {
    bool OnlyDifferences = false;
    bool IgnoreBigNumbers = false;
    bool IgnoreCase = false;
    bool IgnoreWhiteSpace = false;
    bool Help = false;
    bool Version = false;
    std::vector<std::string> Files;
};

void Complain(const std::string &Message) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, Message.c_str());
}

int UsageError(const std::string &Message) {
    Complain(Message);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", ProgramName);
    return 2;
}

// Parses the arguments; returns -1 when they are fine, else the exit status.
// Short options combine ("-dn"); "--" ends the options.
int ParseArguments(int Argc, char **Argv, TOptions &Options) {
    bool OptionsEnded = false;
    for (int K = 1; K < Argc; ++K) {
        const std::string_view Arg = Argv[K];
        if (OptionsEnded || Arg.size() < 2 || Arg[0] != '-') {
            Options.Files.emplace_back(Arg);
        } else if (Arg == "--") {
            OptionsEnded = true;
        } else if (Arg == "--only-differences") {
            Options.OnlyDifferences = true;
        } else if (Arg == "--ignore-big-numbers") {
            Options.IgnoreBigNumbers = true;
        } else if (Arg == "--ignore-case") {
            Options.IgnoreCase = true;
        } else if (Arg == "--ignore-all-space") {
            Options.IgnoreWhiteSpace = true;
        } else if (Arg == "--help") {
            Options.Help = true;
        } else if (Arg == "--version") {
            Options.Version = true;
        } else if (Arg[1] == '-') {
            return UsageError("unrecognized option '" + std::string(Arg) + "'");
        } else {
            for (const char Letter : Arg.substr(1)) {
                if (Letter == 'd')
                    Options.OnlyDifferences = true;
                else if (Letter == 'n')
                    Options.IgnoreBigNumbers = true;
                else if (Letter == 'i')
                    Options.IgnoreCase = true;
                else if (Letter == 'w')
                    Options.IgnoreWhiteSpace = true;
                else if (Letter == 'h')
                    Options.Help = true;
                else
                    return UsageError(std::string("invalid option -- '") + Letter + "'");
            }
        }
    }
    if (Options.Help || Options.Version)
        return -1;
    if (Options.Files.size() < 2)
        return UsageError(Options.Files.empty()
                              ? "missing operands FILE1 FILE2"
                              : "missing operand after '" + Options.Files[0] + "'");
    if (Options.Files.size() > 2)
        return UsageError("extra operand '" + Options.Files[2] + "'");
    return -1;
}

int PrintText(std::string_view Text) {
    TStdoutSink Out(STDOUT_FILENO);
    try {
        Out.AppendLine({}, Text, TLineKind::Common);
    } catch (const TStdoutSink::TWriteFailed &) {
    }
    if (!Out.Flush()) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        return 2;
    }
    return 0;
}

} // namespace

int main(int Argc, char **Argv) {
    TOptions Options;
    if (const int Status = ParseArguments(Argc, Argv, Options); Status >= 0)
        return Status;
    if (Options.Help)
        return PrintText(UsageText.substr(0, UsageText.size() - 1));
    if (Options.Version)
        return PrintText(std::string(ProgramName) + " " + TarnwellVersion);

    TStdoutSink Out(STDOUT_FILENO);
    TCompareRequest Request;
    Request.FileName1 = Options.Files[0];
    Request.FileName2 = Options.Files[1];
    Request.OnlyDifferences = Options.OnlyDifferences;
    Request.IgnoreBigNumbers = Options.IgnoreBigNumbers;
    Request.IgnoreCase = Options.IgnoreCase;
    Request.IgnoreWhiteSpace = Options.IgnoreWhiteSpace;
    const TCompareOutcome Outcome = RunComparison(Request, Out);
    const bool Written = Out.Flush();

    int Status = Out.HasDifferences() ? 1 : 0;
    const int LoadErrors[2] = {Outcome.LoadError1, Outcome.LoadError2};
    for (int K = 0; K < 2; ++K) {
        if (LoadErrors[K] != 0) {
            Complain("cannot read " + Options.Files[K] + ": " + LoadErrorText(LoadErrors[K]));
            Status = 2;
        }
    }
    if (!Written) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        Status = 2;
    } else if (Outcome.Broken) {
        Complain("out of memory; the report is incomplete");
        Status = 2;
    }
    return Status;
}
