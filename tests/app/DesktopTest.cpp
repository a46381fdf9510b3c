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

template <class W> std::unique_ptr<W> Restored() {
    auto Window = std::make_unique<W>(nullptr, DefaultRootKey);
    Window->LoadFromIniFile();
    return Window;
}

using DesktopTest = AppTest;

} // namespace

TEST_F(DesktopTest, DialogFocusAndTabStopsFollowTheLayout) {
    const QStringList Buttons{"OKButton", "WizardButton", "helpButton", "CancelButton", "notebook"};
    const std::pair<const char *, QStringList> Cases[] = {
        {"FilesTab", QStringList{"file1", "browse1Button", "file2", "browse2Button",
                                 "dontListCommon", "ignoreBigNumbers"} +
                         Buttons},
        {"optionsTab", QStringList{"startWithDialog", "clearReport", "maintainReport", "ignoreCase",
                                   "ignoreWhiteSpace"} +
                           Buttons}};
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
    TSaveConfig Save;
    TLoadConfig Load;
    for (const QWidget *Window : std::initializer_list<const QWidget *>{
             Report->CompareDialog(), Report->CompareWizard(), &Save, &Load}) {
        // The window's own buttons and labelled boxes; the wizard's Next
        // becomes Finish.
        QStringList Texts{Window == Report->CompareWizard() ? "&Finish" : ""};
        for (const QAbstractButton *Button : Window->findChildren<QAbstractButton *>())
            if (Button->window() == Window)
                Texts << Button->text();
        for (const QLabel *Label : Window->findChildren<QLabel *>())
            if (Label->window() == Window && Label->buddy() != nullptr)
                Texts << Label->text();
        EXPECT_EQ(Clashes(Texts, false), QStringList()) << Window->metaObject()->className();
    }
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

// The Edit menu's commands, and the title, which names the run's files until
// New. A run cannot be undone.
TEST_F(DesktopTest, EditMenuAndTitle) {
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
    EXPECT_FALSE(Child<QAction>(Report, "Undo1")->isEnabled());
    EXPECT_EQ(Report->windowTitle(), "Compare Report - old/ : new/");
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
}

// Every browse button opens in the folder its box names, offering the
// file's name, and at home when the box names no folder that exists. The
// dialog's boxes commit their text to the history first. Accepted, the box
// takes the chosen file; cancelled, it keeps its text.
TEST_F(DesktopTest, BrowseOpensInTheBoxsFolderAndTakesTheChosenFile) {
    const QString Home = QDir::homePath(), Chosen = WriteLines("deep/chosen.txt", {"x"});
    auto Report = OpenReport();
    const std::tuple<QString, QString, QString> Seeds[] = {
        {"", Home, ""},
        {Chosen, QFileInfo(Chosen).absolutePath(), "chosen.txt"},
        {Folder + "/missing/b.txt", Home, "b.txt"},
        {"plain.txt", Home, "plain.txt"}};
    const std::pair<QWidget *, const char *> Boxes[] = {{Report->CompareDialog(), "file1"},
                                                        {Report->CompareDialog(), "file2"},
                                                        {Report->CompareWizard(), "firstFile"},
                                                        {Report->CompareWizard(), "secondFile"}};
    const char *const Buttons[] = {"browse1Button", "browse2Button", "BtnBrowse", "Button1"};
    bool Accept = false;
    for (int I = 0; I < 4; ++I)
        for (const auto &[Text, Where, Name] : Seeds) {
            SCOPED_TRACE(std::string(Buttons[I]) + " " + Text.toStdString());
            auto *Box = qobject_cast<QComboBox *>(Child<QWidget>(Boxes[I].first, Boxes[I].second));
            auto *Edit = Box != nullptr ? Box->lineEdit()
                                        : Child<QLineEdit>(Boxes[I].first, Boxes[I].second);
            Edit->setText(Text);
            Accept = !Accept;
            Answer<QFileDialog>([&](QFileDialog *Open) {
                EXPECT_EQ(Open->directory().absolutePath(), Where);
                EXPECT_EQ(Open->findChild<QLineEdit *>("fileNameEdit")->text(), Name);
                Open->selectFile(Chosen);
                return int(Accept ? QDialog::Accepted : QDialog::Rejected);
            });
            Child<QPushButton>(Boxes[I].first, Buttons[I])->click();
            EXPECT_EQ(Edit->text(), Accept ? Chosen : Text);
            EXPECT_TRUE(Box == nullptr || Text.isEmpty() || Box->itemText(0) == Text)
                << "committed before browsing";
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
