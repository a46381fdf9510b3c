#include "AppTestSupport.h"
#include "Compare.h"
#include "ReportKinds.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <map>

namespace {

using K = TLineKind;

class ReportRunsTest : public AppTest {
protected:
    // a.txt against b.txt gives: common, first, second, second, common,
    // first; with Twice, behind the separator, b.txt against a.txt: common,
    // first, first, second, common, second.
    std::unique_ptr<TCompareReport> SmallReport(bool Twice = false) {
        auto report = OpenReport();
        const QString a = WriteLines(QStringLiteral("a.txt"), {"same", "gone", "end", "last"});
        const QString b = WriteLines(QStringLiteral("b.txt"), {"same", "new", "newer", "end"});
        report->RunComparison(true, a, b, true, false, false);
        if (Twice)
            report->RunComparison(false, b, a, true, false, false);
        return report;
    }
    static QStringList Lines(const std::unique_ptr<TCompareReport> &Report) {
        return ReportLines(Child<QPlainTextEdit>(Report, "resultField"));
    }
};

// A file that cannot be read compares as empty, and one error box after the
// run names every such file with the reason.
TEST_F(ReportRunsTest, UnreadableFilesCompareAsEmptyAndAreNamedInOneBox) {
    auto report = OpenReport();
    report->RunComparison(true, Path(QStringLiteral("gone.txt")), Folder, true, false, false);
    EXPECT_EQ(TakeErrors(), QStringList{QStringLiteral("Cannot read file %1: No such file or "
                                                       "directory\nCannot read file %2: Is a "
                                                       "directory.")
                                            .arg(Path(QStringLiteral("gone.txt")), Folder)});
    EXPECT_TRUE(Lines(report).isEmpty());
}

// A run asked for while one is going (by any road that calls RunComparison)
// stops that run and starts once it has unwound, on a report that holds
// only what it should; New and Exit drop it.
TEST_F(ReportRunsTest, RunStartedDuringARunReplacesIt) {
    auto report = OpenReport();
    const QString a = WriteLines(QStringLiteral("long-a.txt"), QStringList(50000, "left")),
                  b = WriteLines(QStringLiteral("long-b.txt"), QStringList(50000, "right"));
    const auto [first, second] = WorkedExampleFiles();
    const auto run = [&](bool Clear, const QString &A, const QString &B) {
        report->RunComparison(Clear, A, B, true, false, false);
    };
    // The commands given during the run, a letter each: a run that empties
    // (R) or keeps (K) the report, a long run (L), New (N), Exit (X).
    const std::map<char, std::function<void()>> steps = {
        {'R', [&] { run(true, first, second); }},
        {'K', [&] { run(false, first, second); }},
        {'L', [&] { run(true, a, b); }},
        {'N', [&] { Child<QAction>(report, "New1")->trigger(); }},
        {'X', [&] { Child<QAction>(report, "Exit1")->trigger(); }}};
    const QStringList worked = WorkedExampleReport(),
                      kept = QStringList{"", QString::fromLatin1(SeparatorLine), ""} + worked;
    // What the report ends with, and whether the stopped run's step in
    // progress (at most LookAhead lines) stays before it.
    const std::tuple<const char *, QStringList, bool> cases[] = {
        {"R", worked, false}, {"LR", worked, false}, {"N", {}, false},
        {"NK", kept, false},  {"K", kept, true},     {"RX", {}, true}};
    for (const auto &[during, tail, keeps] : cases) {
        // Posted before the run: delivered at its first delivery of events.
        QTimer::singleShot(0, report.get(), [&] {
            for (const char *step = during; *step != 0; ++step)
                std::invoke(steps.at(*step));
        });
        run(true, a, b);
        const QStringList lines = Lines(report);
        const qsizetype stopped = lines.size() - tail.size();
        EXPECT_EQ(lines.mid(stopped), tail) << during;
        EXPECT_TRUE(keeps ? stopped >= 1 && stopped <= LookAhead : stopped == 0)
            << during << ": " << stopped;
        EXPECT_FALSE(lines.mid(0, stopped).contains(worked.first())) << during;
    }
}

// The page set up in Print Setup is the page printed, also after an earlier
// Print and when the printer is a PDF file; the printed report keeps the
// tints. Both dialogs run for real.
TEST_F(ReportRunsTest, PrintUsesThePageChosenInPrintSetupAndKeepsTheTints) {
    auto report = SmallReport();
    // The PDF printed, with its page streams inflated (qUncompress wants a
    // 4-byte size in front), and the size of its page in points.
    const auto print = [&](const char *Name) {
        const QString pdf = Path(QLatin1StringView(Name));
        Answer<QPrintDialog>([pdf](QPrintDialog *Dialog) {
            QTimer::singleShot(0, Dialog, [Dialog, pdf] {
                Child<QLineEdit>(Dialog, "filename")->setText(pdf);
                Dialog->accept();
            });
            return Dialog->exec();
        });
        Child<QAction>(report, "Print1")->trigger();
        QFile file(pdf);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        QByteArray text = bytes;
        for (qsizetype at = 0; (at = bytes.indexOf("stream", at)) >= 0;) {
            const qsizetype start = bytes.indexOf('\n', at) + 1,
                            end = bytes.indexOf("endstream", start);
            if (end < 0)
                break;
            text += qUncompress(QByteArray("\x00\x10\x00\x00", 4) + bytes.mid(start, end - start));
            at = end + 9;
        }
        const QRegularExpressionMatch box =
            QRegularExpression(QStringLiteral("/MediaBox \\[0 0 ([0-9.]+) ([0-9.]+)\\]"))
                .match(QString::fromLatin1(text));
        return std::pair(QString::fromLatin1(text), std::pair(qRound(box.captured(1).toDouble()),
                                                              qRound(box.captured(2).toDouble())));
    };
    EXPECT_EQ(print("before.pdf").second, std::pair(595, 842)) << "A4 portrait";

    Answer<QPageSetupDialog>([](QPageSetupDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [Dialog] {
            auto *size = Child<QComboBox>(Dialog, "pageSizeCombo");
            size->setCurrentIndex(size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
            Child<QRadioButton>(Dialog, "landscape")->click();
            Dialog->accept();
        });
        return Dialog->exec();
    });
    Child<QAction>(report, "PrintSetup1")->trigger();
    const auto [pdf, page] = print("after.pdf");
    EXPECT_EQ(page, std::pair(595, 420)) << "A5 landscape";

    // The fill colours ("r g b scn") of the page hold both tints.
    const QRegularExpression fill(QStringLiteral("([0-9.]+) ([0-9.]+) ([0-9.]+) scn"));
    const TReportKinds kinds(Child<QPlainTextEdit>(report, "resultField")->palette());
    for (const K kind : {K::OnlyInFirst, K::OnlyInSecond}) {
        const QColor tint = kinds.BlockFormat(kind).background().color();
        bool found = false;
        for (const auto &m : fill.globalMatch(pdf))
            found |= std::abs(m.captured(1).toFloat() - tint.redF()) +
                         std::abs(m.captured(2).toFloat() - tint.greenF()) +
                         std::abs(m.captured(3).toFloat() - tint.blueF()) <
                     0.025;
        EXPECT_TRUE(found) << tint.name().toStdString();
    }
}

// Each kind of line has its colour while the saved text stays plain; a dark
// palette keeps the text readable; F8 and Shift+F8 move between the runs of
// differences.
TEST_F(ReportRunsTest, ColoursAndDifferenceNavigation) {
    auto report = SmallReport(true); // runs of differences start on lines 1, 5, 10 and 14
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    // A letter a line: only in the first (1) or the second (2) file, common
    // (=), separator (-).
    QString kinds;
    for (QTextBlock block = field->document()->begin(); block.isValid(); block = block.next())
        kinds += BlockKind(block) ? QLatin1Char("12=-"[int(*BlockKind(block))]) : QLatin1Char('?');
    EXPECT_EQ(kinds, QStringLiteral("=122=1---=112=2"));
    const auto tint = [field](int Line) {
        return field->document()->findBlockByNumber(Line).blockFormat().background().color();
    };
    EXPECT_FALSE(
        field->document()->begin().blockFormat().hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_NE(tint(1), tint(2));
    const QString saved = Path(QStringLiteral("saved.txt"));
    report->SaveReport(saved);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), field->toPlainText() + QLatin1Char('\n'));

