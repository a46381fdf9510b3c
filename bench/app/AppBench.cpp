// Measures the desktop program headless (QT_QPA_PLATFORM=offscreen):
//   tarnwell-app-bench run FILE1 FILE2 [plain]
//       one comparison into a shown report window, its lines coloured by
//       kind unless "plain" is given; prints
//       "run <seconds> lines <n> firstwait <ms> gap <ms> lastwait <ms> peak <KiB>"
//       then the time of one "Next Difference" over it, "next <ms>", and to
//       empty that report, "clear <ms>"
//   tarnwell-app-bench startup LAUNCH_NS
//       start-up on the settings below $XDG_CONFIG_HOME up to a shown window
//       with its settings restored; LAUNCH_NS is the launch time (CLOCK_REALTIME,
//       nanoseconds) taken by the caller just before starting the process;
//       prints "startup <ms> main <ms> lines <n> whole <ms> all <n> gap <ms>
//       peak <KiB>": from launch and from entering main to the shown window
//       and the kept report's lines in it then; from launch to the whole kept
//       report in, its lines, the longest the event loop was held meanwhile;
//       the peak memory
//   tarnwell-app-bench prepare FILE1 FILE2
//       leaves settings behind as a user would (histories, options, a report).
//   tarnwell-app-bench longlines FILE1 FILE2 BYTES
//       writes two files of one line of BYTES letters each, from a fixed
//       seed, that differ from the first character on.
#include "MyComps.h"
#include "SettingsRootKey.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <random>
#include <sys/resource.h>

namespace {

long PeakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

qint64 RealtimeNs() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

std::unique_ptr<TCompareReport> ShownReport() {
    auto report = std::make_unique<TCompareReport>(nullptr, DefaultRootKey);
    report->show();
    QApplication::processEvents();
    return report;
}

int Run(const QString &First, const QString &Second, bool Coloured) {
    auto report = ShownReport();
    report->Sink().SetColoured(Coloured);
    QElapsedTimer timer;
    timer.start();
    report->RunComparison(true, First, Second, true, false, false);
    const qint64 elapsed = timer.nsecsElapsed();
    // A run that was not whole is no measure.
    if (!report->findChild<QStatusBar *>(QStringLiteral("StatusBar1"))
             ->currentMessage()
             .startsWith(QStringLiteral("All Done")))
        return 1;
    const TFieldSink::TStatistics &stats = report->Sink().Statistics();
    std::printf("run %.4f lines %d firstwait %.2f gap %.2f lastwait %.2f peak %ld\n", elapsed / 1e9,
                report->findChild<QPlainTextEdit *>(QStringLiteral("resultField"))
                    ->document()
                    ->blockCount(),
                stats.FirstWait / 1e6, stats.LongestGap / 1e6, stats.LastWait / 1e6, PeakKiB());
    // "Next Difference" walks the whole report to count the differences.
    timer.restart();
    report->GoToDifference(TCompareReport::TDirection::Forward);
    std::printf("next %.2f\n", timer.nsecsElapsed() / 1e6);
    // Emptying a full report: what the next run with "Clear Report" pays.
    timer.restart();
    report->New1Click();
    std::printf("clear %.2f\n", timer.nsecsElapsed() / 1e6);
    // The program's end would save the settings; nothing to measure there.
    std::fflush(stdout);
    std::_Exit(0);
}

int Prepare(const QString &First, const QString &Second) {
    auto report = ShownReport();
    TCompareDialog *dialog = report->CompareDialog();
    for (int i = 0; i < 20; ++i) {
        dialog->findChild<THistoryBox *>(QStringLiteral("file1"))
            ->setEditText(QStringLiteral("/data/earlier/first-%1.txt").arg(i));
        dialog->findChild<THistoryBox *>(QStringLiteral("file1"))->UpdateHistory();
        dialog->findChild<THistoryBox *>(QStringLiteral("file2"))
            ->setEditText(QStringLiteral("/data/earlier/second-%1.txt").arg(i));
        dialog->findChild<THistoryBox *>(QStringLiteral("file2"))->UpdateHistory();
    }
    dialog->findChild<THistoryBox *>(QStringLiteral("file1"))->setEditText(First);
    dialog->findChild<THistoryBox *>(QStringLiteral("file2"))->setEditText(Second);
    dialog->findChild<QCheckBox *>(QStringLiteral("maintainReport"))->setChecked(true);
    report->RunFromDialog();
    return 0; // the report window saves everything as it is destroyed
}

int LongLines(const QString &First, const QString &Second, qsizetype Bytes) {
    std::mt19937 random(20261206);
    for (const QString &name : {First, Second}) {
        QByteArray line(Bytes + 1, '\n');
        for (qsizetype k = 0; k < Bytes; ++k)
            line[k] = char('a' + random() % 26);
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(line) != line.size())
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    const qint64 enteredMain = RealtimeNs();
    QApplication application(argc, argv);
    const QStringList args = QApplication::arguments();
    if ((args.size() == 4 || (args.size() == 5 && args[4] == QLatin1String("plain"))) &&
        args[1] == QLatin1String("run"))
        return Run(args[2], args[3], args.size() == 4);
    if (args.size() == 4 && args[1] == QLatin1String("prepare"))
        return Prepare(args[2], args[3]);
    if (args.size() == 5 && args[1] == QLatin1String("longlines"))
        return LongLines(args[2], args[3], args[4].toLongLong());
    if (args.size() == 3 && args[1] == QLatin1String("startup")) {
        const qint64 launched = args[2].toLongLong();
        auto report = ShownReport();
        const qint64 shown = RealtimeNs();
        const auto lines = [&report] {
            return report->findChild<QPlainTextEdit *>(QStringLiteral("resultField"))
                ->document()
                ->blockCount();
        };
        const int shownLines = lines();
        // A long kept report goes on filling with the window live: the
        // longest the event loop is held is the gap a user could feel.
        qint64 gap = 0;
        QElapsedTimer held;
        while (report->LoadingKeptReport()) {
            held.start();
            QApplication::processEvents();
            gap = std::max(gap, held.nsecsElapsed());
        }
        std::printf("startup %.2f main %.2f lines %d whole %.2f all %d gap %.2f peak %ld\n",
                    (shown - launched) / 1e6, (shown - enteredMain) / 1e6, shownLines,
                    (RealtimeNs() - launched) / 1e6, lines(), gap / 1e6, PeakKiB());
        std::fflush(stdout);
        std::_Exit(0);
    }
    std::fprintf(stderr,
                 "usage: %s run FILE1 FILE2 [plain] | prepare FILE1 FILE2 | startup LAUNCH_NS | "
                 "longlines FILE1 FILE2 BYTES\n",
                 argv[0]);
    return 2;
}
