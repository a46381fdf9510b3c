#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UHelpViewer.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>

namespace {

// The design name of the control that has Window's focus: a part of a
// control (the edit of a box, the tabs of a page control) counts as it.
QString FocusName(const QWidget *Window) {
    const QWidget *W = Window->focusWidget();
    while (W != nullptr && (W->objectName().isEmpty() || W->objectName().startsWith("qt_")))
        W = W->parentWidget();
    return W != nullptr ? W->objectName() : QString();
}

// Where the focus lands when Window is shown, then each Tab stop after it
// until the focus comes back to the first.
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
    // A box's edit takes its keys through the box itself.
    if (const auto *Box = qobject_cast<const QComboBox *>(Focus))
        Focus = Box->lineEdit();
    const auto *Edit = qobject_cast<const QLineEdit *>(Focus);
    return Edit != nullptr ? Edit->selectedText() : QString();
}

class KeyboardTest : public AppTest {
protected:
    template <class W> std::unique_ptr<W> Shown(std::unique_ptr<W> Window) {
        Window->show();
        QApplication::processEvents();
        return Window;
    }
    std::unique_ptr<TCompareDialog> Dialog() {
        auto Dialog = std::make_unique<TCompareDialog>(nullptr, DefaultRootKey);
        Dialog->LoadFromIniFile();
        return Dialog;
    }
    std::unique_ptr<TCompareWizard> Wizard() {
        auto Wizard = std::make_unique<TCompareWizard>(nullptr, DefaultRootKey);
        Wizard->LoadFromIniFile();
        return Wizard;
    }
};

// The texts with access keys in Widget's window: buttons, labels, tabs.
QStringList Captions(const QWidget *Window) {
    QStringList Texts;
    for (const QAbstractButton *Button : Window->findChildren<QAbstractButton *>())
        if (Button->window() == Window)
            Texts << Button->text();
    for (const QLabel *Label : Window->findChildren<QLabel *>())
        if (Label->window() == Window && (Label->buddy() != nullptr || Label->text().contains('&')))
            Texts << Label->text();
    for (const QTabWidget *Tabs : Window->findChildren<QTabWidget *>())
        for (int I = 0; I < Tabs->count(); ++I)
            Texts << Tabs->tabText(I);
    return Texts;
}

// The access keys of Texts that clash or are missing, as "key: texts".
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

} // namespace

TEST_F(KeyboardTest, DialogFocusAndTabStopsFollowTheLayout) {
    const QStringList Buttons{"OKButton", "WizardButton", "helpButton", "CancelButton", "notebook"};
    const struct {
        const char *Page;
        QStringList Chain;
    } Cases[] = {
        {"FilesTab", QStringList{"file1", "browse1Button", "file2", "browse2Button",
                                 "dontListCommon", "ignoreBigNumbers"} +
                         Buttons},
        {"optionsTab", QStringList{"startWithDialog", "clearReport", "maintainReport"} + Buttons},
    };
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case.Page);
        auto Window = Dialog();
        Child<THistoryBox>(Window, "file1")->setEditText("/tmp/a.txt");
        Child<QTabWidget>(Window, "notebook")->setCurrentWidget(Child<QWidget>(Window, Case.Page));
        Window = Shown(std::move(Window));
        EXPECT_EQ(SelectedText(Window.get()), Case.Chain.front() == "file1" ? "/tmp/a.txt" : "");
        EXPECT_EQ(TabChain(Window.get()), Case.Chain);
    }
}

