#include "AppTestSupport.h"
#include "MyComps.h"
#include "ReportKinds.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTextBlock>

namespace {

const QString Old = QStringLiteral(TARNWELL_TEST_DATA "/trees/basic/old");
const QString New = QStringLiteral(TARNWELL_TEST_DATA "/trees/basic/new");

class FolderRunTest : public AppTest {};

// Two folders compared as the dialog compares files: the status counts the
// files as the run goes and the paths at its end, the title names the
// folders, no error box comes, a path's line shows as a heading. Compare
// Again runs the folders again with the options as they are now.
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
    EXPECT_EQ(BlockKind(field->document()->findBlockByNumber(0)), TLineKind::Heading);

    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_FALSE(field->toPlainText().contains("Identical:"));
    EXPECT_EQ(field->document()->blockCount(), 24);
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
