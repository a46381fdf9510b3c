#include "CommandLine.h"

#include "FileNames.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QHash>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

// The options Qt takes from a program's command line, with whether each
// takes a value. Parsed here, they never swallow a file name that follows
// "--", and nothing else reaches Qt.
constexpr std::pair<const char *, bool> ToolkitOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"session", true},
    {"display", true},         {"geometry", true},
    {"style", true},           {"stylesheet", true},
    {"reverse", false},        {"widgetcount", false}};

// Writes Text whole to the file descriptor Fd; false with errno set when it
// cannot.
bool WriteAll(int Fd, const std::string &Text) {
    for (std::size_t done = 0; done < Text.size();) {
        const ssize_t written = ::write(Fd, Text.data() + done, Text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += std::size_t(written);
    }
    return true;
}

} // namespace

TCommandLine ParseCommandLine(const std::vector<std::string> &Arguments) {
    TCommandLine line;
    QStringList arguments;
    for (const std::string &argument : Arguments)
        arguments << DecodeFileName(argument);
    QCommandLineParser parser;
    // "-reverse" is Qt's long option, as Qt spells it; "-h" is help.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption compare(QStringLiteral("compare"));
    parser.addOptions({help, version, compare});
    for (const auto &[name, valued] : ToolkitOptions)
        parser.addOption(QCommandLineOption(QLatin1StringView(name), QString(),
                                            valued ? QStringLiteral("value") : QString()));
    // Parsing goes on past a fault, so --help is still seen after it.
    if (!parser.parse(arguments))
        line.Error = parser.errorText().toStdString();
    line.Help = parser.isSet(help);
    line.Version = parser.isSet(version);

    // Each of Qt's options with its value, in the order given.
    QHash<QString, qsizetype> taken;
    for (const QString &name : parser.optionNames())
        for (const auto &[toolkitName, valued] : ToolkitOptions)
            if (name == QLatin1StringView(toolkitName)) {
                line.ToolkitArguments.push_back(QString(u'-' + name).toStdString());
                if (valued)
                    line.ToolkitArguments.push_back(
                        EncodeFileName(parser.values(name).value(taken[name]++)));
            }

    const auto fail = [&line](const std::string &Why) {
        if (line.Error.empty())
            line.Error = Why;
    };
    const QStringList others = parser.positionalArguments();
    qsizetype files = 0;
    if (parser.isSet(compare)) {
        if (parser.optionNames().count(QStringLiteral("compare")) > 1)
            fail("--compare given twice");
        // One file, or two; none is a plain start: the desktop entry's
        // "--compare %F" with nothing selected.
        files = std::min<qsizetype>(others.size(), 2);
        for (qsizetype i = 0; i < files; ++i)
            line.Files.push_back(EncodeFileName(others[i]));
    }
    if (others.size() > files)
        line.Configuration = EncodeFileName(others[files]);
    // A second name would be lost silently: refuse it instead.
    if (others.size() > files + 1)
        fail("more than one configuration name: '" + EncodeFileName(others[files + 1]) + "'");
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
           "  --version              show the version and exit\n"
           "\n"
           "Options may come anywhere; \"--\" ends them, so a name that starts with \"-\"\n"
           "follows it. Qt's own options (-style, -platform, -reverse ...) go to Qt.\n";
}

std::string VersionText() {
    return std::string("tarnwell ") + TarnwellVersion + "\n";
}

std::optional<int> AnswerWithoutWindow(const TCommandLine &Line) {
    if (Line.Help || Line.Version) {
        if (WriteAll(STDOUT_FILENO, Line.Help ? UsageText() : VersionText()))
            return 0;
        WriteAll(STDERR_FILENO,
                 std::string("tarnwell: write error: ") + std::strerror(errno) + "\n");
        return 2;
    }
    if (Line.Error.empty())
        return std::nullopt;
    WriteAll(STDERR_FILENO, "tarnwell: " + Line.Error + "\nTry 'tarnwell --help'.\n");
    return 2;
}
