#include "UCompareReport.h"
#include "AppTestSupport.h"
#include "Compare.h"
#include "SettingsRootKey.h"
#include "TRegIniFile.h"
#include "UAbout.h"
#include "UCompareDialog.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

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
    // The wizard answered by a user who fills both pages and finishes; every
    // showing starts on the Welcome page.
    void AnswerWizard(const QString &First, const QString &Second) {
        Answer<TCompareWizard>([=](TCompareWizard *Wizard) {
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
    }
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
};

// The values of all three windows: the defaults of a first start, then what
// the user set, stored under the value names other versions read, and back
// at the next start.
TEST_F(CompareReportTest, EveryValueUnderItsNameAndBackAtTheNextStart) {
    const char *const Boxes[] = {"dontListCommon",  "ignoreBigNumbers", "startWithDialog",
                                 "clearReport",     "maintainReport",   "ignoreCase",
                                 "ignoreWhiteSpace"};
    {
        auto report = OpenReport();
        TCompareDialog *dialog = report->CompareDialog();
        for (const char *box : Boxes)
            EXPECT_EQ(Child<QCheckBox>(dialog, box)->isChecked(), box == Boxes[3]) << box;
        // Empty name boxes that say what to enter.
        EXPECT_EQ(dialog->Options().FileName1 + dialog->Options().FileName2, "");
        for (const char *box : {"file1", "file2"})
            EXPECT_FALSE(Child<THistoryBox>(dialog, box)->lineEdit()->placeholderText().isEmpty());
        EXPECT_EQ(report->CompareWizard()->FirstFileName(), QDir::homePath() + "/");
        EXPECT_EQ(report->CompareWizard()->SecondFileName(), QDir::homePath() + "/");
        EXPECT_TRUE(ShownWindows.empty()) << "no window opens by itself on the first start";

        Child<THistoryBox>(dialog, "file1")->setEditText(QStringLiteral("/tmp/one.txt"));
        dialog->CommitFileNames();
        Child<THistoryBox>(dialog, "file1")->setEditText(QStringLiteral("/tmp/typed.txt"));
        Child<THistoryBox>(dialog, "file2")->setEditText(QStringLiteral("/tmp/two.txt"));
        Child<QTabWidget>(dialog, "notebook")
            ->setCurrentWidget(Child<QWidget>(dialog, "optionsTab"));
        for (const char *box : Boxes)
            Child<QCheckBox>(dialog, box)->setChecked(box != Boxes[2] && box != Boxes[3]);
        Child<QLineEdit>(report->CompareWizard(), "firstFile")->setText(QStringLiteral("/a.txt"));
        Child<QLineEdit>(report->CompareWizard(), "secondFile")->setText(QStringLiteral("/b.txt"));
    } // saved at destruction
    const char *const Stored[][3] = {
        {"Compare\\Dialog", "CheckBox-2", "1"},
        {"Compare\\Dialog", "CheckBox-3", "1"},
        {"Compare\\Dialog", "CheckBox-4", "0"},
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
    TRegIniFile store(DefaultRootKey);
    for (const auto &[section, name, value] : Stored)
        EXPECT_EQ(store.ReadString(section, name, "<none>"), value) << section << " " << name;

    auto report = OpenReport();
    const TCompareRequest options = report->CompareDialog()->Options();
    EXPECT_EQ(std::make_tuple(options.Clear, options.OnlyDifferences, options.IgnoreBigNumbers,
                              options.IgnoreCase, options.IgnoreWhiteSpace, options.FileName1,
                              options.FileName2),
              std::make_tuple(false, true, true, true, true, std::string("/tmp/typed.txt"),
                              std::string("/tmp/two.txt")));
    EXPECT_TRUE(report->CompareDialog()->MaintainReport());
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->itemText(0),
              QStringLiteral("/tmp/one.txt"));
    EXPECT_EQ(Child<QTabWidget>(report->CompareDialog(), "notebook")->currentWidget(),
              Child<QWidget>(report->CompareDialog(), "optionsTab"));
    EXPECT_EQ(report->CompareWizard()->SecondFileName(), QStringLiteral("/b.txt"));
}

// OK (1) runs with the dialog's names and options, Wizard (5) hands over to
// the wizard, whose Finish (1) runs with its names only; Cancel (2) runs
// nothing.
TEST_F(CompareReportTest, DialogAndWizardStartTheRuns) {
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    const auto [first, second] = WorkedExampleFiles();
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    AnswerDialog(first, second, "OKButton");
    QTest::keyClick(report.get(), Qt::Key_F5);
    const QStringList differences{"new/   zero", "old/   three", "new/   THREE", "new/   five"};
    EXPECT_EQ(ReportLines(field), differences);
    EXPECT_TRUE(Child<QStatusBar>(report, "StatusBar1")
                    ->currentMessage()
                    .startsWith(QStringLiteral("All Done: ")));
    // Both names were committed to their histories.
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->itemText(0), first);
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file2")->itemText(0), second);

    // Clear Report off: the next report follows the separator.
    Child<QCheckBox>(report->CompareDialog(), "clearReport")->setChecked(false);
    AnswerDialog(first, second, "OKButton");
    Child<QAction>(report, "Dialog1")->trigger();
    const QStringList separator{"", SeparatorLine.data(), ""};
    EXPECT_EQ(ReportLines(field), differences + separator + differences);

    // A cancelled dialog, or a wizard cancelled on its third page, runs
    // nothing; the wizard starts on Welcome again next time.
    AnswerDialog(QStringLiteral("not run a"), QStringLiteral("not run b"), "CancelButton");
    Child<QAction>(report, "Dialog1")->trigger();
    Answer<TCompareWizard>([](TCompareWizard *Wizard) {
        Wizard->show();
        Wizard->BtnNext->click();
        Wizard->BtnNext->click();
        Child<QPushButton>(Wizard, "BtnCancel")->click();
        return Wizard->result();
    });
    Child<QAction>(report, "Wizard1")->trigger();
    EXPECT_EQ(ReportLines(field).size(), 11);

    // The wizard clears and ignores the dialog's options.
    AnswerDialog(QStringLiteral("not used a"), QStringLiteral("not used b"), "WizardButton");
    AnswerWizard(first, second);
    Child<QAction>(report, "Dialog1")->trigger();
    EXPECT_EQ(ReportLines(field), WorkedExampleReport());
    // The dialog's names were not taken through their histories.
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->itemText(0), first);
}

