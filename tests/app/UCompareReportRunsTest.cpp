#include "AppMain.h"
#include "AppTestSupport.h"
#include "Compare.h"
#include "FileNames.h"
#include "ReportKinds.h"
#include "SettingsRootKey.h"
#include "TReportField.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QUrl>
#include <fstream>
#include <map>

namespace {

class ReportRunsTest : public AppTest {
protected:
    // a.txt against b.txt gives: common, first, second, second, common,
    // first; then, behind the separator, b.txt against a.txt: common, first,
    // first, second, common, second.
    std::unique_ptr<TCompareReport> SmallReport() {
        auto report = OpenReport();
        const QString a = WriteLines(QStringLiteral("a.txt"), {"same", "gone", "end", "last"});
        const QString b = WriteLines(QStringLiteral("b.txt"), {"same", "new", "newer", "end"});
        report->RunComparison(true, a, b, true, false, false);
        report->RunComparison(false, b, a, true, false, false);
        return report;
    }
    // Runs the program with --compare Files; Look sees the report window
    // once the start-up's own action (a run, the dialog answered by Then)
    // is over.
    void Start(
        const QStringList &Files, std::function<void(TCompareReport *)> Look,
        std::function<void()> Then = [] {}) {
        Answer<TCompareReport>([Look](TCompareReport *Report) {
            Report->show();
            QTest::qWait(50);
            Look(Report);
            return int(mrCancel);
        });
        Then();
        std::vector<std::string> arguments{"tarnwell", "--compare"};
        for (const QString &file : Files)
            arguments.push_back(EncodeFileName(file));
        EXPECT_EQ(RunApplication(arguments), 0);
    }
    static void Drop(QWidget *Target, const QStringList &Names) {
        QList<QUrl> urls;
        for (const QString &name : Names)
            urls << QUrl::fromLocalFile(name);
        DropUrls(Target, urls);
    }
    static void DropUrls(QWidget *Target, const QList<QUrl> &Urls) {
        QMimeData data;
        data.setUrls(Urls);
        // The drop goes where the drag's entry was taken.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &drop);
        QApplication::processEvents();
    }
};

// A file that cannot be read compares as empty, and one error box after the
// run names every such file with the reason (a single one, beside a file
// that reads: CompareTwoFilesOneOrAMissingOne). A folder beside a file
// stands for the file of that name in it.
TEST_F(ReportRunsTest, UnreadableFilesCompareAsEmptyAndAreNamedInOneBox) {
    auto report = OpenReport();
    const QString gone = Path(QStringLiteral("gone.txt"));
    report->RunComparison(true, gone, Folder, true, false, false);
    EXPECT_EQ(TakeErrors().join('|'),
              QStringLiteral("Cannot read file %1: No such file or directory\n"
                             "Cannot read file %2/gone.txt: No such file or directory.")
                  .arg(gone, Folder));
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
    // The commands given during the run, a letter each: a run as the dialog
    // starts it, emptying the report (R), one that keeps the report (K), a
    // long run (L), New (N), Exit (X).
    const std::map<char, std::function<void()>> steps = {
        {'R', [&] { report->RunOnFiles(first, second); }},
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

// A long kept report is on screen before it is all in and fills with the
// window live; whatever comes meanwhile finds it whole (a run keeping the
// report, the save at exit) or drops the rest (New).
TEST_F(ReportRunsTest, AKeptReportFillsAfterTheWindowShowsAndNothingIsLost) {
    QStringList kept;
    for (int i = 0; i < 20000; ++i)
        kept << QStringLiteral("kept line %1").arg(i);
    {
        auto report = OpenReport();
        Child<QCheckBox>(report->CompareDialog(), "maintainReport")->setChecked(true);
        Child<QPlainTextEdit>(report, "resultField")->setPlainText(kept.join('\n'));
    }
    const auto [first, second] = WorkedExampleFiles();
    const auto after = [&](const std::function<void(TCompareReport *)> &Step) {
        auto report = std::make_unique<TCompareReport>(nullptr, DefaultRootKey);
        EXPECT_TRUE(report->LoadingKeptReport());
        EXPECT_LT(Lines(report).size(), kept.size() / 2);
        EXPECT_EQ(Status(report), "Loading the kept report...");
        Step(report.get());
        return Lines(report);
    };
    const auto waitAll = [](TCompareReport *Report) {
        Report->show();
        EXPECT_TRUE(QTest::qWaitFor([Report] { return !Report->LoadingKeptReport(); }));
    };
    EXPECT_EQ(after(waitAll), kept);
    after([](TCompareReport *) {}); // ended at once: saved whole, as the run below finds it
    const QStringList separated{"", SeparatorLine.data(), ""};
    EXPECT_EQ(after([&](TCompareReport *Report) {
                  Report->RunComparison(false, first, second, true, false, false);
              }),
              kept + separated + WorkedExampleReport());
    EXPECT_EQ(after([](TCompareReport *Report) {
                  Child<QAction>(Report, "New1")->trigger();
                  QTest::qWait(30);
              }),
              QStringList());
}

// The page set up in Print Setup (size, orientation, margins) is the page
// printed, also after an earlier Print and when the printer is a PDF file:
// the text starts at the margin. The printed report keeps the tints, and the
// status says how many pages went where. Both dialogs run for real.
TEST_F(ReportRunsTest, PrintUsesThePageChosenInPrintSetupAndKeepsTheTints) {
    auto report = SmallReport();
    // The PDF printed, with its page streams inflated (qUncompress wants a
    // 4-byte size in front).
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
        const QByteArray raw = ReadBytes(pdf);
        QByteArray text = raw;
        for (qsizetype at = 0, end;
             (at = raw.indexOf("stream\n", at)) >= 0 && (end = raw.indexOf("endstream", at)) >= 0;
             at = end + 9)
            text += qUncompress(QByteArray("\x00\x10\x00\x00", 4) + raw.mid(at + 7, end - at - 7));
        return QString::fromLatin1(text);
    };
    // The size of the page in points.
    const auto page = [](int Width, int Height) {
        return QRegularExpression(
            QStringLiteral("/MediaBox \\[0 0 %1(\\.0*)? %2(\\.0*)?\\]").arg(Width).arg(Height));
    };
    EXPECT_TRUE(print("before.pdf").contains(page(595, 842))) << "A4 portrait";

    Answer<QPageSetupDialog>([](QPageSetupDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [Dialog] {
            auto *size = Child<QComboBox>(Dialog, "pageSizeCombo");
            size->setCurrentIndex(size->findText(QStringLiteral("A5"), Qt::MatchStartsWith));
            Child<QRadioButton>(Dialog, "landscape")->click();
            auto *unit = Child<QComboBox>(Dialog, "unitCombo");
            unit->setCurrentIndex(unit->findText(QStringLiteral("Millimeters (mm)")));
            Child<QDoubleSpinBox>(Dialog, "leftMargin")->setValue(3.53);
            Dialog->accept();
        });
        return Dialog->exec();
    });
    Child<QAction>(report, "PrintSetup1")->trigger();
    const QString pdf = print("after.pdf");
    EXPECT_TRUE(pdf.contains(page(595, 420))) << "A5 landscape";
    EXPECT_EQ(Status(report), "Printed 1 page to " + Path("after.pdf"));
    // The page's scale and left edge ("a 0 0 d e f cm"), then the first
    // line's first glyph within it: 3.53 mm is 10 points.
    const auto cm = QRegularExpression("([.0-9]+) 0 0 -[.0-9]+ ([.0-9]+) [.0-9]+ cm").match(pdf);
    const auto glyph = QRegularExpression(" 0 0 Tm\\s+([-.0-9]+) [-.0-9]+ Td").match(pdf);
    EXPECT_NEAR(cm.captured(2).toDouble() +
                    cm.captured(1).toDouble() * glyph.captured(1).toDouble(),
                10.0, 0.5);

    // The fill colours ("r g b scn") of the page hold both tints.
    const QRegularExpression fill(QStringLiteral("([0-9.]+) ([0-9.]+) ([0-9.]+) scn"));
    const TReportKinds kinds(Child<QPlainTextEdit>(report, "resultField")->palette());
    for (const TLineKind kind : {TLineKind::OnlyInFirst, TLineKind::OnlyInSecond}) {
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

// Each kind of line has its colour while the text saved or copied stays
// plain; a dark palette keeps the text readable; F8 and Shift+F8 move
// between the runs of differences.
TEST_F(ReportRunsTest, ColoursAndDifferenceNavigation) {
    auto report = SmallReport(); // runs of differences start on lines 1, 5, 10 and 14
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
    EXPECT_EQ(field->document()->begin().blockFormat().background().style(), Qt::NoBrush);
    EXPECT_NE(tint(1), tint(2));
    const QString saved = Path(QStringLiteral("saved.txt"));
    report->Output().SaveReport(saved);
    EXPECT_EQ(QString::fromUtf8(ReadBytes(saved)), field->toPlainText() + QLatin1Char('\n'));

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

    // A run leaves the cursor at its own first difference, marked as F8
    // marks it; F8 goes on from there.
    using P = std::pair<int, QString>;
    const auto go = [&](Qt::KeyboardModifiers Modifiers) {
        QTest::keyClick(field, Qt::Key_F8, Modifiers);
        return P(field->textCursor().blockNumber(), Status(report));
    };
    auto *view = Child<TReportField>(report, "resultField");
    EXPECT_EQ(field->textCursor().blockNumber(), 10);
    EXPECT_EQ(view->CurrentDifference(), std::pair(10, 12));
    EXPECT_EQ(go(Qt::NoModifier), P(14, "Difference 4 of 4"));
    EXPECT_EQ(view->CurrentDifference(), std::pair(14, 14));
    EXPECT_EQ(go(Qt::NoModifier), P(14, "No further difference"));
    EXPECT_EQ(go(Qt::ShiftModifier), P(10, "Difference 3 of 4"));
    EXPECT_EQ(go(Qt::ShiftModifier), P(5, "Difference 2 of 4"));
    field->moveCursor(QTextCursor::Start);
    EXPECT_EQ(go(Qt::ShiftModifier), P(0, "No earlier difference"));
    // At the top of a report nobody has moved through, a run on the first
    // line is the next one.
    EXPECT_EQ(go(Qt::NoModifier), P(1, "Difference 1 of 4"));
    // Any change to the text ends the mark.
    field->textCursor().insertText(QStringLiteral("typed"));
    EXPECT_FALSE(view->HasCurrentDifference());

    // Only differences, twice: the separator parts two runs, and a run on the
    // first line is the first one found from the top.
    const QString a = Path(QStringLiteral("a.txt")), b = Path(QStringLiteral("b.txt"));
    report->RunComparison(true, a, b, true, true, false);
    EXPECT_EQ(view->CurrentDifference(), std::pair(0, 3));
    report->RunComparison(false, a, b, true, true, false);
    EXPECT_EQ(view->CurrentDifference(), std::pair(7, 10));
    EXPECT_EQ(go(Qt::ShiftModifier), P(0, "Difference 1 of 2"));
    EXPECT_EQ(go(Qt::NoModifier), P(7, "Difference 2 of 2"));
    field->selectAll();
    report->Copy1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), field->toPlainText());
    report->New1Click();
    EXPECT_EQ(go(Qt::NoModifier), P(0, "No differences in the report"));
}

// New asks before it drops what the user changed since the last run, load
// or save; No keeps it. The report's own lines and their recolouring are
// no change of the user's. New clears "Difference K of N".
TEST_F(ReportRunsTest, NewAsksBeforeItDropsTheUsersChanges) {
    auto report = SmallReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    QPalette dark;
    dark.setColor(QPalette::Base, Qt::black);
    report->setPalette(dark);
    QApplication::processEvents();
    QTest::keyClick(field, Qt::Key_F8);
    Child<QAction>(report, "New1")->trigger();
    EXPECT_EQ(Status(report), QString());
    QTest::keyClicks(field, QStringLiteral("mine"));
    Answer<QMessageBox>([](QMessageBox *Box) {
        EXPECT_EQ(Box->text(), QStringLiteral("Discard the changes you made to the report?"));
        return int(QMessageBox::No);
    });
    Child<QAction>(report, "New1")->trigger();
    EXPECT_EQ(Lines(report), QStringList(QStringLiteral("mine")));
    Answer<QFileDialog>([](QFileDialog *) { return int(QDialog::Accepted); });
    Child<QAction>(report, "SaveAs1")->trigger();
    Child<QAction>(report, "New1")->trigger();
    EXPECT_TRUE(Lines(report).isEmpty());
    // Typed, then a run that keeps the report.
    QTest::keyClicks(field, QStringLiteral("mine"));
    report->RunComparison(false, Path(QStringLiteral("a.txt")), Path(QStringLiteral("b.txt")), true,
                          false, false);
    Child<QAction>(report, "New1")->trigger();
    EXPECT_TRUE(Lines(report).isEmpty());
}

// Two files are compared at once, one opens the dialog with it as "A File"
// and the cursor in "Other File", and a missing one is named in the error
// box and compares as empty.
TEST_F(ReportRunsTest, CompareTwoFilesOneOrAMissingOne) {
    const auto [first, second] = WorkedExampleFiles();
    Start({first, second}, [&](TCompareReport *Report) {
        EXPECT_EQ(Lines(Report), WorkedExampleReport());
        EXPECT_EQ(Child<THistoryBox>(Report->CompareDialog(), "file1")->itemText(0), first);
    });
    const QString only = WriteLines(QStringLiteral("only.txt"), {"x"});
    Start(
        {only}, [](TCompareReport *) {},
        [&] {
            Answer<TCompareDialog>([&](TCompareDialog *Dialog) {
                EXPECT_EQ(Child<THistoryBox>(Dialog, "file1")->currentText(), only);
                Dialog->show(); // the other name is still to be typed
                EXPECT_EQ(FocusName(Dialog), QStringLiteral("file2"));
                Dialog->hide();
                return int(mrCancel);
            });
        });
    const QString missing = Path(QStringLiteral("missing.txt"));
    Start({missing, only}, [&](TCompareReport *Report) {
        EXPECT_EQ(Lines(Report), QStringList{QStringLiteral("only.txt      x")});
        EXPECT_EQ(TakeErrors().join('|'),
                  QStringLiteral("Cannot read file %1: No such file or directory.").arg(missing));
    });
}

// Two files dropped on the report are compared; a drop of more changes
// nothing and says why; one file or folder goes into a file box.
// Compare Again reads the files afresh with the dialog's options as they
// are now.
TEST_F(ReportRunsTest, DropsAndCompareAgain) {
    const auto [first, second] = WorkedExampleFiles();
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    auto *status = Child<QStatusBar>(report, "StatusBar1");
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_EQ(status->currentMessage(), QStringLiteral("No comparison to run again"));
    Drop(field, {first, second, first});
    EXPECT_TRUE(status->currentMessage().startsWith(QStringLiteral("3 files")));
    EXPECT_TRUE(ReportLines(field).isEmpty());
    Drop(field->viewport(), {first, second});
    EXPECT_EQ(ReportLines(field), WorkedExampleReport());

    // Lines equal under the options are common and show the first file's text.
    WriteLines(QStringLiteral("proj/new/notes.txt"), {"TITLE", "one", "t wo", "three", "four"});
    Child<QCheckBox>(report->CompareDialog(), "ignoreCase")->setChecked(true);
    Child<QCheckBox>(report->CompareDialog(), "ignoreWhiteSpace")->setChecked(true);
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_EQ(ReportLines(field), (QStringList{"       title", "       one", "       two",
                                               "       three", "       four"}));

    auto *file2 = Child<THistoryBox>(report->CompareDialog(), "file2");
    Drop(file2->lineEdit(), {first});
    EXPECT_EQ(file2->currentText(), first);
    Drop(file2, {Folder});
    EXPECT_EQ(file2->currentText(), Folder);
    auto *secondFile = Child<QLineEdit>(report->CompareWizard(), "secondFile");
    Drop(secondFile, {first});
    EXPECT_EQ(secondFile->text(), first);
}

// A name that is not valid UTF-8 reaches the file as the bytes given, from
// the command line, from the history at the next start and from a drop.
TEST_F(ReportRunsTest, NamesThatAreNotUtf8ReachTheFileAsGiven) {
    const std::string bad = EncodeFileName(Folder) + "/bad\xff.txt";
    std::ofstream(bad) << "x\nsame\n";
    const QString good = WriteLines(QStringLiteral("good.txt"), {"y", "same"});
    const QStringList expected{"bad\u00ff.txt   x", "good.txt   y", "           same"};
    Start({DecodeFileName(bad), good},
          [&](TCompareReport *Report) { EXPECT_EQ(Lines(Report), expected); });
    auto report = OpenReport();
    EXPECT_EQ(report->CompareDialog()->Options().FileName1, bad);
    Child<QAction>(report, "New1")->trigger();
    const QUrl url = QUrl::fromEncoded("file://" + QByteArray(bad.c_str()).toPercentEncoding("/"));
    DropUrls(Child<QPlainTextEdit>(report, "resultField")->viewport(),
             {url, QUrl::fromLocalFile(good)});
    EXPECT_EQ(Lines(report), expected);
}

} // namespace
