#include "AppMain.h"
#include "AppTestSupport.h"
#include "CommandLine.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

namespace {

class StartupTest : public AppTest {
protected:
    // The report window of the program's next run: Look sees it once the
    // start-up's own action (a run, or the dialog) is over.
    void Look(std::function<void(TCompareReport *)> Look) {
        Answer<TCompareReport>([Look](TCompareReport *Report) {
            Report->show();
            QTest::qWait(50);
            Look(Report);
            return int(mrCancel);
        });
    }
    static void Drop(QWidget *Target, const QStringList &Names) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &name : Names)
            urls << QUrl::fromLocalFile(name);
        data.setUrls(urls);
        // The drop goes where the drag's entry was taken.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &drop);
        QApplication::processEvents();
    }
};

TEST_F(StartupTest, ConfigurationIsTheFirstArgumentThatIsNoOption) {
    EXPECT_EQ(ParseCommandLine({"t", "work", "--compare", "a"}).Configuration, "work");
    const TCommandLine line = ParseCommandLine({"t", "--compare", "a", "b", "work"});
    EXPECT_EQ(line.Files, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(line.Configuration, "work");
    for (const auto &wrong : {std::vector<std::string>{"t", "--compare", "a", "--compare", "b"},
                              {"t", "--x"},
                              {"t", "a", "b"}})
        EXPECT_FALSE(ParseCommandLine(wrong).Error.empty()) << wrong[1];
    EXPECT_TRUE(ParseCommandLine({"t", "--x", "--help"}).Help);
    // The desktop entry's "--compare %F" with no file selected: a plain start.
    EXPECT_TRUE(ParseCommandLine({"t", "--compare"}).Error.empty());
}

// Two files are compared at once, one opens the dialog with it, and a
// missing one is named in the error box and compares as empty.
TEST_F(StartupTest, CompareTwoFilesOneOrAMissingOne) {
    const auto files = WorkedExampleFiles();
    const auto report = [](TCompareReport *Report) {
        return ReportLines(Child<QPlainTextEdit>(Report, "resultField"));
    };
    Look([&](TCompareReport *Report) {
        EXPECT_EQ(report(Report), WorkedExampleReport());
        EXPECT_EQ(Child<THistoryBox>(Report->CompareDialog(), "file1")->itemText(0), files.first);
    });
    EXPECT_EQ(RunApplication(
                  {"tarnwell", "--compare", files.first.toStdString(), files.second.toStdString()}),
              0);

    const QString only = WriteLines(QStringLiteral("only.txt"), {"x"});
    Look([](TCompareReport *) {});
    Answer<TCompareDialog>([&](TCompareDialog *Dialog) {
        EXPECT_EQ(Child<THistoryBox>(Dialog, "file1")->currentText(), only);
        return int(mrCancel);
    });
    EXPECT_EQ(RunApplication({"tarnwell", "--compare", only.toStdString()}), 0);

    const QString missing = Path(QStringLiteral("missing.txt"));
    Look([&](TCompareReport *Report) {
        EXPECT_EQ(report(Report), QStringList{QStringLiteral("only.txt      x")});
        EXPECT_EQ(
            TakeErrors(),
            QStringList{
                QStringLiteral("Cannot read file %1: No such file or directory.").arg(missing)});
    });
    EXPECT_EQ(RunApplication({"tarnwell", "--compare", missing.toStdString(), only.toStdString()}),
              0);
}

// Two files dropped on the report are compared; a drop of more, or of a
// folder, changes nothing and says why; one file goes into a file box.
// Compare Again reads the files afresh with the dialog's options as they
// are now.
TEST_F(StartupTest, DropsAndCompareAgain) {
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
    EXPECT_EQ(file2->currentText(), first);
    EXPECT_TRUE(status->currentMessage().contains(QStringLiteral("is a folder")));
    auto *secondFile = Child<QLineEdit>(report->CompareWizard(), "secondFile");
    Drop(secondFile, {first});
    EXPECT_EQ(secondFile->text(), first);
}

} // namespace
