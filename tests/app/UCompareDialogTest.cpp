#include "UCompareDialog.h"
#include "AppTestSupport.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QToolTip>

namespace {

// The compare dialog and wizard as a keyboard user meets them: where the
// cursor starts and returns, and what a name box takes.
class DialogTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        Report = OpenReport();
        Dialog = Report->CompareDialog();
        Wizard = Report->CompareWizard();
    }
    // Shows Window as the active window, as a modal showing would.
    static void ShowActive(QWidget *Window) {
        Window->show();
        QApplication::setActiveWindow(Window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(Window));
    }
    THistoryBox *Box(const char *Name) const { return Child<THistoryBox>(Dialog, Name); }

    std::unique_ptr<TCompareReport> Report;
    TCompareDialog *Dialog = nullptr;
    TCompareWizard *Wizard = nullptr;
};

// Whatever page was left in front, the dialog opens on the Compare page with
// the cursor in "A File"; started with one file ("tarnwell --compare FILE"),
// in "Other File", that once.
TEST_F(DialogTest, OpensOnTheComparePageWithTheCursorWhereTheNameGoes) {
    const auto shown = [this] {
        ShowActive(Dialog);
        const QString Where = Child<QTabWidget>(Dialog, "notebook")->currentWidget()->objectName() +
                              " " + FocusName(Dialog);
        Dialog->hide();
        return Where;
    };
    ShowActive(Dialog);
    Child<QTabWidget>(Dialog, "notebook")->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
    Dialog->hide();
    EXPECT_EQ(shown(), "FilesTab file1");

    const QString Only = WriteLines("only.txt", {"x"});
    QString Started;
    Answer<TCompareDialog>([&](TCompareDialog *) { return Started = shown(), int(mrCancel); });
    Report->StartWith({Only});
    Report->FormActivate();
    EXPECT_EQ(Started, "FilesTab file2");
    EXPECT_EQ(Box("file1")->currentText(), Only);
    EXPECT_EQ(shown(), "FilesTab file1");
}

// Alt and a letter that no control on the page in front answers types
// nothing: here those of the Options page's boxes, and one of no control.
// The keys of the page in front still work.
TEST_F(DialogTest, AnAccessKeyOfAHiddenPageTypesNothing) {
    ShowActive(Dialog);
    for (const Qt::Key Key : {Qt::Key_G, Qt::Key_P, Qt::Key_Q})
        QTest::keyClick(Dialog->focusWidget(), Key, Qt::AltModifier);
    EXPECT_EQ(Box("file1")->currentText(), "");
    QTest::keyClick(Dialog->focusWidget(), Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(FocusName(Dialog), "file2");
    Child<QTabWidget>(Dialog, "notebook")->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
    QTest::keyClick(Dialog->focusWidget(), Qt::Key_G, Qt::AltModifier);
    // A check box's access key clicks it a moment later.
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return Child<QCheckBox>(Dialog, "ignoreCase")->isChecked(); }));
    // The report's text takes no stray letter either.
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    QTest::keyClick(Field, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(Field->toPlainText(), "");
}

// After "..." (chosen or cancelled) the cursor is back in the box, so Enter
// is OK in the dialog and Next in the wizard.
TEST_F(DialogTest, BrowsingReturnsTheCursorToItsBox) {
    const QString Chosen = WriteLines("chosen.txt", {"x"});
    Box("file1")->setEditText("a");
    Box("file2")->setEditText("b");
    const std::tuple<QDialog *, const char *, const char *, int> Boxes[] = {
        {Dialog, "browse1Button", "file1", 0},
        {Dialog, "browse2Button", "file2", 0},
        {Wizard, "BtnBrowse", "firstFile", 1},
        {Wizard, "Button1", "secondFile", 2}};
    for (const auto &[Window, Button, BoxName, Page] : Boxes)
        for (const bool Accept : {false, true}) {
            SCOPED_TRACE(std::string(Button) + (Accept ? " chosen" : " cancelled"));
            Window->setResult(0);
            ShowActive(Window);
            if (Window == Wizard)
                Wizard->notebook->setCurrentIndex(Page);
            auto *Browse = Child<QPushButton>(Window, Button);
            Browse->setFocus(Qt::TabFocusReason);
            Answer<QFileDialog>([&](QFileDialog *Open) {
                Open->selectFile(Chosen);
                return int(Accept ? QDialog::Accepted : QDialog::Rejected);
            });
            QTest::keyClick(Browse, Qt::Key_Space);
            EXPECT_EQ(FocusName(Window), BoxName);
            QTest::keyClick(Window->focusWidget(), Qt::Key_Return);
            EXPECT_EQ(Window == Wizard ? Wizard->notebook->currentIndex() : Dialog->result(),
                      Window == Wizard ? Page + 1 : int(mrOk));
            Window->hide();
        }
}

// OK with an empty name box, and Next on a wizard page with one, stay where
// they are: the cursor goes to the box and a tip under it says why. Names
// of blanks may name files and go through.
TEST_F(DialogTest, OkAndNextNeedAFileName) {
    Child<QLineEdit>(Wizard, "secondFile")->clear();
    const std::tuple<QDialog *, const char *, const char *, int> Cases[] = {{Dialog, "", "b", 0},
                                                                            {Dialog, "a", "", 0},
                                                                            {Dialog, " ", "b", 0},
                                                                            {Wizard, "", "", 1},
                                                                            {Wizard, "a", "", 2}};
    for (const auto &[Window, First, Second, Page] : Cases) {
        SCOPED_TRACE(std::string(First) + "|" + Second);
        const bool Given = *First != 0 && *Second != 0;
        ShowActive(Window);
        QToolTip::hideText();
        if (Window == Dialog) {
            Box("file1")->setEditText(First);
            Box("file2")->setEditText(Second);
            // OK from the Options page too.
            Child<QTabWidget>(Dialog, "notebook")
                ->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
            Child<QPushButton>(Dialog, "OKButton")->click();
            EXPECT_EQ(Dialog->isVisible(), !Given);
        } else {
            Child<QLineEdit>(Wizard, "firstFile")->setText(First);
            Wizard->notebook->setCurrentIndex(Page);
            Wizard->BtnNext->click();
            EXPECT_EQ(Wizard->notebook->currentIndex(), Page);
        }
        if (!Given) {
            EXPECT_EQ(FocusName(Window), *First == 0 ? (Window == Dialog ? "file1" : "firstFile")
                                                     : (Window == Dialog ? "file2" : "secondFile"));
            EXPECT_TRUE(QToolTip::isVisible());
            EXPECT_EQ(QToolTip::text(), "Name a file to compare");
        }
        Window->hide();
    }
}

} // namespace
