#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UHelpViewer.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

// The design name of the control with Window's focus; a part of a control
// (the tabs of a page control) counts as the control.
QString FocusName(const QWidget *Window) {
    const QWidget *W = Window->focusWidget();
    while (W != nullptr && (W->objectName().isEmpty() || W->objectName().startsWith("qt_")))
        W = W->parentWidget();
    return W != nullptr ? W->objectName() : QString();
}

// The control with the focus, then each one Tab reaches until the first.
QStringList TabChain(QWidget *Window) {
    QStringList Chain{FocusName(Window)};
    for (int I = 0; I < 20; ++I) {
        QTest::keyClick(Window->focusWidget(), Qt::Key_Tab);
        if (FocusName(Window) == Chain.front())
            break;
        Chain << FocusName(Window);
    }
    return Chain;
}

QString SelectedText(const QWidget *Window) {
    const QWidget *Focus = Window->focusWidget();
    if (const auto *Box = qobject_cast<const QComboBox *>(Focus))
        Focus = Box->lineEdit(); // a box's edit takes its keys through the box
    const auto *Edit = qobject_cast<const QLineEdit *>(Focus);
    return Edit != nullptr ? Edit->selectedText() : QString();
}

// The captions of Window's own buttons and labelled boxes.
QStringList Captions(const QWidget *Window) {
    QStringList Texts;
    for (const QAbstractButton *Button : Window->findChildren<QAbstractButton *>())
        if (Button->window() == Window)
            Texts << Button->text();
    for (const QLabel *Label : Window->findChildren<QLabel *>())
        if (Label->window() == Window && Label->buddy() != nullptr)
            Texts << Label->text();
    return Texts;
}

// "k: texts" for each access key two texts share; "none: text" for a text
// without one when every text needs one.
QStringList Clashes(const QStringList &Texts, bool EveryTextHasOne) {
    QMap<QChar, QStringList> Keys;
    QStringList Faults;
    for (const QString &Text : Texts) {
        const int At = QString(Text).replace("&&", "__").indexOf('&');
        if (At >= 0 && At + 1 < Text.size())
            Keys[Text[At + 1].toLower()] << Text;
        else if (EveryTextHasOne)
            Faults << "none: " + Text;
    }
    for (auto It = Keys.cbegin(); It != Keys.cend(); ++It)
        if (It->size() > 1)
            Faults << QString(It.key()) + ": " + It->join(", ");
    return Faults;
}

class DesktopTest : public AppTest {
protected:
    template <class W> std::unique_ptr<W> Restored() {
        auto Window = std::make_unique<W>(nullptr, DefaultRootKey);
        Window->LoadFromIniFile();
        return Window;
    }
};

} // namespace

TEST_F(DesktopTest, DialogFocusAndTabStopsFollowTheLayout) {
    const QStringList Buttons{"OKButton", "WizardButton", "helpButton", "CancelButton", "notebook"};
    const QStringList Files{"file1",         "browse1Button",  "file2",
                            "browse2Button", "dontListCommon", "ignoreBigNumbers"};
    const std::pair<const char *, QStringList> Cases[] = {
        {"FilesTab", Files + Buttons},
        {"optionsTab", QStringList{"startWithDialog", "clearReport", "maintainReport"} + Buttons}};
    for (const auto &[Page, Chain] : Cases) {
        SCOPED_TRACE(Page);
        auto Window = Restored<TCompareDialog>();
        Child<THistoryBox>(Window, "file1")->setEditText("/tmp/a.txt");
        Child<QTabWidget>(Window, "notebook")->setCurrentWidget(Child<QWidget>(Window, Page));
        Window->show();
        EXPECT_EQ(SelectedText(Window.get()), Chain.front() == "file1" ? "/tmp/a.txt" : "");
        EXPECT_EQ(TabChain(Window.get()), Chain);
    }
}

