// tarnwell-compare: the comparison of the desktop program, report to
// standard output. Exit status as diff's: 0 no differences, 1 some, 2 trouble.
// Two folders, or a folder and a file, are compared as the program does.

#include "Compare.h"
#include "TStdoutSink.h"
#include "Version.h"

#include <cstdio>
#include <cstring>
#include <getopt.h>
#include <malloc.h>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr const char *ProgramName = "tarnwell-compare";

constexpr std::string_view UsageText =
    "Usage: tarnwell-compare [OPTION]... FILE1 FILE2\n"
    "Compare FILE1 and FILE2 line by line and print every line of both behind a\n"
    "label: the name (or folder) of the file it is only in, or blanks when it is\n"
    "in both. Lines are paired within 100 lines of look-ahead.\n"
    "Two folders are compared file by file, every path of both trees in turn; a\n"
    "folder and a file compare the file with the one of its name in the folder.\n"
    "\n"
    "  -d, --only-differences    leave out the lines common to both files\n"
    "  -n, --ignore-big-numbers  read every number of more than 6 characters\n"
    "                            (sign included) as 999999\n"
    "  -i, --ignore-case         ignore the case of the letters A to Z\n"
    "  -w, --ignore-all-space    ignore all spaces, tabs, form feeds and vertical\n"
    "                            tabs when comparing lines\n"
    "      --summary             print how the comparison ended to standard error\n"
    "  -h, --help                show this help and exit\n"
    "      --version             show the version and exit\n"
    "\n"
    "Lines equal under -i or -w are common and show FILE1's text.\n"
    "A file that cannot be read compares as empty.\n"
    "Exit status is 0 if no line is only in one file, 1 if some line is,\n"
    "2 if trouble; for folders 0 if nothing differs, 1 if something does,\n"
    "2 if something could not be read.\n";

// What the command line asks for: a comparison, or the help or the version.
struct TCommandLine {
    TCompareRequest Request;
    bool Help = false;
    bool Version = false;
    bool Summary = false;
    std::vector<std::string> Operands;
};

// One option: its long name, its short letter (or a code above 255 for a
// long-only option), whether it takes an argument (getopt_long's
// no_argument, required_argument, optional_argument) and what it sets.
struct TOptionRow {
    const char *Name;
    int Letter;
    int Argument;
    void (*Apply)(TCommandLine &Line, const char *Value);
};

// The codes of the long-only options: no letter has them.
constexpr int VersionOption = 256;
constexpr int SummaryOption = 257;

constexpr TOptionRow OptionTable[] = {
    {"only-differences", 'd', no_argument,
     [](TCommandLine &Line, const char *) { Line.Request.OnlyDifferences = true; }},
    {"ignore-big-numbers", 'n', no_argument,
     [](TCommandLine &Line, const char *) { Line.Request.IgnoreBigNumbers = true; }},
    {"ignore-case", 'i', no_argument,
     [](TCommandLine &Line, const char *) { Line.Request.IgnoreCase = true; }},
    {"ignore-all-space", 'w', no_argument,
     [](TCommandLine &Line, const char *) { Line.Request.IgnoreWhiteSpace = true; }},
    {"summary", SummaryOption, no_argument,
     [](TCommandLine &Line, const char *) { Line.Summary = true; }},
    {"help", 'h', no_argument, [](TCommandLine &Line, const char *) { Line.Help = true; }},
    {"version", VersionOption, no_argument,
     [](TCommandLine &Line, const char *) { Line.Version = true; }},
};

void Complain(const std::string &Message) {
    std::fprintf(stderr, "%s: %s\n", ProgramName, Message.c_str());
}

int UsageError(const std::string &Message) {
    Complain(Message);
    std::fprintf(stderr, "Try '%s --help' for more information.\n", ProgramName);
    return 2;
}

// Whether Arg, a long option getopt_long matched, names it in full: a
// unique abbreviation would do for getopt_long, not here.
bool NamedInFull(std::string_view Arg, std::string_view Name) {
    Arg.remove_prefix(2);
    return Arg.substr(0, Arg.find('=')) == Name;
}

