#include "FrameworkTest.h"

#include "ConfigNames.h"
#include "ULoadConfig.h"
#include "UMyReport.h"
#include "USaveConfig.h"

#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace {

const std::string Key = "Brackwater Software\\Tarnwells";
const std::string Others = "Brackwater Software\\Tarnwells\\Others";

// A report window with a dialog and a wizard built in code; it counts the
// runs and keeps the fonts it was given.
class TTestReport : public TMyReport {
public:
    TTestReport() : TMyReport(nullptr, Key, "Test") {
        Dialog = new TMyDialog(this, Key, "Test");
        Wizard = new TMyWizard(this, Key, "Test", 3);
        Fonts = new QFontDialog(this);
        resize(500, 400);
    }
    void RunFromDialog() override { ++DialogRuns; }
    void RunFromWizard() override { ++WizardRuns; }
    QFontDialog *GetFontDialog() override { return Fonts; }
    void SetReportFont(const QFont &Font) override { Applied.push_back(Font); }

    int DialogRuns = 0;
    int WizardRuns = 0;
    QFontDialog *Fonts;
    std::vector<QFont> Applied;
};

class TMyReportTest : public FrameworkTest {
protected:
    // Answers the modal windows in turn from Answers; records who was shown.
    void Answer(std::vector<std::function<int(QDialog *)>> Answers) {
        SetModalHook([this, Answers](QDialog *Window) {
            Shown.push_back(Window);
            const size_t Index = Shown.size() - 1;
            return Index < Answers.size() ? Answers[Index](Window) : int(mrCancel);
        });
    }
    static std::function<int(QDialog *)> Result(int R) {
        return [R](QDialog *) { return R; };
    }
    std::vector<QDialog *> Shown;
};

} // namespace

TEST_F(TMyReportTest, ShowDialogActsOnTheResult) {
    struct TCase {
        int DialogResult, WizardResult, DialogRuns, WizardRuns, Windows;
    };
    const TCase Cases[] = {
        {mrOk, 0, 1, 0, 1},        {mrCancel, 0, 0, 0, 1},        {0, 0, 0, 0, 1},
        {mrWizard, mrOk, 0, 1, 2}, {mrWizard, mrCancel, 0, 0, 2},
    };
    for (const TCase &Case : Cases) {
        SCOPED_TRACE(Case.DialogResult * 10 + Case.WizardResult);
        TTestReport Report;
        Shown.clear();
        Answer({Result(Case.DialogResult), Result(Case.WizardResult)});
        Report.ShowDialog();
        EXPECT_EQ(Report.DialogRuns, Case.DialogRuns);
        EXPECT_EQ(Report.WizardRuns, Case.WizardRuns);
        ASSERT_EQ(int(Shown.size()), Case.Windows);
        EXPECT_EQ(Shown[0], Report.Dialog);
        if (Case.Windows == 2) {
            EXPECT_EQ(Shown[1], Report.Wizard);
        }
    }
}

TEST_F(TMyReportTest, ChooseFontAppliesOnlyAConfirmedFont) {
    TTestReport Report;
    const QFont Original = Report.Fonts->currentFont();
    QFont Picked = Original;
    Picked.setPointSize(Original.pointSize() + 7);
    auto Pick = [Picked](int R) {
        return [Picked, R](QDialog *Window) {
            static_cast<QFontDialog *>(Window)->setCurrentFont(Picked);
            return R;
        };
    };
    Answer({Pick(QDialog::Rejected), Pick(QDialog::Accepted)});
    Report.ChooseFont();
    EXPECT_TRUE(Report.Applied.empty());
    EXPECT_EQ(Report.Fonts->currentFont(), Original);
    EXPECT_TRUE(Report.Fonts->testOption(QFontDialog::DontUseNativeDialog));
    Report.ChooseFont();
    ASSERT_EQ(Report.Applied.size(), 1u);
    EXPECT_EQ(Report.Applied[0].pointSize(), Picked.pointSize());
}

TEST_F(TMyReportTest, SaveConfigurationWritesAllThreeWindows) {
    TTestReport Report;
    Answer({[](QDialog *Window) {
        static_cast<TSaveConfig *>(Window)->EditName->setText("Daily");
        return int(mrOk);
    }});
    Report.SaveConfiguration();
    const std::string Daily = Others + "\\Daily";
    for (const TMyForm *Form :
         {static_cast<TMyForm *>(&Report), static_cast<TMyForm *>(Report.Dialog),
          static_cast<TMyForm *>(Report.Wizard)}) {
        EXPECT_EQ(Form->IniFile->KeyPath(), Daily);
        EXPECT_NE(Stored(Daily, Form->Section, "Position"), "<none>") << Form->Section;
    }
    EXPECT_EQ(Stored(Daily, "Test\\Report", "Version"), "1");
    EXPECT_EQ(Stored(Key, "Test\\Report", "Version"), "<none>");
}

