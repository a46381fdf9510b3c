// tarnwell-compare: the comparison of the desktop program, report to
// standard output. Exit status as diff's: 0 no differences, 1 some, 2 trouble.
// Two folders, or a folder and a file, are compared as the program does.

#include "Compare.h"
#include "TFolderReport.h"
#include "TStdoutSink.h"
#include "TTextFilter.h"
#include "UnifiedDiff.h"
#include "UnifiedTrees.h"
#include "Version.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
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
    "                            (sign included) as 999999; the report shows\n"
    "                            such numbers as 999999 too\n"
    "  -i, --ignore-case         ignore the case of the letters A to Z\n"
    "  -w, --ignore-all-space    ignore all spaces, tabs, form feeds and vertical\n"
    "                            tabs when comparing lines\n"
    "      --summary             print how the comparison ended to standard error\n"
    "      --ignore-text=REGEX   remove every match of the Perl-compatible REGEX\n"
    "                            from each line before comparing it; may be given\n"
    "                            more than once (applied in order, before -i, -w\n"
    "                            and -n)\n"
    "  -u, -U NUM, --unified[=NUM]\n"
    "                            write a unified diff, as diff -u does, with NUM\n"
    "                            (default 3) lines of context, for patch\n"
    "  -N, --line-numbers        show each line's numbers in FILE1 and FILE2\n"
    "      --color[=WHEN]        colour the lines only in one file and mark their\n"
    "                            changed characters; WHEN is 'never' (the default),\n"
    "                            'always' or 'auto' (the default of --color alone)\n"
    "  -h, --help                show this help and exit\n"
    "      --version             show the version and exit\n"
    "\n"
    "FILE1 or FILE2 may be '-': standard input, read to its end (at a terminal,\n"
    "end it with Ctrl+D at the start of a line).\n"
    "Lines equal under -i, -w, -n or --ignore-text are common and show FILE1's\n"
    "text. A line ends at LF, CR LF or CR; byte 26 ends a file. A NUL byte ends\n"
    "its line: the rest of the line is neither compared nor shown.\n"
    "The unified diff pairs lines as the report does and writes each line as read\n"
    "with LF after it: patch -o OUT FILE1 < DIFF rebuilds FILE2 byte for byte\n"
    "when both files end their lines in LF and hold no byte 26. Lines that end in\n"
    "CR LF or CR come out ending in LF, so patch will not apply the diff to such\n"
    "a file until its line ends are LF. -u cannot be used with -d or -N; a file\n"
    "that holds a zero byte gives no diff. Two folders give one diff of the trees,\n"
    "as diff -ruN does: a file only in one is compared with an empty one, and\n"
    "patch -p1 in a copy of FOLDER1 makes FOLDER2; files holding a zero byte\n"
    "write \"Binary files A and B differ\", other paths it cannot carry are told\n"
    "on standard error.\n"
    "A file that cannot be read compares as empty (with -u: no diff is written).\n"
    "Exit status is 0 if no line is only in one file, 1 if some line is,\n"
    "2 if trouble; for folders 0 if nothing differs, 1 if something does,\n"
    "2 if something could not be read.\n";

// When --color colours the report.
enum class TColourWhen { Never, Always, Auto };

// What the command line asks for: a comparison, or the help or the version.
struct TCommandLine {
    TCompareRequest Request;
    bool Help = false;
    bool Version = false;
    bool Summary = false;
    int Context = -1;  // lines of context of a unified diff; -1: the report
    std::string Error; // what was wrong with an option's value
    std::vector<std::string> Operands;
    bool LineNumbers = false;
    TColourWhen Colour = TColourWhen::Never;
};

// Sets the unified diff's context from Value, a count of lines.
void SetContext(TCommandLine &Line, const char *Value) {
    const std::string_view Text = Value;
    if (Text.empty() || Text.find_first_not_of("0123456789") != std::string_view::npos) {
        Line.Error = "invalid context length '" + std::string(Text) + "'";
        return;
    }
    // More context than any file has lines is all context.
    const unsigned long long Count = std::strtoull(Value, nullptr, 10);
    Line.Context = Count > INT_MAX ? INT_MAX : int(Count);
}

