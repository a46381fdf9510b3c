// Measures the desktop program headless (QT_QPA_PLATFORM=offscreen):
//   tarnwell-app-bench run FILE1 FILE2 [plain|bare]
//       one comparison into a shown report window, its lines coloured by
//       kind unless "plain" is given, with the lines' numbers in the gutter,
//       the map of the differences and the changed characters marked unless
//       "bare" is given; prints
//       "run <seconds> lines <n> firstwait <ms> gap <ms> lastwait <ms> peak <KiB>"
//       then the time of one "Next Difference" over it, "next <ms>"; with
//       everything on, the time to find a text on the report's last line
//       from its top and the longest the event loop was held meanwhile,
//       "find <ms> hold <ms>", to go to a line of the first file near its
//       end, "goto <ms>", and to draw the map, "map <ms>"; then the time to
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
#include "GoToLine.h"
#include "MyComps.h"
#include "SettingsRootKey.h"
#include "TDifferenceMap.h"
#include "TReportField.h"
#include "TReportLines.h"
#include "TReportSearch.h"
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

// The CPU time this thread has used: what a step costs whatever else the
// machine is doing.
qint64 CpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
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

// What a reader does in a long report: find a text on its last line (typed
// there, so nothing else matches), go to a line near the end of the first
// file, draw the map. Prints "find <ms> hold <ms> goto <ms> map <ms>".
void Read(TReportField *Field) {
    QTextCursor end(Field->document());
    end.movePosition(QTextCursor::End);
    end.insertText(QStringLiteral("\nthe needle on the last line"));
    TReportSearch search(Field->document());
    bool found = false;
    QObject::connect(&search, &TReportSearch::Found, [&] { found = true; });
    QElapsedTimer timer, held;
    timer.start();
    const qint64 cpu = CpuNs();
    search.Start({.Text = QStringLiteral("needle on the last")});
    qint64 hold = timer.nsecsElapsed();
    while (search.Running()) {
        held.start();
        QApplication::processEvents();
        hold = std::max(hold, held.nsecsElapsed());
    }
    const qint64 find = timer.nsecsElapsed(), findCpu = CpuNs() - cpu;
    const TLineNumbers largest = TReportLines::Of(Field->document()).Largest();
    timer.restart();
    GoToLine(Field, TLineChoice::FirstFile, largest.First - 10, QStringLiteral("a"));
    const qint64 go = timer.nsecsElapsed();
    // The map draws its rows afresh after any change of the lines.
    emit TReportLines::Of(Field->document()).Changed();
    timer.restart();
    Field->Map()->repaint();
    std::printf("find %.2f findcpu %.2f hold %.2f goto %.2f map %.2f%s\n", find / 1e6,
                findCpu / 1e6, hold / 1e6, go / 1e6, timer.nsecsElapsed() / 1e6,
                found ? "" : " (not found)");
}

int Run(const QString &First, const QString &Second, bool Coloured, bool Decorated) {
    auto report = ShownReport();
    report->Sink().SetColoured(Coloured);
    auto *field = report->findChild<TReportField *>(QStringLiteral("resultField"));
    report->Sink().SetDecorated(Decorated);
    field->SetLineNumbersShown(Decorated);
    field->SetDifferenceMapShown(Decorated);
    QElapsedTimer timer;
    timer.start();
    const qint64 cpu = CpuNs();
    report->RunComparison(true, First, Second, true, false, false);
    const qint64 elapsed = timer.nsecsElapsed(), elapsedCpu = CpuNs() - cpu;
    // A run that was not whole is no measure.
    if (!report->findChild<QStatusBar *>(QStringLiteral("StatusBar1"))
             ->currentMessage()
             .startsWith(QStringLiteral("All Done")))
        return 1;
    const TFieldSink::TStatistics &stats = report->Sink().Statistics();
    std::printf("run %.4f cpu %.4f lines %d firstwait %.2f gap %.2f lastwait %.2f peak %ld\n",
                elapsed / 1e9, elapsedCpu / 1e9,
                report->findChild<QPlainTextEdit *>(QStringLiteral("resultField"))
                    ->document()
                    ->blockCount(),
                stats.FirstWait / 1e6, stats.LongestGap / 1e6, stats.LastWait / 1e6, PeakKiB());
    // "Next Difference" walks the whole report to count the differences.
    timer.restart();
    report->GoToDifference(TCompareReport::TDirection::Forward);
    std::printf("next %.2f\n", timer.nsecsElapsed() / 1e6);
    if (Coloured && Decorated) {
        Read(field);
        // The needle typed for the search is no change to keep: New would ask.
        field->document()->setModified(false);
    }
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
    if (args.size() >= 4 && args.size() <= 5 && args[1] == QLatin1String("run")) {
        const QString mode = args.size() == 5 ? args[4] : QString();
        if (!mode.isEmpty() && mode != QLatin1String("plain") && mode != QLatin1String("bare"))
            return 2;
        return Run(args[2], args[3], mode != QLatin1String("plain"), mode.isEmpty());
    }
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
    std::fprintf(
        stderr,
        "usage: %s run FILE1 FILE2 [plain|bare] | prepare FILE1 FILE2 | startup LAUNCH_NS | "
        "longlines FILE1 FILE2 BYTES\n",
        argv[0]);
    return 2;
}