// Enter is Next on every page but the last, where it is Finish.
TEST_F(KeyboardTest, WizardFocusTabStopsAndEnterOnEveryPage) {
    auto Window = Shown(Wizard());
    const QStringList Buttons{"BtnBack", "BtnNext", "BtnCancel"};
    const QStringList Chains[] = {
        {"BtnNext", "BtnCancel"},
        QStringList{"firstFile", "BtnBrowse"} + Buttons,
        QStringList{"secondFile", "Button1"} + Buttons,
        {"BtnNext", "BtnCancel", "BtnBack"},
    };
    for (int Page = 0; Page < 4; ++Page) {
        SCOPED_TRACE(Page);
        ASSERT_EQ(Window->notebook->currentIndex(), Page);
        EXPECT_EQ(TabChain(Window.get()), Chains[Page]);
        // Back where the page put it, as Enter finds it.
        Window->UpdateButtons();
        EXPECT_EQ(SelectedText(Window.get()),
                  Page == 1 || Page == 2 ? QDir::homePath() + "/" : QString());
        QTest::keyClick(Window->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(Window->isVisible(), Page < 3);
    }
    EXPECT_EQ(Window->result(), mrOk);
}

TEST_F(KeyboardTest, ConfigurationWindowsFocusTheName) {
    auto Save = Shown(std::make_unique<TSaveConfig>(nullptr));
    EXPECT_EQ(SelectedText(Save.get()), Save->Name());
    EXPECT_EQ(TabChain(Save.get()),
              QStringList({"EditName", "ListBoxNames", "Button1", "Button2"}));
    auto Load = Shown(std::make_unique<TLoadConfig>(nullptr));
    EXPECT_EQ(TabChain(Load.get()), QStringList({"ComboBoxNames", "Button1", "Button2"}));
}

TEST_F(KeyboardTest, ReportFocusAndTheHelpWindowsKeys) {
    auto Report = OpenReport();
    EXPECT_EQ(FocusName(Report.get()), "resultField");

    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    auto Window = Shown(Dialog());
    Window->move(300, 200);
    Child<QPushButton>(Window, "helpButton")->click();
    THelpViewer *Help = HelpViewer();
    ASSERT_TRUE(Help != nullptr && Help->isVisible());
    // Near the asking dialog, at the dialog's own section.
    EXPECT_LT((Help->pos() - Window->pos()).manhattanLength(), 200);
    EXPECT_EQ(Help->focusWidget(), Help->Browser);
    const int DialogSection = Help->Browser->verticalScrollBar()->value();
    EXPECT_GT(DialogSection, 0);
    Help->Browser->setSource(QUrl("#configurations"));
    QTest::keyClick(Help->Browser, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Help->Browser->verticalScrollBar()->value(), DialogSection);
    EXPECT_TRUE(Help->ForwardButton->isEnabled());
    for (const QKeySequence &Close : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
        Help->show();
        QApplication::setActiveWindow(Help);
        QTest::keySequence(Help->Browser, Close);
        EXPECT_FALSE(Help->isVisible()) << Close.toString().toStdString();
    }
    SetHelpProgramFolder(QString());
    Help->deleteLater();
}

// Every menu item has an access key; no two in one menu, or in one window,
// are the same.
TEST_F(KeyboardTest, AccessKeysNeverClash) {
    auto Report = OpenReport();
    const QStringList Menus = {"MainMenu1", "File1", "Edit1", "Help1"};
    for (const QString &Name : Menus) {
        QStringList Texts;
        for (const QAction *Action : Report->findChild<QWidget *>(Name)->actions())
            if (!Action->isSeparator())
                Texts << Action->text();
        EXPECT_EQ(Clashes(Texts, true), QStringList()) << Name.toStdString();
    }
    auto Compare = Dialog();
    auto Wizard = this->Wizard();
    auto Save = std::make_unique<TSaveConfig>(nullptr);
    auto Load = std::make_unique<TLoadConfig>(nullptr);
    const QWidget *Windows[] = {Compare.get(), Wizard.get(), Save.get(), Load.get()};
    for (const QWidget *Window : Windows)
        EXPECT_EQ(Clashes(Captions(Window), false), QStringList())
            << Window->metaObject()->className();
    EXPECT_EQ(Clashes(Captions(Wizard.get()) << "&Finish", false), QStringList());
    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    ShowHelp();
    SetHelpProgramFolder(QString());
    ASSERT_NE(HelpViewer(), nullptr);
    EXPECT_EQ(Clashes(Captions(HelpViewer()), true), QStringList());
    HelpViewer()->deleteLater();
}