// Parses the arguments into Line; returns -1 when they are fine, else the
// exit status. Options and operands mix in any order; short options combine
// ("-dn"); "--" ends the options; a lone "-" is an operand. The messages
// are getopt's, under the tool's own name whatever argv[0] says.
int ParseArguments(int Argc, char **Argv, TCommandLine &Line) {
    std::string ShortOptions = "-"; // "-": operands come back in order, as code 1
    std::vector<option> LongOptions;
    for (const TOptionRow &Row : OptionTable) {
        if (Row.Letter < 256) {
            ShortOptions += char(Row.Letter);
            ShortOptions += Row.Argument == required_argument   ? ":"
                            : Row.Argument == optional_argument ? "::"
                                                                : "";
        }
        LongOptions.push_back({Row.Name, Row.Argument, nullptr, Row.Letter});
    }
    LongOptions.push_back({});
    opterr = 0;
    optind = 1;
    for (;;) {
        const int At = optind; // the argument a long option is read from
        int Index = -1;
        const int Code = getopt_long(Argc, Argv, ShortOptions.c_str(), LongOptions.data(), &Index);
        if (Code == -1)
            break;
        if (Code == 1) {
            Line.Operands.emplace_back(optarg);
            continue;
        }
        const std::string_view Arg = At < Argc ? Argv[At] : "";
        if (Code == '?' || (Index >= 0 && !NamedInFull(Arg, LongOptions[Index].name))) {
            if (Arg.starts_with("--"))
                return UsageError("unrecognized option '" + std::string(Arg) + "'");
            return UsageError(std::string("invalid option -- '") + char(optopt) + "'");
        }
        for (const TOptionRow &Row : OptionTable)
            if (Row.Letter == Code)
                Row.Apply(Line, optarg);
    }
    for (; optind < Argc; ++optind)
        Line.Operands.emplace_back(Argv[optind]);
    if (Line.Help || Line.Version)
        return -1;
    const std::vector<std::string> &Files = Line.Operands;
    if (Files.size() < 2)
        return UsageError(Files.empty() ? "missing operands FILE1 FILE2"
                                        : "missing operand after '" + Files[0] + "'");
    if (Files.size() > 2)
        return UsageError("extra operand '" + Files[2] + "'");
    Line.Request.FileName1 = Files[0];
    Line.Request.FileName2 = Files[1];
    return -1;
}

int PrintText(std::string_view Text) {
    TStdoutSink Out(STDOUT_FILENO);
    try {
        Out.AppendLine({}, Text, TLineKind::Common, {});
    } catch (const TStdoutSink::TWriteFailed &) {
    }
    if (!Out.Flush()) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        return 2;
    }
    return 0;
}

// 0, 1 or 2 as diff's: for files, whether some line is only in one file,
// 2 when one could not be read; for folders, whether some path differs, 2
// when one could not be read.
int ExitStatus(const TCompareOutcome &Outcome, bool LinesDiffer) {
    if (Outcome.LoadError1 != 0 || Outcome.LoadError2 != 0)
        return 2;
    if (!Outcome.Folders)
        return LinesDiffer ? 1 : 0;
    const TFolderCounts &Counts = *Outcome.Folders;
    if (Counts.Unreadable > 0)
        return 2;
    return Counts.Differ + Counts.OnlyInFirst + Counts.OnlyInSecond > 0 ? 1 : 0;
}

} // namespace

int main(int Argc, char **Argv) {
    // The memory of one file pair serves the next: given back to the system
    // after each of a folder's thousands of pairs, it would cost more than
    // their comparison.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    TCommandLine Line;
    if (const int Status = ParseArguments(Argc, Argv, Line); Status >= 0)
        return Status;
    if (Line.Help)
        return PrintText(UsageText.substr(0, UsageText.size() - 1));
    if (Line.Version)
        return PrintText(std::string(ProgramName) + " " + TarnwellVersion);

    TStdoutSink Out(STDOUT_FILENO);
    const TCompareRequest &Request = Line.Request;
    const TCompareOutcome Outcome = RunComparison(Request, Out);
    const bool Written = Out.Flush();

    int Status = ExitStatus(Outcome, Out.HasDifferences());
    const std::pair<int, const std::string *> LoadErrors[2] = {
        {Outcome.LoadError1, &Outcome.FileName1}, {Outcome.LoadError2, &Outcome.FileName2}};
    for (const auto &[Error, Name] : LoadErrors)
        if (Error != 0)
            Complain("cannot read " + *Name + ": " + LoadErrorText(Error));
    if (Line.Summary)
        std::fprintf(stderr, "%s\n", Out.Status().c_str());
    if (!Written) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        Status = 2;
    } else if (Outcome.Broken) {
        Complain("out of memory; the report is incomplete");
        Status = 2;
    }
    return Status;
}
