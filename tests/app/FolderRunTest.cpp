#include "AppTestSupport.h"
#include "MyComps.h"
#include "ReportKinds.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>

namespace {

const QString Old = QStringLiteral(TARNWELL_TEST_DATA "/trees/basic/old");
const QString New = QStringLiteral(TARNWELL_TEST_DATA "/trees/basic/new");

class FolderRunTest : public AppTest {};

// Two folders compared as the dialog compares files: the status counts the
// files as the run goes and the paths at its end, the title names the
// folders, no error box comes; "Only in" lines take the only-in kinds, the
// other path lines the heading's, and F8 stops at them. Compare Again runs
// the folders again with the options as they are now.
TEST_F(FolderRunTest, TheDialogsFoldersAreComparedAndComparedAgain) {
    auto report = OpenReport();
    auto *status = Child<QStatusBar>(report, "StatusBar1");
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    QStringList shown;
    QObject::connect(status, &QStatusBar::messageChanged,
                     [&shown](const QString &Message) { shown << Message; });
    report->RunOnFiles(Old, New);
    EXPECT_TRUE(shown.contains(QStringLiteral("Comparing\u2026 1 file")))
        << shown.join('|').toStdString();
    EXPECT_EQ(status->currentMessage(),
              "All Done: 6 files differ, 2 only in old, 2 only in new, 6 identical");
    EXPECT_EQ(report->windowTitle(), "Compare Report - old : new");
    EXPECT_TRUE(TakeErrors().isEmpty());
    const QTextDocument *document = field->document();
    EXPECT_EQ(BlockKind(document->findBlockByNumber(0)), TLineKind::Heading);
    QStringList stops;
    for (int k = 0; k < 6; ++k) {
        report->GoToDifference(TCompareReport::TDirection::Forward);
        stops << field->textCursor().block().text();
    }
    EXPECT_TRUE(stops.contains("Only in old: gone/") && stops.contains("Only in new: only-new.txt"))
        << stops.join('|').toStdString();

    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_FALSE(field->toPlainText().contains("Identical:"));
    EXPECT_EQ(field->document()->blockCount(), 24);
}

// A wizard run takes folders too; Stop ends a folder run at once.
TEST_F(FolderRunTest, TheWizardTakesFoldersAndStopEndsTheRun) {
    auto report = OpenReport();
    auto *status = Child<QStatusBar>(report, "StatusBar1");
    Child<QLineEdit>(report->CompareWizard(), "firstFile")->setText(Old);
    Child<QLineEdit>(report->CompareWizard(), "secondFile")->setText(New);
    report->RunFromWizard();
    EXPECT_TRUE(status->currentMessage().startsWith("All Done: 6 files differ"));
    QTimer::singleShot(0, report.get(), [&] { Child<QAction>(report, "Stop1")->trigger(); });
    report->RunFromWizard();
    EXPECT_EQ(status->currentMessage(), "Stopped: the report is incomplete");
    EXPECT_LE(Child<QPlainTextEdit>(report, "resultField")->document()->blockCount(), 2);
}

// The browse dialog chooses a folder once its folder choice is checked, and
// files again, of every type, once it is not.
TEST_F(FolderRunTest, BrowseChoosesAFolderWithTheFolderChoice) {
    auto report = OpenReport();
    const QString folder = Path(QStringLiteral("chosen"));
    QDir().mkpath(folder);
    Answer<QFileDialog>([&](QFileDialog *Open) {
        auto *choice = Child<QCheckBox>(Open, "folderChoice");
        choice->setChecked(true);
        choice->setChecked(false);
        EXPECT_EQ(Open->fileMode(), QFileDialog::AnyFile);
        EXPECT_EQ(Child<QComboBox>(Open, "fileTypeCombo")->currentText(), "All Files (*)");
        choice->setChecked(true);
        EXPECT_EQ(Open->fileMode(), QFileDialog::Directory);
        Open->selectFile(folder);
        return int(QDialog::Accepted);
    });
    Child<QPushButton>(report->CompareDialog(), "browse1Button")->click();
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->currentText(), folder);
}

} // namespace
