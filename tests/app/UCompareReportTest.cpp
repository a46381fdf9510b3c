#include "UCompareReport.h"
#include "AppTestSupport.h"
#include "Compare.h"
#include "SettingsRootKey.h"
#include "TMyIniFile.h"
#include "TRegIniFile.h"
#include "UAbout.h"
#include "UCompareDialog.h"
#include "UCompareWizard.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

using TReport = std::unique_ptr<TCompareReport>;

QString Status(const TReport &Report) {
    return Child<QStatusBar>(Report, "StatusBar1")->currentMessage();
}

QStringList Lines(const TReport &Report) {
    return ReportLines(Child<QPlainTextEdit>(Report, "resultField"));
}

// Family, points, bold and italic.
auto Style(const QFont &Font) {
    return std::tuple(Font.family(), Font.pointSize(), Font.bold(), Font.italic());
}

QByteArray Read(const QString &Path) {
    QFile File(Path);
    return File.open(QIODevice::ReadOnly) ? File.readAll() : QByteArray();
}

class CompareReportTest : public AppTest {
protected:
    // The dialog answered by a user who types two names and presses a button.
    void AnswerDialog(const QString &First, const QString &Second, const char *Button) {
        Answer<TCompareDialog>([=](TCompareDialog *Dialog) {
            Child<THistoryBox>(Dialog, "file1")->setEditText(First);
            Child<THistoryBox>(Dialog, "file2")->setEditText(Second);
            Dialog->show();
            Child<QPushButton>(Dialog, Button)->click();
            return Dialog->result();
        });
    }
    void ChooseFont(const TReport &Report, const QFont &Font, bool Accept) {
        Answer<QFontDialog>([=](QFontDialog *Dialog) {
            Dialog->setCurrentFont(Font);
            return int(Accept ? QDialog::Accepted : QDialog::Rejected);
        });
        Child<QAction>(Report, "Font1")->trigger();
    }
    // Two files of Count lines that share none: every line is reported.
    std::pair<QString, QString> LongFiles(int Count) {
        QStringList A, B;
        for (int I = 0; I < Count; ++I)
            A << QString("left %1").arg(I), B << QString("right %1").arg(I);
        return {WriteLines("long-a.txt", A), WriteLines("long-b.txt", B)};
    }
    // Prints the report through the print dialog into a PDF file; its pages.
    int PrintToPdf(const TReport &Report, const QString &Name) {
        Answer<QPrintDialog>([Pdf = Path(Name)](QPrintDialog *Dialog) {
            Dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            Dialog->printer()->setOutputFileName(Pdf);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "Print1")->trigger();
        return QString::fromLatin1(Read(Path(Name))).count(QRegularExpression("/Type\\s*/Page\\b"));
    }
};

// The values of all three windows: the defaults of a first start, then what
// the user set, stored under the value names other versions read, and back
// at the next start.
TEST_F(CompareReportTest, EveryValueUnderItsNameAndBackAtTheNextStart) {
    const char *const Boxes[] = {"dontListCommon",  "ignoreBigNumbers", "startWithDialog",
                                 "clearReport",     "maintainReport",   "ignoreCase",
                                 "ignoreWhiteSpace"};
    QFont Chosen("DejaVu Sans Mono", 14);
    Chosen.setBold(true);
    Chosen.setItalic(true);
    {
        auto Report = OpenReport();
        TCompareDialog *Dialog = Report->CompareDialog();
        TCompareWizard *Wizard = Report->CompareWizard();
        EXPECT_TRUE(ShownWindows.empty()) << "no window opens by itself on the first start";
        for (const char *Box : Boxes)
            EXPECT_EQ(Child<QCheckBox>(Dialog, Box)->isChecked(), Box == Boxes[3]) << Box;
        // Empty name boxes that say what to enter; the wizard's at home.
        for (const char *Box : {"file1", "file2"}) {
            EXPECT_EQ(Child<THistoryBox>(Dialog, Box)->currentText(), "");
            EXPECT_NE(Child<THistoryBox>(Dialog, Box)->lineEdit()->placeholderText(), "");
        }
        EXPECT_EQ(Wizard->FirstFileName(), QDir::homePath() + "/");
        EXPECT_EQ(Wizard->SecondFileName(), QDir::homePath() + "/");
        // "Courier New" at 10 points, or a fixed-pitch face in its stead,
        // which the font dialog offers.
        const QFont Font = Child<QPlainTextEdit>(Report, "resultField")->font();
        EXPECT_EQ(Style(Font), std::tuple(QString("Courier New"), 10, false, false));
        EXPECT_TRUE(QFontInfo(Font).fixedPitch()) << QFontInfo(Font).family().toStdString();
        EXPECT_EQ(Style(Report->GetFontDialog()->currentFont()),
                  std::tuple(QFontInfo(Font).family(), 10, false, false));
        // Whatever face stands in for the design's, every label shows its
        // whole text, and the wizard's picture blends with its buttons.
        ExpectLabelsShowWholeText(Dialog);
        ExpectLabelsShowWholeText(Wizard);
        EXPECT_EQ(Wizard->ImageFlag->pixmap().toImage().pixelColor(1, 1),
                  Wizard->palette().color(QPalette::Button));

        Child<THistoryBox>(Dialog, "file1")->setEditText("/tmp/one.txt");
        Dialog->CommitFileNames();
        Child<THistoryBox>(Dialog, "file1")->setEditText("/tmp/typed.txt");
        Child<THistoryBox>(Dialog, "file2")->setEditText("/tmp/two.txt");
        Child<QTabWidget>(Dialog, "notebook")
            ->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
        for (const char *Box : Boxes)
            Child<QCheckBox>(Dialog, Box)->setChecked(Box != Boxes[3]);
        Child<QLineEdit>(Wizard, "firstFile")->setText("/a.txt");
        Child<QLineEdit>(Wizard, "secondFile")->setText("/b.txt");
        ChooseFont(Report, Chosen, true);
    } // saved at destruction
    const char *const Stored[][3] = {
        {"Compare\\Dialog", "CheckBox-2", "1"},
        {"Compare\\Dialog", "CheckBox-3", "1"},
        {"Compare\\Dialog", "CheckBox-4", "1"},
        {"Compare\\Dialog", "CheckBox-5", "0"},
        {"Compare\\Dialog", "CheckBox-6", "1"},
        {"Compare\\Dialog", "CheckBox-7", "1"},
        {"Compare\\Dialog", "CheckBox-8", "1"},
        {"Compare\\Dialog", "Misc-1", "optionsTab"},
        {"Compare\\Dialog-History-3", "Text", "/tmp/typed.txt"},
        {"Compare\\Dialog-History-3", "Item1", "/tmp/one.txt"},
        {"Compare\\Dialog-History-4", "Text", "/tmp/two.txt"},
        {"Compare\\Wizard", "Edit-1", "/a.txt"},
        {"Compare\\Wizard", "Edit-2", "/b.txt"},
        {"Compare\\Report", "Version", "1"},
    };
    TRegIniFile Store(DefaultRootKey);
    for (const auto &[Section, Name, Value] : Stored)
        EXPECT_EQ(Store.ReadString(Section, Name, "<none>"), Value) << Section << " " << Name;

    // Start with Dialog: once per run, not at every showing.
    ShownWindows.clear();
    Answer<TCompareDialog>([](TCompareDialog *) { return int(mrCancel); });
    auto Report = OpenReport();
    QApplication::processEvents();
    Report->hide();
    Report->show();
    QApplication::processEvents();
    EXPECT_EQ(ShownWindows.size(), 1u);
    const TCompareRequest Options = Report->CompareDialog()->Options();
    EXPECT_EQ(std::tuple(Options.Clear, Options.OnlyDifferences, Options.IgnoreBigNumbers,
                         Options.IgnoreCase, Options.IgnoreWhiteSpace, Options.FileName1,
                         Options.FileName2),
              std::tuple(false, true, true, true, true, std::string("/tmp/typed.txt"),
                         std::string("/tmp/two.txt")));
    EXPECT_TRUE(Report->CompareDialog()->MaintainReport());
    EXPECT_EQ(Child<THistoryBox>(Report->CompareDialog(), "file1")->itemText(0), "/tmp/one.txt");
    EXPECT_EQ(Child<QTabWidget>(Report->CompareDialog(), "notebook")->currentWidget(),
              Child<QWidget>(Report->CompareDialog(), "optionsTab"));
    EXPECT_EQ(Report->CompareWizard()->SecondFileName(), "/b.txt");
    EXPECT_EQ(Style(Child<QPlainTextEdit>(Report, "resultField")->font()), Style(Chosen));
    // A cancelled font dialog changes nothing.
    ChooseFont(Report, QFont("DejaVu Serif", 20), false);
    EXPECT_EQ(Child<QPlainTextEdit>(Report, "resultField")->font().family(), Chosen.family());
    EXPECT_EQ(Report->GetFontDialog()->currentFont().family(), Chosen.family());
}

// OK (1) runs with the dialog's names and options, Wizard (5) hands over to
// the wizard, whose Finish (1) runs with its names only; Cancel (2) runs
// nothing.
TEST_F(CompareReportTest, DialogAndWizardStartTheRuns) {
    auto Report = OpenReport();
    const auto [First, Second] = WorkedExampleFiles();
    auto *Names = Child<THistoryBox>(Report->CompareDialog(), "file1");
    Child<QCheckBox>(Report->CompareDialog(), "dontListCommon")->setChecked(true);
    AnswerDialog(First, Second, "OKButton");
    QTest::keyClick(Report.get(), Qt::Key_F5);
    const QStringList Differences{"new/   zero", "old/   three", "new/   THREE", "new/   five"};
    EXPECT_EQ(Lines(Report), Differences);
    EXPECT_TRUE(Status(Report).startsWith("All Done: "));
    // Both names were committed to their histories.
    EXPECT_EQ(Names->itemText(0), First);
    EXPECT_EQ(Child<THistoryBox>(Report->CompareDialog(), "file2")->itemText(0), Second);

    // Clear Report off: the next report follows the separator.
    Child<QCheckBox>(Report->CompareDialog(), "clearReport")->setChecked(false);
    AnswerDialog(First, Second, "OKButton");
    Child<QAction>(Report, "Dialog1")->trigger();
    EXPECT_EQ(Lines(Report),
              Differences + (QStringList{"", SeparatorLine.data(), ""}) + Differences);

    // A cancelled dialog, or a wizard cancelled on its third page, runs
    // nothing.
    AnswerDialog("not run a", "not run b", "CancelButton");
    Child<QAction>(Report, "Dialog1")->trigger();
    Answer<TCompareWizard>([](TCompareWizard *Wizard) {
        Wizard->show();
        Wizard->BtnNext->click();
        Wizard->BtnNext->click();
        Child<QPushButton>(Wizard, "BtnCancel")->click();
        return Wizard->result();
    });
    Child<QAction>(Report, "Wizard1")->trigger();
    EXPECT_EQ(Lines(Report).size(), 11);

    // The wizard, on Welcome at every showing, clears and ignores the
    // dialog's options; the dialog's names were not taken.
    AnswerDialog("not used a", "not used b", "WizardButton");
    Answer<TCompareWizard>([First = First, Second = Second](TCompareWizard *Wizard) {
        Wizard->show();
        EXPECT_EQ(Wizard->notebook->currentIndex(), 0);
        Wizard->BtnNext->click();
        Child<QLineEdit>(Wizard, "firstFile")->setText(First);
        Wizard->BtnNext->click();
        Child<QLineEdit>(Wizard, "secondFile")->setText(Second);
        Wizard->BtnNext->click();
        Wizard->BtnNext->click();
        return Wizard->result();
    });
    Child<QAction>(Report, "Dialog1")->trigger();
    EXPECT_EQ(Lines(Report), WorkedExampleReport());
    EXPECT_EQ(Names->itemText(0), First);

    Answer<TAbout>([](TAbout *About) {
        EXPECT_FALSE(Child<QLabel>(About, "iconImage")->pixmap().isNull());
        return int(mrOk);
    });
    Child<QAction>(Report, "About1")->trigger();
}

TEST_F(CompareReportTest, StopEndsTheRunAndALaterRunIsWhole) {
    auto Report = OpenReport();
    const auto [A, B] = LongFiles(50000);
    // The stop arrives at the first delivery of pending events.
    QTimer::singleShot(0, Child<QAction>(Report, "Stop1"), &QAction::trigger);
    Report->RunComparison(true, A, B, true, false, false);
    EXPECT_GE(Lines(Report).size(), 1) << "the step in progress completes";
    EXPECT_LT(Lines(Report).size(), 100000);
    EXPECT_EQ(Status(Report), "Stopped: the report is incomplete");

    const auto [First, Second] = WorkedExampleFiles();
    Report->RunComparison(true, First, Second, true, false, false);
    EXPECT_EQ(Lines(Report), WorkedExampleReport());
}

// Esc in the report's text leaves the window up; Exit during a run stops
// the run and ends the window's modal run.
TEST_F(CompareReportTest, ExitDuringARunStopsItAndEndsTheModalRun) {
    auto Report = OpenReport();
    Report->hide();
    const auto [A, B] = LongFiles(50000);
    RunForReal<TCompareReport>();
    AnswerDialog(A, B, "OKButton");
    bool VisibleAfterEsc = false;
    QTimer::singleShot(0, Report.get(), [&] {
        QTest::keyClick(Child<QPlainTextEdit>(Report, "resultField"), Qt::Key_Escape);
        VisibleAfterEsc = Report->isVisible();
        // Posted before the run starts: delivered at its first step.
        QTimer::singleShot(0, Child<QAction>(Report, "Exit1"), &QAction::trigger);
        Child<QAction>(Report, "Dialog1")->trigger();
    });
    EXPECT_EQ(ShowModal(Report.get()), mrCancel);
    EXPECT_TRUE(VisibleAfterEsc);
    EXPECT_FALSE(Report->isVisible());
    EXPECT_LT(Lines(Report).size(), 100000);
    EXPECT_EQ(Status(Report), "Stopped: the report is incomplete");
}

// Save As writes the report as UTF-8 lines. The name it proposes saves when
// accepted: Report.txt in the home folder, later in the folder of the last
// successful save. A file that cannot be written is shown in the error
// box, and the report and the file stay as they were.
TEST_F(CompareReportTest, SaveAsWritesUtf8LinesOrShowsWhyNot) {
    auto Report = OpenReport();
    const QString Text = QString::fromUtf8("first line\n\nsecond \xC3\xA9\xC2\xA0line");
    Child<QPlainTextEdit>(Report, "resultField")->setPlainText(Text);
    // A path below a plain file cannot be created, not even by root.
    const QString Blocker = WriteLines("blocker", {"x"});
    const QString Home = QDir::homePath() + "/Report.txt", Here = Path("Report.txt");
    // The name typed (none: the proposal is accepted) and the one proposed.
    const std::pair<QString, QString> Saves[] = {
        {"", Home}, {Path("one.txt"), Home}, {Blocker + "/report.txt", Here}, {"", Here}};
    for (const auto &[Typed, Proposed] : Saves) {
        Answer<QFileDialog>([&](QFileDialog *Dialog) {
            EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(Dialog->selectedFiles(), QStringList(Proposed));
            if (!Typed.isEmpty())
                Dialog->selectFile(Typed);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "SaveAs1")->trigger();
    }
    for (const QString &Saved : {Home, Path("one.txt"), Here})
        EXPECT_EQ(Read(Saved), QByteArray("first line\n\nsecond \xC3\xA9\xC2\xA0line\n"));
    const QStringList Errors = TakeErrors();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith("Cannot write file " + Blocker)) << Errors[0].toStdString();
    EXPECT_TRUE(Errors[0].endsWith('.'));
    EXPECT_EQ(PlainTextLines(Child<QPlainTextEdit>(Report, "resultField")).join('\n'), Text);
    EXPECT_EQ(Read(Blocker), QByteArray("x\n"));
}

// One job, named after the report, that grows with it; a file that cannot
// be written is shown in the error box.
TEST_F(CompareReportTest, PrintingGrowsWithTheReportOrShowsWhyNot) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    Field->setPlainText("a short report");
    EXPECT_EQ(PrintToPdf(Report, "small.pdf"), 1);
    QStringList Long;
    for (int I = 0; I < 400; ++I)
        Long << QString("report line %1").arg(I);
    Field->setPlainText(Long.join('\n'));
    EXPECT_GT(PrintToPdf(Report, "large.pdf"), 3);
    EXPECT_EQ(Report->PrintDialog()->printer()->docName(), "Compare\\Report Tarnwell");
    WriteLines("blocker", {"x"});
    PrintToPdf(Report, "blocker/out.pdf");
    EXPECT_EQ(TakeErrors().size(), 1);
}

