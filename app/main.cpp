#include "AppMain.h"
#include "AppResources.h"
#include "CommandLine.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv) {
    // --help and --version print and end without needing a display.
    const std::vector<std::string> given(argv, argv + argc);
    const TCommandLine line = ParseCommandLine(given);
    if (line.Help || line.Version)
        return RunApplication(given);

    QApplication application(argc, argv);
    // The caption of the standard error box. The display name stays unset:
    // the platform would append it to every window's caption.
    QApplication::setApplicationName(QStringLiteral("Tarnwell"));
    LoadAppResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON")));

    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.emplace_back(argv[i]);
    return RunApplication(arguments);
}