// One option: its long name (nullptr for a short-only option), its short
// letter (or a code above 255 for a long-only option), whether it takes an
// argument (getopt_long's no_argument, required_argument,
// optional_argument) and what it sets.
struct TOptionRow {
    const char *Name;
    int Letter;
    int Argument;
    void (*Apply)(TCommandLine &Line, const char *Value);
};

// The codes of long-only options: no letter has them.
constexpr int VersionOption = 256;
constexpr int SummaryOption = 257;
constexpr int UnifiedOption = 258;
constexpr int IgnoreTextOption = 259;
constexpr int ColourOption = 260;

// --color's WHEN, as GNU diff reads it; "auto" when it is left out.
void SetColour(TCommandLine &Line, const char *When) {
    const std::string_view Value = When == nullptr ? "auto" : When;
    if (Value == "never")
        Line.Colour = TColourWhen::Never;
    else if (Value == "always")
        Line.Colour = TColourWhen::Always;
    else if (Value == "auto")
        Line.Colour = TColourWhen::Auto;
    else
        Line.Error = "invalid color '" + std::string(Value) + "'";
}

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
    {"ignore-text", IgnoreTextOption, required_argument,
     [](TCommandLine &Line, const char *Value) { Line.Request.IgnoreText.emplace_back(Value); }},
    {"unified", UnifiedOption, optional_argument,
     [](TCommandLine &Line, const char *Value) { SetContext(Line, Value ? Value : "3"); }},
    {nullptr, 'u', no_argument, [](TCommandLine &Line, const char *) { Line.Context = 3; }},
    {nullptr, 'U', required_argument,
     [](TCommandLine &Line, const char *Value) { SetContext(Line, Value); }},
    {"line-numbers", 'N', no_argument,
     [](TCommandLine &Line, const char *) { Line.LineNumbers = true; }},
    {"color", ColourOption, optional_argument, SetColour},
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
    // "-": operands come back in order, as code 1; ":": a missing argument
    // comes back as ':'.
    std::string ShortOptions = "-:";
    std::vector<option> LongOptions;
    for (const TOptionRow &Row : OptionTable) {
        if (Row.Letter < 256) {
            ShortOptions += char(Row.Letter);
            ShortOptions += Row.Argument == required_argument   ? ":"
                            : Row.Argument == optional_argument ? "::"
                                                                : "";
        }
        if (Row.Name != nullptr)
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
        if (Code == ':') {
            const bool Known =
                std::any_of(LongOptions.begin(), LongOptions.end() - 1,
                            [&](const option &O) { return NamedInFull(Arg, O.name); });
            if (!Arg.starts_with("--"))
                return UsageError(std::string("option requires an argument -- '") + char(optopt) +
                                  "'");
            if (Known)
                return UsageError("option '" + std::string(Arg) + "' requires an argument");
        }
        if (Code == '?' || Code == ':' ||
            (Index >= 0 && !NamedInFull(Arg, LongOptions[Index].name))) {
            if (Arg.starts_with("--"))
                return UsageError("unrecognized option '" + std::string(Arg) + "'");
            return UsageError(std::string("invalid option -- '") + char(optopt) + "'");
        }
        for (const TOptionRow &Row : OptionTable)
            if (Row.Letter == Code)
                Row.Apply(Line, optarg);
        if (!Line.Error.empty())
            return UsageError(Line.Error);
    }
    for (; optind < Argc; ++optind)
        Line.Operands.emplace_back(Argv[optind]);
    if (!Line.Error.empty())
        return UsageError(Line.Error);
    if (Line.Help || Line.Version)
        return -1;
    const std::vector<std::string> &Files = Line.Operands;
    if (Files.size() < 2)
        return UsageError(Files.empty() ? "missing operands FILE1 FILE2"
                                        : "missing operand after '" + Files[0] + "'");
    if (Files.size() > 2)
        return UsageError("extra operand '" + Files[2] + "'");
    if (Files[0] == "-" && Files[1] == "-")
        return UsageError("'-' (standard input) given twice");
    // A unified diff needs the common lines for its context, and has no
    // room for line numbers.
    if (Line.Context >= 0 && (Line.Request.OnlyDifferences || Line.LineNumbers))
        return UsageError("-u cannot be used with -d or -N");
    Line.Request.FileName1 = Files[0];
    Line.Request.FileName2 = Files[1];
    Line.Request.StandardInput = STDIN_FILENO;
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

