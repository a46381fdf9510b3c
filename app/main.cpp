#include "AppMain.h"
#include "AppResources.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char **argv) {
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
