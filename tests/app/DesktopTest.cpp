#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTest>

namespace {

class DesktopTest : public AppTest {
protected:
    std::unique_ptr<TCompareDialog> Dialog() {
        auto Dialog = std::make_unique<TCompareDialog>(nullptr, DefaultRootKey);
        Dialog->LoadFromIniFile();
        return Dialog;
    }
};

} // namespace

TEST_F(DesktopTest, EditMenuUndoesRedoesAndSelectsAll) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    Field->setFocus();
    QTest::keyClicks(Field, "abc");
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Field->toPlainText(), "");
    Child<QAction>(Report, "Redo1")->trigger();
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "Undo1")->trigger();
    EXPECT_EQ(Field->toPlainText(), "");
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "SelectAll1")->trigger();
    EXPECT_EQ(Field->textCursor().selectedText(), "abc");
    // A run cannot be undone: it leaves nothing to undo.
    Report->RunComparison(true, QString(), QString(), true, false, false);
    EXPECT_FALSE(Child<QAction>(Report, "Undo1")->isEnabled());
}

TEST_F(DesktopTest, TitleNamesTheFilesOfTheRunUntilNew) {
    auto Report = OpenReport();
    const auto [Old, New] = WorkedExampleFiles();
    Report->RunComparison(true, Old, New, true, false, false);
    EXPECT_EQ(Report->windowTitle(), "Compare Report - old/ : new/");
    Report->RunComparison(false, Path("x/a.txt"), Path("b.txt"), true, false, false);
    EXPECT_EQ(Report->windowTitle(), "Compare Report - a.txt : b.txt");
    Child<QAction>(Report, "New1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report");
}

TEST_F(DesktopTest, DialogCannotShrinkBelowItsDesignSize) {
    auto Window = Dialog();
    Window->show();
    const QSize Design = Window->size();
    Window->resize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(Window->size(), Design);
    EXPECT_EQ(Child<THistoryBox>(Window, "file1")->width(), 201);
}

// Browse opens in the box's folder, in the home folder when the box names
// none; the wizard's boxes start there.
TEST_F(DesktopTest, BrowseOpensInTheBoxsFolderElseAtHome) {
    const QString Home = QDir::homePath();
    const QString Nested = WriteLines("deep/name.txt", {"x"});
    auto Window = Dialog();
    TCompareWizard Wizard(nullptr, DefaultRootKey);
    Wizard.LoadFromIniFile();
    auto *First = Child<QLineEdit>(&Wizard, "firstFile");
    const struct {
        std::function<void(const QString &)> Type;
        QPushButton *Browse;
    } Boxes[] = {
        {[&](const QString &Text) { Child<THistoryBox>(Window, "file2")->setEditText(Text); },
         Child<QPushButton>(Window, "browse2Button")},
        {[&](const QString &Text) { First->setText(Text); },
         Child<QPushButton>(&Wizard, "BtnBrowse")},
    };
    const struct {
        QString Text, Folder, Name;
    } Cases[] = {
        {"", Home, ""},
        {Home + "/", Home, ""},
        {Nested, QFileInfo(Nested).absolutePath(), "name.txt"},
        {Folder + "/missing/b.txt", Home, "b.txt"},
        {"plain.txt", Home, "plain.txt"},
    };
    for (const auto &Box : Boxes)
        for (const auto &Case : Cases) {
            SCOPED_TRACE(Case.Text.toStdString());
            Box.Type(Case.Text);
            Answer<QFileDialog>([&](QFileDialog *Open) {
                EXPECT_EQ(Open->directory().absolutePath(), Case.Folder);
                EXPECT_EQ(Open->findChild<QLineEdit *>("fileNameEdit")->text(), Case.Name);
                return int(QDialog::Rejected);
            });
            Box.Browse->click();
        }
    EXPECT_EQ(First->text(), "plain.txt") << "a cancelled browse changes nothing";
}

TEST_F(DesktopTest, NoCompletionListOutlivesTheFileDialog) {
    auto Window = Dialog();
    WriteLines("pick/alpha.txt", {"x"});
    Child<THistoryBox>(Window, "file1")->setEditText(Path("pick/"));
    Answer<QFileDialog>([](QFileDialog *Open) {
        Open->show();
        QCompleter *Completer = Open->findChild<QCompleter *>();
        QTest::keyClicks(Open->findChild<QLineEdit *>("fileNameEdit"), "al");
        // The folder is read in the background: ask again until it is.
        EXPECT_TRUE(QTest::qWaitFor([&] {
            Completer->complete();
            return Completer->popup()->isVisible();
        }));
        static_cast<QDialog *>(Open)->done(QDialog::Accepted);
        EXPECT_FALSE(Completer->popup()->isVisible());
        return Open->result();
    });
    Child<QPushButton>(Window, "browse1Button")->click();
}

TEST_F(DesktopTest, HistoryListShowsTheCurrentEntryAndWholeNames) {
    auto Window = Dialog();
    Window->show();
    auto *Box = Child<THistoryBox>(Window, "file1");
    const QString Long = "/" + QString("very-long-folder/").repeated(8) + "name.txt";
    const QString Huge = "/" + QString("x").repeated(4000) + "/tail.txt";
    Box->addItems({"/a/notes.txt", Long, "/a/Notes.txt", Huge});
    const struct {
        QString Text;
        int Highlighted;
    } Cases[] = {{"/a/Notes.txt", 2}, {Long, 1}, {"/typed.txt", -1}};
    for (const auto &Case : Cases) {
        Box->setEditText(Case.Text);
        Box->showPopup();
        EXPECT_EQ(Box->view()->selectionModel()->selectedRows().value(0).row(), Case.Highlighted)
            << Case.Text.toStdString();
        Box->hidePopup();
    }
    Box->removeItem(3);
    Box->showPopup();
    EXPECT_GE(Box->view()->width(), Box->view()->fontMetrics().horizontalAdvance(Long));
    Box->hidePopup();
    Box->addItem(Huge);
    Box->showPopup();
    EXPECT_LE(Box->view()->window()->width(), Box->screen()->availableGeometry().width());
    EXPECT_EQ(Box->view()->textElideMode(), Qt::ElideMiddle);
    Box->hidePopup();
}