// Every browse button opens the open dialog in the folder of the box's name,
// offering its file name; the dialog's buttons commit the box's text to its
// history first. A cancelled open dialog changes no name.
TEST_F(CompareReportTest, BrowseTakesTheChosenFile) {
    auto report = OpenReport();
    const QString chosen = WriteLines(QStringLiteral("chosen.txt"), {"x"});
    const QString typed = Path(QStringLiteral("typed.txt"));
    TCompareDialog *dialog = report->CompareDialog();
    TCompareWizard *wizard = report->CompareWizard();
    const std::tuple<QWidget *, const char *, const char *> Cases[] = {
        {dialog, "browse1Button", "file1"},
        {dialog, "browse2Button", "file2"},
        {wizard, "BtnBrowse", "firstFile"},
        {wizard, "Button1", "secondFile"}};
    for (const auto &[window, button, name] : Cases) {
        SCOPED_TRACE(button);
        auto *edit = qobject_cast<QLineEdit *>(Child<QWidget>(window, name));
        auto *history = qobject_cast<THistoryBox *>(Child<QWidget>(window, name));
        const auto text = [&] { return edit ? edit->text() : history->currentText(); };
        edit ? edit->setText(typed) : history->setEditText(typed);
        for (const bool accept : {false, true}) {
            Answer<QFileDialog>([&](QFileDialog *Open) {
                EXPECT_EQ(Open->directory().absolutePath(), Folder);
                EXPECT_EQ(Open->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text(),
                          QStringLiteral("typed.txt"));
                Open->selectFile(chosen);
                return int(accept ? QDialog::Accepted : QDialog::Rejected);
            });
            Child<QPushButton>(window, button)->click();
            EXPECT_EQ(text(), accept ? chosen : typed);
        }
        if (history != nullptr) {
            EXPECT_EQ(history->itemText(0), typed) << "committed before browsing";
        }
    }
}

TEST_F(CompareReportTest, DialogOpensByItselfOncePerRun) {
    {
        auto report = OpenReport();
        Child<QCheckBox>(report->CompareDialog(), "startWithDialog")->setChecked(true);
    } // saved at destruction
    Answer<TCompareDialog>([](TCompareDialog *) { return int(mrCancel); });
    auto report = OpenReport();
    QApplication::processEvents();
    EXPECT_EQ(PendingAnswers(), 0u) << "the dialog opened as the window was shown";
    report->hide();
    report->show();
    QApplication::processEvents();
    EXPECT_EQ(ShownWindows.size(), 1u);
}

