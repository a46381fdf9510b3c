#include "AppTestSupport.h"
#include "Compare.h"
#include "PermissionsBind.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>

namespace {

class ReportRunsTest : public AppTest {
protected:
    // Two files of Count lines that share none: every line is reported.
    std::pair<QString, QString> LongFiles(int Count) {
        QStringList a, b;
        for (int i = 0; i < Count; ++i) {
            a << QStringLiteral("left %1").arg(i);
            b << QStringLiteral("right %1").arg(i);
        }
        return {WriteLines(QStringLiteral("long-a.txt"), a),
                WriteLines(QStringLiteral("long-b.txt"), b)};
    }
    QStringList Report(const std::unique_ptr<TCompareReport> &Window) {
        return ReportLines(Child<QPlainTextEdit>(Window, "resultField"));
    }
    static QStringList Separator() { return {"", QString::fromLatin1(SeparatorLine), ""}; }
};

// A file that cannot be read compares as empty, and one error box after the
// run names every such file with the reason.
TEST_F(ReportRunsTest, UnreadableFilesCompareAsEmptyAndAreNamedInOneBox) {
    auto report = OpenReport();
    const QString notes = WorkedExampleFiles().second;
    const QString locked = WriteLines(QStringLiteral("locked.txt"), {"secret"});
    QFile::setPermissions(locked, QFileDevice::WriteOwner);
    const QString folder = Path(QStringLiteral("proj"));
    struct TCase {
        QString First, Second;
        QString Box;
        QString Prefix; // of the lines of notes.txt; none when both fail
    };
    const TCase cases[] = {
        {"C:\\", notes, "Cannot read file C:\\: No such file or directory.",
         notes + "   "}, // "C:\\" has no file part: the labels are the whole names
        {folder, notes, QStringLiteral("Cannot read file %1: Is a directory.").arg(folder),
         "notes.txt   "},
        {locked, notes, QStringLiteral("Cannot read file %1: Permission denied.").arg(locked),
         "notes.txt    "},
        {notes, "/dev/null", "Cannot read file /dev/null: Not a regular file.", "notes.txt   "},
        {Path("gone.txt"), "/dev/null",
         QStringLiteral("Cannot read file %1: No such file or directory\n"
                        "Cannot read file /dev/null: Not a regular file.")
             .arg(Path("gone.txt")),
         ""},
    };
    PermissionsBind bind;
    for (const TCase &c : cases) {
        report->RunComparison(true, c.First, c.Second, true, false, false);
        EXPECT_EQ(TakeErrors(), QStringList{c.Box});
        QStringList expected;
        if (!c.Prefix.isEmpty())
            for (const char *line : {"title", "zero", "one", "two", "THREE", "four", "five"})
                expected << c.Prefix + QLatin1StringView(line);
        EXPECT_EQ(Report(report), expected) << c.First.toStdString();
    }
}

// A run asked for while one is going (by any road that calls
// RunComparison) stops that run and starts once it has unwound, on a report
// that holds only what it should.
TEST_F(ReportRunsTest, RunStartedDuringARunReplacesIt) {
    auto report = OpenReport();
    const auto [a, b] = LongFiles(50000);
    const auto [first, second] = WorkedExampleFiles();
    struct TCase {
        const char *Road;
        std::function<void()> During;
        QStringList Expected;
    };
    const TCase cases[] = {
        {"RunComparison", [&] { report->RunComparison(true, first, second, true, false, false); },
         WorkedExampleReport()},
        {"the last of two requests",
         [&] {
             report->RunComparison(true, a, b, true, false, false);
             report->RunComparison(true, first, second, true, false, false);
         },
         WorkedExampleReport()},
        {"the dialog",
         [&] {
             Answer<TCompareDialog>([&](TCompareDialog *Dialog) {
                 Child<THistoryBox>(Dialog, "file1")->setEditText(first);
                 Child<THistoryBox>(Dialog, "file2")->setEditText(second);
                 Child<QCheckBox>(Dialog, "clearReport")->setChecked(true);
                 return int(mrOk);
             });
             Child<QAction>(report, "Dialog1")->trigger();
         },
         WorkedExampleReport()},
        {"New", [&] { Child<QAction>(report, "New1")->trigger(); }, {}},
        {"New, then a run that keeps the report",
         [&] {
             Child<QAction>(report, "New1")->trigger();
             report->RunComparison(false, first, second, true, false, false);
         },
         Separator() + WorkedExampleReport()},
    };
    for (const TCase &c : cases) {
        // Posted before the run: delivered at its first delivery of events.
        QTimer::singleShot(0, report.get(), c.During);
        report->RunComparison(true, a, b, true, false, false);
        EXPECT_EQ(Report(report), c.Expected) << c.Road;
    }

    // Asked for while the files are still being read: the walk never starts.
    const QString big = WriteLines(QStringLiteral("big.txt"), QStringList(300000, "a big file"));
    QTimer::singleShot(0, report.get(),
                       [&] { report->RunComparison(true, first, second, true, false, false); });
    report->RunComparison(true, big, big, true, false, false);
    EXPECT_EQ(Report(report), WorkedExampleReport()) << "while reading";

    // A run that keeps the report follows the stopped run's last step.
    QTimer::singleShot(0, report.get(),
                       [&] { report->RunComparison(false, first, second, true, false, false); });
    report->RunComparison(true, a, b, true, false, false);
    const QStringList kept = Report(report);
    const QStringList tail = Separator() + WorkedExampleReport();
    ASSERT_GE(kept.size(), tail.size() + 1);
    EXPECT_EQ(kept.mid(kept.size() - tail.size()), tail);
    EXPECT_LE(kept.size() - tail.size(), LookAhead) << "only the step in progress completes";
}

TEST_F(ReportRunsTest, ExitDuringARunDropsARunAskedForMeanwhile) {
    auto report = OpenReport();
    report->hide();
    const auto [a, b] = LongFiles(50000);
    const auto [first, second] = WorkedExampleFiles();
    RunForReal<TCompareReport>();
    QTimer::singleShot(0, report.get(), [&] {
        QTimer::singleShot(0, report.get(), [&] {
            report->RunComparison(true, first, second, true, false, false);
            Child<QAction>(report, "Exit1")->trigger();
        });
        report->RunComparison(true, a, b, true, false, false);
    });
    EXPECT_EQ(ShowModal(report.get()), mrCancel);
    const QStringList lines = Report(report);
    EXPECT_LE(lines.size(), LookAhead);
    EXPECT_FALSE(lines.contains(WorkedExampleReport().first()));
}

// The page set up in Print Setup is the page printed, also after an earlier
// Print and also when the printer is a PDF file. Both dialogs run for real.
TEST_F(ReportRunsTest, PrintUsesThePageChosenInPrintSetup) {
    auto report = OpenReport();
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(QStringLiteral("a report"));
    const auto print = [&](const QString &Name) {
        const QString pdf = Path(Name);
        Answer<QPrintDialog>([pdf](QPrintDialog *Dialog) {
            QTimer::singleShot(0, Dialog, [Dialog, pdf] {
                Child<QLineEdit>(Dialog, "filename")->setText(pdf);
                Dialog->accept();
            });
            return Dialog->exec();
        });
        Child<QAction>(report, "Print1")->trigger();
        // The page's size in points, as the PDF states it.
        QFile file(pdf);
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(QString::fromLatin1(file.open(QIODevice::ReadOnly) ? file.readAll() : ""));
        EXPECT_TRUE(box.hasMatch()) << Name.toStdString();
        return std::pair(qRound(box.captured(1).toDouble()), qRound(box.captured(2).toDouble()));
    };
    EXPECT_EQ(print(QStringLiteral("before.pdf")), std::pair(595, 842)) << "A4 portrait";

    Answer<QPageSetupDialog>([](QPageSetupDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [Dialog] {
            auto *size = Child<QComboBox>(Dialog, "pageSizeCombo");
            size->setCurrentIndex(size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
            Child<QRadioButton>(Dialog, "landscape")->click();
            Child<QDoubleSpinBox>(Dialog, "topMargin")->setValue(20);
            Dialog->accept();
        });
        return Dialog->exec();
    });
    Child<QAction>(report, "PrintSetup1")->trigger();
    for (const char *name : {"after.pdf", "again.pdf"}) {
        EXPECT_EQ(print(QLatin1StringView(name)), std::pair(595, 420)) << name << ": A5 landscape";
        EXPECT_NEAR(
            report->PrintDialog()->printer()->pageLayout().margins(QPageLayout::Millimeter).top(),
            20, 0.01);
    }
}

} // namespace
