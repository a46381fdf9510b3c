#include "AppMain.h"
#include "AppResources.h"
#include "CommandLine.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv) {
    // Before the toolkit: --help, --version and a faulty line need no
    // display, and Qt must not take its options out of the program's names.
    const std::vector<std::string> given(argv, argv + argc);
    const TCommandLine line = ParseCommandLine(given);
    if (const auto status = AnswerWithoutWindow(line))
        return *status;

    // Qt sees its own options and nothing else.
    std::vector<std::string> toolkit{given.front()};
    toolkit.insert(toolkit.end(), line.ToolkitArguments.begin(), line.ToolkitArguments.end());
    std::vector<char *> toolkitArgv;
    for (std::string &argument : toolkit)
        toolkitArgv.push_back(argument.data());
    toolkitArgv.push_back(nullptr);
    int toolkitArgc = int(toolkit.size());
    QApplication application(toolkitArgc, toolkitArgv.data());
    // The caption of the standard error box. The display name stays unset:
    // the platform would append it to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    LoadAppResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));
    return RunApplication(given);
}