    // A theme switched to dark while the report is shown recolours it: a
    // tint, yet a dark background the text stays readable on.
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    report->setPalette(dark);
    QApplication::processEvents();
    for (const int line : {1, 2}) {
        EXPECT_GE(ContrastRatio(tint(line), dark.color(QPalette::Text)), 7.0);
        EXPECT_NE(tint(line), dark.color(QPalette::Base));
        EXPECT_LT(ContrastRatio(tint(line), dark.color(QPalette::Base)), 2.0);
    }

    // A new report has the cursor on top.
    using P = std::pair<int, QString>;
    const auto go = [&](Qt::KeyboardModifiers Modifiers) {
        QTest::keyClick(field, Qt::Key_F8, Modifiers);
        return P(field->textCursor().blockNumber(),
                 Child<QStatusBar>(report, "StatusBar1")->currentMessage());
    };
    EXPECT_EQ(go(Qt::NoModifier), P(1, "Difference 1 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), P(5, "Difference 2 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), P(10, "Difference 3 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), P(14, "Difference 4 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), P(14, "No further difference"));
    EXPECT_EQ(go(Qt::ShiftModifier), P(10, "Difference 3 of 4"));
    field->moveCursor(QTextCursor::Down); // inside that run: back to its start
    EXPECT_EQ(go(Qt::ShiftModifier), P(10, "Difference 3 of 4"));
    field->moveCursor(QTextCursor::Start);
    EXPECT_EQ(go(Qt::ShiftModifier), P(0, "No earlier difference"));

    // Only differences, twice: the separator parts two runs, and a run on the
    // first line is the first one found from the top.
    const QString a = Path(QStringLiteral("a.txt")), b = Path(QStringLiteral("b.txt"));
    report->RunComparison(true, a, b, true, true, false);
    report->RunComparison(false, a, b, true, true, false);
    EXPECT_EQ(go(Qt::NoModifier), P(0, "Difference 1 of 2"));
    EXPECT_EQ(go(Qt::NoModifier), P(7, "Difference 2 of 2"));
    report->New1Click();
    EXPECT_EQ(go(Qt::NoModifier), P(0, "No differences in the report"));
}

} // namespace