// Enter is Next on every page but the last, where it is Finish.
TEST_F(DesktopTest, WizardFocusTabStopsAndEnterOnEveryPage) {
    auto Window = Restored<TCompareWizard>();
    Window->show();
    const QStringList Buttons{"BtnBack", "BtnNext", "BtnCancel"};
    const QStringList Chains[] = {{"BtnNext", "BtnCancel"},
                                  QStringList{"firstFile", "BtnBrowse"} + Buttons,
                                  QStringList{"secondFile", "Button1"} + Buttons,
                                  {"BtnNext", "BtnCancel", "BtnBack"}};
    for (int Page = 0; Page < 4; ++Page) {
        SCOPED_TRACE(Page);
        ASSERT_EQ(Window->notebook->currentIndex(), Page);
        EXPECT_EQ(TabChain(Window.get()), Chains[Page]);
        Window->UpdateButtons(); // the focus back where the page put it
        EXPECT_EQ(SelectedText(Window.get()),
                  Page == 1 || Page == 2 ? QDir::homePath() + "/" : QString());
        QTest::keyClick(Window->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(Window->isVisible(), Page < 3);
    }
    EXPECT_EQ(Window->result(), mrOk);
}

TEST_F(DesktopTest, ConfigurationWindowsFocusTheNameAndTheReportItsText) {
    TSaveConfig Save;
    Save.show();
    EXPECT_EQ(SelectedText(&Save), Save.Name());
    EXPECT_EQ(TabChain(&Save), QStringList({"EditName", "ListBoxNames", "Button1", "Button2"}));
    TLoadConfig Load;
    Load.show();
    EXPECT_EQ(TabChain(&Load), QStringList({"ComboBoxNames", "Button1", "Button2"}));
    EXPECT_EQ(FocusName(OpenReport().get()), "resultField");
}

// Every menu item has an access key; no two in one menu, or one window, clash.
TEST_F(DesktopTest, AccessKeysNeverClash) {
    auto Report = OpenReport();
    for (const char *Menu : {"MainMenu1", "File1", "Edit1", "Help1"}) {
        QStringList Texts;
        for (const QAction *Action : Child<QWidget>(Report, Menu)->actions())
            if (!Action->isSeparator())
                Texts << Action->text();
        EXPECT_EQ(Clashes(Texts, true), QStringList()) << Menu;
    }
    auto Dialog = Restored<TCompareDialog>();
    auto Wizard = Restored<TCompareWizard>();
    TSaveConfig Save;
    TLoadConfig Load;
    for (const QWidget *Window :
         {(QWidget *)Dialog.get(), (QWidget *)Wizard.get(), (QWidget *)&Save, (QWidget *)&Load})
        EXPECT_EQ(Clashes(Captions(Window), false), QStringList())
            << Window->metaObject()->className();
    EXPECT_EQ(Clashes(Captions(Wizard.get()) << "&Finish", false), QStringList());
}

TEST_F(DesktopTest, HelpOpensNearTheDialogAtItsSectionWithItsOwnKeys) {
    auto Window = Restored<TCompareDialog>();
    Window->show();
    Window->move(300, 200);
    QApplication::setActiveWindow(Window.get());
    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    Child<QPushButton>(Window, "helpButton")->click();
    SetHelpProgramFolder(QString());
    THelpViewer *Help = HelpViewer();
    ASSERT_TRUE(Help != nullptr && Help->isVisible());
    EXPECT_LT((Help->pos() - Window->pos()).manhattanLength(), 200);
    EXPECT_EQ(Help->focusWidget(), Help->Browser);
    const int Section = Help->Browser->verticalScrollBar()->value();
    EXPECT_GT(Section, 0);
    Help->Browser->setSource(QUrl("#configurations"));
    QApplication::setActiveWindow(Help);
    QTest::keyClick(Help->Browser, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Help->Browser->verticalScrollBar()->value(), Section);
    for (const QKeySequence &Close : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
        Help->show();
        QApplication::setActiveWindow(Help);
        QTest::keySequence(Help->Browser, Close);
        EXPECT_FALSE(Help->isVisible()) << Close.toString().toStdString();
    }
}

TEST_F(DesktopTest, EditMenuUndoesRedoesAndSelectsAll) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    QTest::keyClicks(Field, "abc");
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Field->toPlainText(), "");
    Child<QAction>(Report, "Redo1")->trigger();
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "Undo1")->trigger();
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "SelectAll1")->trigger();
    EXPECT_EQ(Field->textCursor().selectedText(), "abc");
    const auto [Old, New] = WorkedExampleFiles();
    Report->RunComparison(true, Old, New, true, false, false);
    EXPECT_FALSE(Child<QAction>(Report, "Undo1")->isEnabled()) << "a run cannot be undone";
}