TEST_F(CompareReportTest, StopEndsTheRunAndALaterRunIsWhole) {
    auto report = OpenReport();
    const auto [a, b] = LongFiles(50000);
    // The stop arrives at the first delivery of pending events.
    QTimer::singleShot(0, Child<QAction>(report, "Stop1"), &QAction::trigger);
    report->RunComparison(true, a, b, true, false, false);
    const int stopped = ReportLines(Child<QPlainTextEdit>(report, "resultField")).size();
    EXPECT_GE(stopped, 1) << "the step in progress completes";
    EXPECT_LT(stopped, 100000);
    EXPECT_EQ(Child<QStatusBar>(report, "StatusBar1")->currentMessage(),
              QStringLiteral("Stopped: the report is incomplete"));

    const auto [first, second] = WorkedExampleFiles();
    report->RunComparison(true, first, second, true, false, false);
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), WorkedExampleReport());
}

TEST_F(CompareReportTest, ExitDuringARunStopsItAndEndsTheModalRun) {
    auto report = OpenReport();
    report->hide();
    const auto [a, b] = LongFiles(50000);
    RunForReal<TCompareReport>();
    AnswerDialog(a, b, "OKButton");
    QTimer::singleShot(0, report.get(), [&] {
        // Posted before the run starts: delivered at its first step.
        QTimer::singleShot(0, Child<QAction>(report, "Exit1"), &QAction::trigger);
        Child<QAction>(report, "Dialog1")->trigger();
    });
    EXPECT_EQ(ShowModal(report.get()), mrCancel);
    EXPECT_FALSE(report->isVisible());
    EXPECT_LT(ReportLines(Child<QPlainTextEdit>(report, "resultField")).size(), 100000);
    EXPECT_EQ(Child<QStatusBar>(report, "StatusBar1")->currentMessage(),
              QStringLiteral("Stopped: the report is incomplete"));
}

TEST_F(CompareReportTest, EscInTheReportTextDoesNotEndTheProgram) {
    auto report = OpenReport();
    report->hide();
    RunForReal<TCompareReport>();
    bool visibleAfterEsc = false;
    QTimer::singleShot(0, report.get(), [&] {
        QTest::keyClick(Child<QPlainTextEdit>(report, "resultField"), Qt::Key_Escape);
        visibleAfterEsc = report->isVisible();
        Child<QAction>(report, "Exit1")->trigger();
    });
    EXPECT_EQ(ShowModal(report.get()), mrCancel);
    EXPECT_TRUE(visibleAfterEsc);
}

// Whatever face stands in for the design's, every label shows its whole
// text, and the wizard's picture blends with its buttons.
TEST_F(CompareReportTest, WindowsShowTheirWholeTextAndThePicture) {
    auto report = OpenReport();
    ExpectLabelsShowWholeText(report->CompareDialog());
    ExpectLabelsShowWholeText(report->CompareWizard());
    const QImage shown = report->CompareWizard()->ImageFlag->pixmap().toImage();
    ASSERT_EQ(shown.size(), QSize(200, 250));
    EXPECT_EQ(shown.pixelColor(1, 1), report->CompareWizard()->palette().color(QPalette::Button));
}

TEST_F(CompareReportTest, AboutBoxIsBuiltAfreshForEveryOpening) {
    auto report = OpenReport();
    for (int i = 0; i < 2; ++i)
        Answer<TAbout>([](TAbout *About) {
            EXPECT_EQ(Child<QLabel>(About, "TarnwellNameLabel")->text(),
                      QStringLiteral("Compare Tarnwell"));
            EXPECT_EQ(Child<QLabel>(About, "versionLabel")->text(),
                      QStringLiteral("version: 1.01"));
            EXPECT_FALSE(Child<QLabel>(About, "iconImage")->pixmap().isNull());
            ExpectLabelsShowWholeText(About);
            // A box kept from the first opening would show this text the second time.
            Child<QLabel>(About, "versionLabel")->setText(QStringLiteral("changed"));
            return int(mrOk);
        });
    Child<QAction>(report, "About1")->trigger();
    Child<QAction>(report, "About1")->trigger();
}

} // namespace