// The messages of a run that ended as Outcome says; the exit status for
// the differences found (Differs), or 2.
int Conclude(const TCommandLine &Line, const TCompareOutcome &Outcome, const TStdoutSink &Out,
             bool Written, bool Differs) {
    int Status = ExitStatus(Outcome, Differs);
    // The names read: for a folder given beside a file, the file inside it.
    const std::pair<int, const std::string *> LoadErrors[2] = {
        {Outcome.LoadError1, Outcome.FileName1.empty() ? &Line.Operands[0] : &Outcome.FileName1},
        {Outcome.LoadError2, Outcome.FileName2.empty() ? &Line.Operands[1] : &Outcome.FileName2}};
    for (const auto &[Error, Name] : LoadErrors)
        if (Error != 0)
            Complain("cannot read " + *Name + ": " + LoadErrorText(Error));
    if (Outcome.UnfilteredLines > 0)
        Complain(UnfilteredNote(Outcome.UnfilteredLines));
    if (!Written) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        Status = 2;
    } else if (Outcome.Broken) {
        Complain(Line.Context >= 0 ? "out of memory; the diff is incomplete"
                                   : "out of memory; the report is incomplete");
        Status = 2;
    }
    return Status;
}

// The unified diff of two trees: 1 when something differs, 2 when some path
// could not be read or the output failed.
int WriteUnifiedFolders(const TCommandLine &Line) {
    TStdoutSink Out(STDOUT_FILENO);
    const TUnifiedTreeOutcome Outcome = WriteUnifiedTrees(
        Line.Request, Line.Context, [&Out](std::string_view Bytes) { Out.Write(Bytes); },
        [&Out](std::string_view Text, bool) {
            // In order with the diff around it, on a terminal.
            Out.Flush();
            Complain(std::string(Text));
        });
    const bool Written = Out.Flush();
    if (!Outcome.PatternError.empty()) {
        Complain(Outcome.PatternError);
        return 2;
    }
    if (!Written) {
        Complain(std::string("write error: ") + std::strerror(Out.Error()));
        return 2;
    }
    if (Outcome.Broken) {
        Complain("out of memory; the diff is incomplete");
        return 2;
    }
    return Outcome.Trouble ? 2 : Outcome.Differs ? 1 : 0;
}

int WriteUnified(const TCommandLine &Line) {
    if (IsFolder(Line.Request.FileName1) && IsFolder(Line.Request.FileName2))
        return WriteUnifiedFolders(Line);
    TStdoutSink Out(STDOUT_FILENO);
    const TUnifiedOutcome Outcome =
        WriteUnifiedDiff(WithFileInFolder(Line.Request), {.Context = Line.Context},
                         [&Out](std::string_view Bytes) { Out.Write(Bytes); });
    const bool Written = Out.Flush();
    if (Outcome.CutFile != 0) {
        Complain(Line.Operands[Outcome.CutFile - 1] +
                 " holds a zero byte, which a unified diff cannot carry");
        return 2;
    }
    return Conclude(Line, Outcome.Run, Out, Written, Outcome.Differs);
}

// Whether --color=WHEN colours standard output: "auto" only on a terminal
// that can show colours, and not when NO_COLOR asks for none.
bool Colours(TColourWhen When) {
    if (When != TColourWhen::Auto)
        return When == TColourWhen::Always;
    const char *Term = std::getenv("TERM");
    const char *NoColour = std::getenv("NO_COLOR");
    return isatty(STDOUT_FILENO) && !(Term != nullptr && std::string_view(Term) == "dumb") &&
           (NoColour == nullptr || *NoColour == '\0');
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
    // Before any file is read: standard input may be all there is of one.
    if (const auto Error = TTextFilter::Check(Line.Request.IgnoreText)) {
        Complain(Error->Text());
        return 2;
    }
    if (Line.Context >= 0)
        return WriteUnified(Line);

    TStdoutSink Out(STDOUT_FILENO, TStdoutSink::DefaultBufferSize,
                    TOutputStyle{.LineNumbers = Line.LineNumbers, .Colour = Colours(Line.Colour)});
    const TCompareRequest &Request = Line.Request;
    const TCompareOutcome Outcome = RunComparison(Request, Out);
    const bool Written = Out.Flush();
    if (Line.Summary)
        std::fprintf(stderr, "%s\n", Out.Status().c_str());
    return Conclude(Line, Outcome, Out, Written, Out.HasDifferences());
}
