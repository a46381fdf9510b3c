#include "AppMain.h"

#include "CommandLine.h"
#include "CursorBlinkPause.h"
#include "FileNames.h"
#include "ReportText.h"
#include "SettingsRootKey.h"
#include "TRegistry.h"
#include "UCompareReport.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <unistd.h>

namespace {

int TerminationPipe[2] = {-1, -1};

void NoteTermination(int) {
    const char Byte = 1;
    // Only async-signal-safe work here; the event loop does the rest.
    [[maybe_unused]] const ssize_t Written = write(TerminationPipe[1], &Byte, 1);
}

// A request to end (logout, kill, Ctrl+C) closes every window as the close
// box would, so the run ends through the normal save instead of losing what
// the user set. From then on no window waits for the user: a box still to
// come is answered at once and its text goes to the standard error.
// Returns the watcher; null when it cannot be set up.
std::unique_ptr<QSocketNotifier> WatchTermination() {
    if (TerminationPipe[0] < 0 && pipe2(TerminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    auto Watcher = std::make_unique<QSocketNotifier>(TerminationPipe[0], QSocketNotifier::Read);
    QObject::connect(Watcher.get(), &QSocketNotifier::activated, [] {
        char Bytes[16];
        while (read(TerminationPipe[0], Bytes, sizeof Bytes) > 0) {
        }
        SetModalHook([](QDialog *Window) {
            if (const auto *Box = qobject_cast<QMessageBox *>(Window))
                std::fprintf(stderr, "%s\n", Box->text().toLocal8Bit().constData());
            return int(mrCancel);
        });
        QApplication::closeAllWindows();
    });
    struct sigaction Action = {};
    Action.sa_handler = NoteTermination;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    for (const int Signal : {SIGTERM, SIGINT, SIGHUP})
        sigaction(Signal, &Action, nullptr);
    return Watcher;
}

// The configuration named on the command line. A name that is not valid
// UTF-8 could be saved but never loaded back by name: it is refused, with a
// box that says so, and the default configuration is used.
std::string ChooseRootKey(const std::string &Configuration) {
    const std::string rootKey = SettingsRootKey({std::string(), Configuration}, 1);
    if (IsValidUtf8(rootKey))
        return rootKey;
    const std::string name = rootKey.substr(std::string(OthersKey).size() + 1);
    ShowErrorBox(nullptr, QStringLiteral("The configuration name \"%1\" is not valid UTF-8; the "
                                         "default configuration is used")
                              .arg(QString::fromUtf8(name)));
    return DefaultRootKey;
}

} // namespace

int RunApplication(const std::vector<std::string> &Arguments) {
    const TCommandLine line = ParseCommandLine(Arguments);
    if (const auto status = AnswerWithoutWindow(line))
        return *status;
    // Before anything can show a box: an end requested while one is up
    // must still end through the normal save.
    const auto termination = WatchTermination();
    const TCursorBlinkPause blinkPause;
    const std::string rootKey = ChooseRootKey(line.Configuration);
    auto report = std::make_unique<TCompareReport>(nullptr, rootKey);
    // Full names, so the histories still find the files from another folder;
    // made without the file system's help, which would change the bytes of
    // a name that is not valid UTF-8.
    QStringList files;
    for (const std::string &file : line.Files)
        files << QDir::cleanPath(QDir::current().absoluteFilePath(DecodeFileName(file)));
    report->StartWith(files);
    // The store moved a damaged hive aside while the windows opened it.
    RunGuarded(nullptr, [] { TRegistry::CheckHive(); });
    ShowModal(report.get()); // answered at once when ending already
    report.reset();
    return 0;
}
