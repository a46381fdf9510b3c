#include "UiChild.h"
#include "WindowsTest.h"

#include "ConfigNames.h"
#include "ULoadConfig.h"
#include "UMyReport.h"
#include "USaveConfig.h"

#include <QLabel>

// A report window with a dialog and a wizard built in code.
struct TTestReport : TMyReport {
    TTestReport() : TMyReport(nullptr, RootKey, "Test") {
        Dialog = new TMyDialog(this, RootKey, "Test");
        Wizard = new TMyWizard(this, RootKey, "Test", 3);
    }
    void RunFromDialog() override {}
    void RunFromWizard() override {}
    void SetReportFont(const QFont &) override {}
};

using TMyReportTest = FrameworkTest;

// Cancelled, the two windows change nothing; confirmed, all three windows
// switch to the name chosen and are saved there or restored from there. The
// labels show their whole captions whatever face stands in.
TEST_F(TMyReportTest, SaveAndLoadConfigurationSwitchAllThreeWindows) {
    const std::string Others = RootKey + "\\Others\\";
    TTestReport Report;
    const auto Cancel = [](QDialog *) { return int(mrCancel); };
    const std::function<int(QDialog *)> Answers[] = {
        Cancel, Cancel,
        [](QDialog *Save) {
            auto *Name = Child<QLineEdit>(Save, "EditName");
            EXPECT_EQ(Name->text(), CurrentUserName());
            EXPECT_GE(Child<QLabel>(Save, "Name")->width(),
                      Child<QLabel>(Save, "Name")->sizeHint().width());
            Child<QListWidget>(Save, "ListBoxNames")->item(0)->setSelected(true);
            static_cast<TSaveConfig *>(Save)->ListBoxNamesClick(); // copies the name clicked
            Name->setText(Name->text() + "2");
            return int(mrOk);
        },
        [](QDialog *Load) {
            EXPECT_EQ(Child<QComboBox>(Load, "ComboBoxNames")->currentText(), "Weekly");
            EXPECT_GE(Child<QLabel>(Load, "Name")->width(),
                      Child<QLabel>(Load, "Name")->sizeHint().width());
            return int(mrOk);
        }};
    size_t Shown = 0;
    SetModalHook([&](QDialog *Window) { return Shown < 4 ? Answers[Shown++](Window) : 0; });
    Report.SaveConfiguration();
    Report.LoadConfiguration();
    EXPECT_EQ(Report.IniFile->KeyPath(), RootKey);

    TRegIniFile(Others + "Weekly").WriteInteger("Test\\Report", "Width", 345);
    Report.SaveConfiguration();
    for (TMyForm *Form : std::initializer_list<TMyForm *>{&Report, Report.Dialog, Report.Wizard}) {
        EXPECT_EQ(Form->IniFile->KeyPath(), Others + "Weekly2");
        EXPECT_NE(TRegIniFile(Others + "Weekly2").ReadString(Form->Section, "Position", ""), "");
    }
    EXPECT_EQ(TRegIniFile(Others + "Weekly2").ReadString("Test\\Report", "Version", ""), "1");
    Report.LoadConfiguration();
    EXPECT_EQ(Report.OuterGeometry().width(), 345);
    EXPECT_EQ(Report.findChildren<TForm *>().size(), 2u); // the windows are gone
    EXPECT_EQ(Shown, 4u);
}
