#include "AppMain.h"

#include "CommandLine.h"
#include "SettingsRootKey.h"
#include "TRegistry.h"
#include "UCompareReport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
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
// the user set. Returns the watcher; null when it cannot be set up.
std::unique_ptr<QSocketNotifier> WatchTermination() {
    if (TerminationPipe[0] < 0 && pipe2(TerminationPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return nullptr;
    auto Watcher = std::make_unique<QSocketNotifier>(TerminationPipe[0], QSocketNotifier::Read);
    QObject::connect(Watcher.get(), &QSocketNotifier::activated, [] {
        char Bytes[16];
        while (read(TerminationPipe[0], Bytes, sizeof Bytes) > 0) {
        }
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

} // namespace

int RunApplication(const std::vector<std::string> &Arguments) {
    const TCommandLine line = ParseCommandLine(Arguments);
    if (line.Help || line.Version) {
        std::fputs((line.Help ? UsageText() : VersionText()).c_str(), stdout);
        return 0;
    }
    if (!line.Error.empty()) {
        std::fprintf(stderr, "tarnwell: %s\nTry 'tarnwell --help'.\n", line.Error.c_str());
        return 2;
    }
    const std::string rootKey = SettingsRootKey({std::string(), line.Configuration}, 1);
    auto report = std::make_unique<TCompareReport>(nullptr, rootKey);
    // Full names, so the histories still find the files from another folder.
    QStringList files;
    for (const std::string &file : line.Files)
        files << QDir::toNativeSeparators(
            QFileInfo(QFile::decodeName(QByteArray::fromStdString(file))).absoluteFilePath());
    report->StartWith(files);
    // The store moved a damaged hive aside while the windows opened it.
    RunGuarded(nullptr, [] { TRegistry::CheckHive(); });
    const auto termination = WatchTermination();
    ShowModal(report.get());
    report.reset();
    return 0;
}