TEST_F(TMyReportTest, CancelledConfigurationWindowsChangeNothing) {
    TTestReport Report;
    Answer({[](QDialog *Window) {
                static_cast<TSaveConfig *>(Window)->EditName->setText("Never");
                return int(mrCancel);
            },
            Result(mrCancel)});
    Report.SaveConfiguration();
    Report.LoadConfiguration();
    EXPECT_EQ(Shown.size(), 2u);
    EXPECT_EQ(Report.IniFile->KeyPath(), Key);
    EXPECT_EQ(Report.Dialog->IniFile->KeyPath(), Key);
    QStringList Names;
    ListConfigurations(Names);
    EXPECT_FALSE(Names.contains("Never"));
    EXPECT_EQ(Stored(Key, "Test\\Report", "Left"), "<none>");
    // The windows are gone once the commands return.
    EXPECT_TRUE(Report.findChildren<TSaveConfig *>().isEmpty());
    EXPECT_TRUE(Report.findChildren<TLoadConfig *>().isEmpty());
}

TEST_F(TMyReportTest, LoadConfigurationRestoresAllThreeWindows) {
    const std::string Weekly = Others + "\\Weekly";
    {
        TRegIniFile Store(Weekly);
        for (const char *Section : {"Test\\Report", "Test\\Dialog", "Test\\Wizard"})
            Store.WriteInteger(Section, "Width", 345);
    }
    TRegIniFile(Others + "\\Apple").WriteString("x", "y", "z");
    TTestReport Report;
    QStringList Offered;
    Answer({[&](QDialog *Window) {
        auto *Load = static_cast<TLoadConfig *>(Window);
        for (int I = 0; I < Load->ComboBoxNames->count(); ++I)
            Offered << Load->ComboBoxNames->itemText(I);
        EXPECT_EQ(Load->ComboBoxNames->currentText(), "Apple");
        Load->ComboBoxNames->setCurrentText("Weekly");
        return int(mrOk);
    }});
    Report.LoadConfiguration();
    EXPECT_EQ(Offered, QStringList({"Apple", "Weekly"}));
    EXPECT_EQ(Report.Wizard->IniFile->KeyPath(), Weekly);
    for (TMyForm *Form : {static_cast<TMyForm *>(&Report), static_cast<TMyForm *>(Report.Dialog),
                          static_cast<TMyForm *>(Report.Wizard)})
        EXPECT_EQ(Form->OuterGeometry().width(), 345) << Form->Section;
}

TEST_F(TMyReportTest, SaveWindowProposesTheUserAndCopiesClickedNames) {
    TRegIniFile(Others + "\\Daily").WriteString("x", "y", "z");
    TRegIniFile(Others + "\\Weekly").WriteString("x", "y", "z");
    TSaveConfig Window;
    EXPECT_EQ(Window.windowTitle(), "Save Configuration");
    EXPECT_EQ(Window.EditName->text(), CurrentUserName());
    EXPECT_FALSE(CurrentUserName().isEmpty());
    ASSERT_EQ(Window.ListBoxNames->count(), 2);
    EXPECT_TRUE(Window.ListBoxNames->selectedItems().isEmpty());
    EXPECT_TRUE(Window.Button1->isDefault());
    EXPECT_EQ(Window.ModalResult(Window.Button1), mrOk);
    EXPECT_EQ(Window.ModalResult(Window.Button2), mrCancel);
    Window.ListBoxNames->item(1)->setSelected(true);
    Window.ListBoxNamesClick();
    EXPECT_EQ(Window.EditName->text(), "Weekly");
}

TEST_F(TMyReportTest, LoadWindowWithoutConfigurationsIsEmpty) {
    TLoadConfig Window;
    EXPECT_EQ(Window.windowTitle(), "Load Configuration");
    EXPECT_EQ(Window.ComboBoxNames->count(), 0);
    EXPECT_EQ(Window.ComboBoxNames->currentText(), "");
    EXPECT_FALSE(Window.ComboBoxNames->isEditable());
    // Opening the window created the key that holds the configurations.
    TRegistry Registry;
    EXPECT_TRUE(Registry.OpenKey("\\" + Others, false));
}
