#include "UiChild.h"
#include "WindowsTest.h"

#include "ConfigNames.h"
#include "ULoadConfig.h"
#include "UMyReport.h"
#include "USaveConfig.h"

#include <QLabel>

namespace {

using TAnswer = std::function<int(QDialog *)>;

// A report window with a dialog and a wizard built in code, counting runs.
class TTestReport : public TMyReport {
public:
    TTestReport() : TMyReport(nullptr, RootKey, "Test") {
        Dialog = new TMyDialog(this, RootKey, "Test");
        Wizard = new TMyWizard(this, RootKey, "Test", 3);
    }
    void RunFromDialog() override { ++DialogRuns; }
    void RunFromWizard() override { ++WizardRuns; }
    void SetReportFont(const QFont &) override {}
    std::vector<TMyForm *> Windows() { return {this, Dialog, Wizard}; }

    int DialogRuns = 0, WizardRuns = 0;
};

class TMyReportTest : public FrameworkTest {
protected:
    // Answers the modal windows in turn; records which were shown.
    void Answer(std::vector<TAnswer> Answers) {
        Shown.clear();
        SetModalHook([this, Answers](QDialog *Window) {
            Shown.push_back(Window);
            return Shown.size() <= Answers.size() ? Answers[Shown.size() - 1](Window) : 0;
        });
    }
    static TAnswer Result(int R) {
        return [R](QDialog *) { return R; };
    }
    std::vector<QDialog *> Shown;
};

void MakeConfiguration(const std::string &Name) {
    TRegIniFile(OthersRoot + "\\" + Name).WriteInteger("Test\\Report", "Width", 345);
}

} // namespace

TEST_F(TMyReportTest, ShowDialogActsOnTheResult) {
    // Dialog's result, wizard's result, runs from the dialog and the wizard.
    const int Cases[][4] = {
        {mrOk, 0, 1, 0}, {mrCancel, 0, 0, 0}, {mrWizard, mrOk, 0, 1}, {mrWizard, mrCancel, 0, 0}};
    for (const auto &Case : Cases) {
        SCOPED_TRACE(Case[0] * 10 + Case[1]);
        TTestReport Report;
        Answer({Result(Case[0]), Result(Case[1])});
        Report.ShowDialog();
        EXPECT_EQ(std::make_pair(Report.DialogRuns, Report.WizardRuns),
                  std::make_pair(Case[2], Case[3]));
        std::vector<QDialog *> Expected{Report.Dialog};
        if (Case[0] == mrWizard)
            Expected.push_back(Report.Wizard);
        EXPECT_EQ(Shown, Expected);
    }
}

// Cancelled, the two windows change nothing; confirmed, all three windows
// switch to the name chosen and are saved there or restored from there.
TEST_F(TMyReportTest, SaveAndLoadConfigurationSwitchAllThreeWindows) {
    TTestReport Report;
    // The label shows its whole caption whatever face stands in.
    const auto NameFits = [](QDialog *Window) {
        auto *Name = Child<QLabel>(Window, "Name");
        EXPECT_GE(Name->width(), Name->fontMetrics().horizontalAdvance(Name->text()));
    };
    Answer({[](QDialog *Window) {
                Child<QLineEdit>(Window, "EditName")->setText("Never");
                return int(mrCancel);
            },
            [](QDialog *Window) {
                // With no configuration the list is empty.
                EXPECT_EQ(Child<QComboBox>(Window, "ComboBoxNames")->count(), 0);
                return int(mrCancel);
            }});
    Report.SaveConfiguration();
    Report.LoadConfiguration();
    EXPECT_EQ(Shown.size(), 2u);
    for (TMyForm *Form : Report.Windows())
        EXPECT_EQ(Form->IniFile->KeyPath(), RootKey);
    EXPECT_EQ(Stored(RootKey, "Test\\Report", "Left"), "<none>");

    MakeConfiguration("Weekly");
    Answer({[&](QDialog *Window) {
                auto *Save = static_cast<TSaveConfig *>(Window);
                EXPECT_EQ(Child<QLineEdit>(Save, "EditName")->text(), CurrentUserName());
                NameFits(Save);
                EXPECT_TRUE(Child<QListWidget>(Save, "ListBoxNames")->selectedItems().isEmpty());
                Child<QListWidget>(Save, "ListBoxNames")->item(0)->setSelected(true);
                Save->ListBoxNamesClick(); // copies the name clicked
                Child<QLineEdit>(Save, "EditName")
                    ->setText(Child<QLineEdit>(Save, "EditName")->text() + "2");
                return int(mrOk);
            },
            [&](QDialog *Window) {
                EXPECT_EQ(Child<QComboBox>(Window, "ComboBoxNames")->currentText(), "Weekly");
                NameFits(Window);
                return int(mrOk);
            }});
    Report.SaveConfiguration();
    for (TMyForm *Form : Report.Windows()) {
        EXPECT_EQ(Form->IniFile->KeyPath(), OthersRoot + "\\Weekly2");
        EXPECT_NE(Stored(OthersRoot + "\\Weekly2", Form->Section, "Position"), "<none>");
    }
    EXPECT_EQ(Stored(OthersRoot + "\\Weekly2", "Test\\Report", "Version"), "1");
    EXPECT_EQ(Stored(RootKey, "Test\\Report", "Version"), "<none>");
    Report.LoadConfiguration();
    EXPECT_EQ(Report.Wizard->IniFile->KeyPath(), OthersRoot + "\\Weekly");
    EXPECT_EQ(Report.OuterGeometry().width(), 345);
    EXPECT_TRUE(Report.findChildren<TForm *>().size() == 2u); // the windows are gone
}