TEST_F(DesktopTest, TitleNamesTheFilesOfTheRunUntilNew) {
    auto Report = OpenReport();
    const auto [Old, New] = WorkedExampleFiles();
    Report->RunComparison(true, Old, New, true, false, false);
    EXPECT_EQ(Report->windowTitle(), "Compare Report - old/ : new/");
    Report->RunComparison(false, WriteLines("x/a.txt", {}), WriteLines("b.txt", {}), true, false,
                          false);
    EXPECT_EQ(Report->windowTitle(), "Compare Report - a.txt : b.txt");
    const QString Lower = WriteLines("x/notes.txt", {}), Upper = WriteLines("x/Notes.txt", {});
    Report->RunComparison(true, Lower, Upper, true, false, false);
    EXPECT_EQ(Report->windowTitle(), "Compare Report - " + Lower + " : " + Upper);
    Child<QAction>(Report, "New1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report");
}

TEST_F(DesktopTest, DialogCannotShrinkBelowItsDesignSize) {
    auto Window = Restored<TCompareDialog>();
    Window->show();
    const QSize Design = Window->size();
    Window->resize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(Window->size(), Design);
    EXPECT_EQ(Child<THistoryBox>(Window, "file1")->width(), 201);
}

// Browse opens in the box's folder, at home when the box names none that
// exists; the wizard's boxes start at home.
TEST_F(DesktopTest, BrowseOpensInTheBoxsFolderElseAtHome) {
    const QString Home = QDir::homePath(), Nested = WriteLines("deep/name.txt", {"x"});
    auto Dialog = Restored<TCompareDialog>();
    auto Wizard = Restored<TCompareWizard>();
    const std::tuple<QString, QString, QString> Cases[] = {
        {"", Home, ""},
        {Nested, QFileInfo(Nested).absolutePath(), "name.txt"},
        {Folder + "/missing/b.txt", Home, "b.txt"},
        {"plain.txt", Home, "plain.txt"}};
    for (const auto &[Text, Where, Name] : Cases) {
        SCOPED_TRACE(Text.toStdString());
        Child<THistoryBox>(Dialog, "file2")->setEditText(Text);
        Child<QLineEdit>(Wizard, "firstFile")->setText(Text);
        for (QPushButton *Browse : {Child<QPushButton>(Dialog, "browse2Button"),
                                    Child<QPushButton>(Wizard, "BtnBrowse")}) {
            Answer<QFileDialog>([&](QFileDialog *Open) {
                EXPECT_EQ(Open->directory().absolutePath(), Where);
                EXPECT_EQ(Open->findChild<QLineEdit *>("fileNameEdit")->text(), Name);
                return int(QDialog::Rejected);
            });
            Browse->click();
        }
    }
}

TEST_F(DesktopTest, NoCompletionListOutlivesTheFileDialog) {
    auto Window = Restored<TCompareDialog>();
    WriteLines("pick/alpha.txt", {"x"});
    Child<THistoryBox>(Window, "file1")->setEditText(Path("pick/"));
    Answer<QFileDialog>([](QFileDialog *Open) {
        Open->show();
        QCompleter *Completer = Open->findChild<QCompleter *>();
        QTest::keyClicks(Open->findChild<QLineEdit *>("fileNameEdit"), "al");
        // The folder is read in the background: ask again until it is.
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return Completer->complete(), Completer->popup()->isVisible(); }));
        static_cast<QDialog *>(Open)->done(QDialog::Accepted);
        EXPECT_FALSE(Completer->popup()->isVisible());
        return Open->result();
    });
    Child<QPushButton>(Window, "browse1Button")->click();
}

// The open list highlights the entry the box shows, exactly, and is as wide
// as the longest entry, but never wider than the screen.
TEST_F(DesktopTest, HistoryListShowsTheCurrentEntryAndWholeNames) {
    auto Window = Restored<TCompareDialog>();
    Window->show();
    auto *Box = Child<THistoryBox>(Window, "file1");
    const QString Long = "/" + QString("very-long-folder/").repeated(8) + "name.txt";
    Box->addItems({"/a/notes.txt", Long, "/a/Notes.txt"});
    for (const auto &[Text, Row] : {std::pair<QString, int>{"/a/Notes.txt", 2}, {"/b.txt", -1}}) {
        Box->setEditText(Text);
        Box->showPopup();
        EXPECT_EQ(Box->view()->selectionModel()->selectedRows().value(0).row(), Row);
        EXPECT_GE(Box->view()->width(), Box->view()->fontMetrics().horizontalAdvance(Long));
        Box->hidePopup();
    }
    Box->addItem("/" + QString("x").repeated(4000) + "/tail.txt");
    Box->showPopup();
    EXPECT_LE(Box->view()->window()->width(), Box->screen()->availableGeometry().width());
    EXPECT_EQ(Box->view()->textElideMode(), Qt::ElideMiddle);
}