// Loading a configuration gives the report every style of its stored font,
// whatever the font before had: a regular one loses the bold of a font
// chosen before, a bold one is bold after a regular one, in the report and
// in the font dialog. The dialog's values come back with it.
TEST_F(CompareReportTest, LoadingAConfigurationGivesTheFontItsStoredStyles) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    auto *Common = Child<QCheckBox>(Report->CompareDialog(), "dontListCommon");
    const auto Choose = [&](const char *Style) {
        ChooseFont(Report, QFontDatabase::font("DejaVu Sans Mono", Style, 12), true);
    };
    const auto Configuration = [&](const char *Name, bool Save) {
        if (Save)
            Answer<TSaveConfig>([Name](TSaveConfig *Window) {
                Child<QLineEdit>(Window, "EditName")->setText(Name);
                return int(mrOk);
            });
        else
            Answer<TLoadConfig>([Name](TLoadConfig *Window) {
                auto *Names = Child<QComboBox>(Window, "ComboBoxNames");
                Names->setCurrentIndex(Names->findText(Name));
                return int(mrOk);
            });
        Child<QAction>(Report, Save ? "SaveConfiguration1" : "LoadConfiguration1")->trigger();
    };
    const auto Bold = [&] {
        const QFontInfo Shown(Field->font());
        EXPECT_FALSE(Field->font().italic() || Shown.italic());
        EXPECT_EQ(Field->font().bold(), Shown.bold()) << "what is shown differs";
        return Shown.bold();
    };
    Choose("Bold");
    ASSERT_TRUE(Bold());
    Common->setChecked(true);
    Configuration("Bold", true);
    Choose("Book");
    ASSERT_FALSE(Bold());
    Common->setChecked(false);
    Configuration("Regular", true);

    Choose("Bold");
    Configuration("Regular", false);
    EXPECT_FALSE(Bold());
    EXPECT_FALSE(Report->GetFontDialog()->currentFont().bold());
    Configuration("Bold", false);
    EXPECT_TRUE(Bold());
    EXPECT_TRUE(Report->GetFontDialog()->currentFont().bold());
    EXPECT_TRUE(Common->isChecked());
}

TEST_F(CompareReportTest, FailedSaveAtExitIsShownAndStopsThere) {
    {
        auto Report = OpenReport();
        Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(true);
        Child<QPlainTextEdit>(Report, "resultField")->setPlainText("kept");
        // The kept report's folder cannot be made: a plain file is in the way.
        WriteLines("data/Brackwater Software", {"x"});
    }
    EXPECT_EQ(TakeErrors().size(), 1);
    TRegIniFile Store(DefaultRootKey);
    EXPECT_TRUE(Store.ReadBool("Compare\\Dialog", "CheckBox-6", false)) << "saved before";
    EXPECT_EQ(Store.ReadString("Compare\\ReportFont-1", "Name", "none"), "none") << "not after";
}

} // namespace
