#include "AppTestSupport.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"
#include "UnifiedDiff.h"
#include "UnifiedTrees.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <sys/stat.h>

namespace {

using PatchAndPatternTest = AppTest;

// A pattern that does not compile keeps the dialog open, says why under the
// box and puts the cursor there, where the pattern went wrong; mended, OK
// runs with it, and Compare Again too.
TEST_F(PatchAndPatternTest, TheDialogRefusesAnInvalidPatternAndRunsWithAGoodOne) {
    const QString A = WriteLines("a.txt", {"at 10:00:01 start", "end"});
    const QString B = WriteLines("b.txt", {"at 11:22:33 start", "end"});
    auto Report = OpenReport();
    TCompareDialog *Dialog = Report->CompareDialog();
    Dialog->SetFirstFileName(A);
    Dialog->SetSecondFileName(B);
    Answer<TCompareDialog>([](TCompareDialog *Dialog) {
        Dialog->show();
        Child<THistoryBox>(Dialog, "ignoreText")->setEditText("[0-9:]+(");
        Child<QPushButton>(Dialog, "OKButton")->click();
        EXPECT_TRUE(Dialog->isVisible());
        EXPECT_EQ(Child<QLabel>(Dialog, "ignoreTextError")->text(),
                  "Invalid pattern: missing closing parenthesis at offset 8");
        // The box takes its edit's keys.
        EXPECT_EQ(Dialog->focusWidget(), Child<THistoryBox>(Dialog, "ignoreText"));
        EXPECT_EQ(Child<THistoryBox>(Dialog, "ignoreText")->lineEdit()->cursorPosition(), 8);
        EXPECT_EQ(Child<QTabWidget>(Dialog, "notebook")->currentWidget()->objectName(),
                  "optionsTab");
        // The reason goes with the pattern it was for.
        Child<THistoryBox>(Dialog, "ignoreText")->setEditText("'a'|[0-9:]+|'b'");
        EXPECT_EQ(Child<QLabel>(Dialog, "ignoreTextError")->text(), "");
        Child<QPushButton>(Dialog, "OKButton")->click();
        return Dialog->result();
    });
    Child<QAction>(Report, "Dialog1")->trigger();
    const QStringList Same{"        at 10:00:01 start", "        end"};
    EXPECT_EQ(Lines(Report), Same);
    EXPECT_EQ(Child<THistoryBox>(Dialog, "ignoreText")->itemText(0), "'a'|[0-9:]+|'b'");
    Child<QAction>(Report, "New1")->trigger();
    Child<QAction>(Report, "CompareAgain1")->trigger();
    EXPECT_EQ(Lines(Report), Same);

    // An empty box ignores nothing.
    Child<THistoryBox>(Dialog, "ignoreText")->setEditText("");
    EXPECT_TRUE(Dialog->Options().IgnoreText.empty());
}

// Save as Patch writes the unified diff of the last run's files, read again,
// to the name chosen (the first file's name and ".patch" is proposed, in the
// folder of the last save). It is off before a run and after New. A file
// that cannot be read any more, or a file that cannot be written, is told in
// the error box and nothing is written.
TEST_F(PatchAndPatternTest, SaveAsPatchWritesTheLastRunsDiff) {
    auto Report = OpenReport();
    auto *Command = Child<QAction>(Report, "SaveAsPatch1");
    EXPECT_FALSE(Command->isEnabled());
    const QString A = WriteLines("old/a.txt", {"one", "two", "three"});
    const QString B = WriteLines("new/b.txt", {"one", "TWO", "three", "four"});
    Report->RunComparison(true, A, B, true, false, false);
    ASSERT_TRUE(Command->isEnabled());
    const QString Blocker = WriteLines("blocker", {"x"}), Here = Path("mine.patch");
    const QString Fifo = Path("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(Fifo).constData(), 0600), 0);
    const std::pair<QString, QString> Saves[] = {{Here, QDir::homePath() + "/a.txt.patch"},
                                                 {Blocker + "/x.patch", Path("a.txt.patch")},
                                                 {Fifo, Path("a.txt.patch")}};
    for (const auto &[Typed, Proposed] : Saves) {
        Answer<QFileDialog>([&](QFileDialog *Dialog) {
            EXPECT_EQ(Dialog->windowTitle(), "Save as Patch");
            EXPECT_EQ(Dialog->selectedFiles(), QStringList(Proposed));
            if (!Typed.isEmpty())
                Dialog->selectFile(Typed);
            return int(QDialog::Accepted);
        });
        Command->trigger();
    }
    std::string Diff;
    WriteUnifiedDiff({.FileName1 = A.toStdString(), .FileName2 = B.toStdString()}, {},
                     [&](std::string_view Bytes) { Diff += Bytes; });
    EXPECT_TRUE(Diff.ends_with("-two\n+TWO\n three\n+four\n")) << Diff;
    QStringList Errors = TakeErrors();
    ASSERT_EQ(Errors.size(), 2);
    EXPECT_TRUE(Errors[0].startsWith("Cannot write file " + Blocker)) << Errors[0].toStdString();
    EXPECT_EQ(Errors[1], "Cannot write file " + Fifo + ": not a regular file.");

    // The file is read again: gone now, it is named, and the patch it would
    // have replaced stays.
    QFile::remove(B);
    Answer<QFileDialog>([&](QFileDialog *Dialog) {
        Dialog->selectFile(Here);
        return int(QDialog::Accepted);
    });
    Command->trigger();
    Errors = TakeErrors();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_EQ(Errors[0], "Cannot read file " + B + ": No such file or directory.");
    EXPECT_EQ(ReadBytes(Here).toStdString(), Diff);

    // Two folders give the diff of the trees.
    Report->RunComparison(true, Path("old"), Path("new"), true, false, false);
    Answer<QFileDialog>([&](QFileDialog *Dialog) {
        Dialog->selectFile(Here);
        return int(QDialog::Accepted);
    });
    Command->trigger();
    std::string Trees;
    WriteUnifiedTrees(
        {.FileName1 = Path("old").toStdString(), .FileName2 = Path("new").toStdString()}, 3,
        [&](std::string_view Bytes) { Trees += Bytes; }, [](std::string_view, bool) {});
    EXPECT_TRUE(Trees.ends_with("+++ " + Path("new/a.txt").toStdString() + "\t" +
                                std::string(UnifiedEpochTime) +
                                "\n@@ -1,3 +0,0 @@\n-one\n-two\n-three\n"))
        << Trees;
    EXPECT_TRUE(TakeErrors().isEmpty());
    EXPECT_EQ(ReadBytes(Here).toStdString(), Trees);

    Child<QAction>(Report, "New1")->trigger();
    EXPECT_FALSE(Command->isEnabled());
}

} // namespace
