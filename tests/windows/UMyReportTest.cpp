#include "UiChild.h"
#include "WindowsTest.h"

#include "ConfigNames.h"
#include "ULoadConfig.h"
#include "UMyReport.h"
#include "USaveConfig.h"

#include <QLabel>

namespace {

using TAnswer = std::function<int(QDialog *)>;

// A report window with a dialog and a wizard built in code.
class TTestReport : public TMyReport {
public:
    TTestReport() : TMyReport(nullptr, RootKey, "Test") {
        Dialog = new TMyDialog(this, RootKey, "Test");
        Wizard = new TMyWizard(this, RootKey, "Test", 3);
    }
    void RunFromDialog() override {}
    void RunFromWizard() override {}
    void SetReportFont(const QFont &) override {}
    std::vector<TMyForm *> Windows() { return {this, Dialog, Wizard}; }
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
    std::vector<QDialog *> Shown;
};

void MakeConfiguration(const std::string &Name) {
    TRegIniFile(OthersRoot + "\\" + Name).WriteInteger("Test\\Report", "Width", 345);
}

} // namespace

// Cancelled, the two windows change nothing; confirmed, all three windows
// switch to the name chosen and are saved there or restored from there.
TEST_F(TMyReportTest, SaveAndLoadConfigurationSwitchAllThreeWindows) {
    TTestReport Report;
    // The label shows its whole caption whatever face stands in.
    const auto NameFits = [](QDialog *Window) {
        auto *Name = Child<QLabel>(Window, "Name");
        EXPECT_GE(Name->width(), Name->sizeHint().width());
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
