#include "WindowsTest.h"

#include "UMyForm.h"

#include <QScreen>

namespace {

// A persistent window with one value of its own, which notes whether the
// placement was already written when its own values are saved.
class TTestForm : public TMyForm {
public:
    TTestForm() : TMyForm(nullptr, RootKey, "Test\\Form") { resize(300, 200); }
    void SaveLocalToIniFile() override {
        TMyForm::SaveLocalToIniFile();
        PlacementFirst = IniFile->ReadString(Section, "Position", "") != "";
        IniFile->WriteString(Section, "Edit-1", Value);
    }
    std::string Value = "designed";
    bool PlacementFirst = false;
};

class TMyFormTest : public FrameworkTest {};

} // namespace

// Save a shown window, restore a fresh one from it and show it: the same
// window, also maximised (back to its frame when restored) and centred.
TEST_F(TMyFormTest, PlacementRoundTrip) {
    for (const int Rule : {0, 4})
        for (const Qt::WindowState State : {Qt::WindowNoState, Qt::WindowMaximized}) {
            SCOPED_TRACE(Rule * 10 + int(State));
            QRect Expected(150, 110, 420, 260);
            {
                TTestForm First;
                First.SetDesignPosition(Rule);
                First.SetOuterGeometry(Expected);
                First.show();
                Settle();
                if (Rule == 4)
                    Expected.moveCenter(First.screen()->availableGeometry().center());
                ASSERT_EQ(First.frameGeometry(), Expected);
                First.setWindowState(State);
                Settle();
                First.SaveToIniFile();
                EXPECT_TRUE(First.PlacementFirst);
            }
            TTestForm Second;
            Second.LoadFromIniFile();
            EXPECT_EQ(Second.Position(), Rule);
            Second.show();
            Settle();
            EXPECT_EQ(Second.windowState(), State);
            Second.setWindowState(Qt::WindowNoState);
            Settle();
            EXPECT_EQ(Second.frameGeometry(), Expected);
        }
}

TEST_F(TMyFormTest, OutOfRangeNumbersNeverHurt) {
    const std::pair<std::string, std::string> Bad[] = {
        {"State", "7"},          {"State", "-1"},        {"Position", "5"}, {"Position", "-4"},
        {"Width", "2147483647"}, {"Left", "2147483647"}, {"Height", "-50"},
    };
    for (const auto &[Name, Value] : Bad) {
        SCOPED_TRACE(Name + "=" + Value);
        TRegIniFile(RootKey).WriteString("Test\\Form", Name, Value);
        TTestForm Form;
        Form.LoadFromIniFile();
        Form.show();
        Settle();
        EXPECT_EQ(Form.windowState(), Qt::WindowNoState);
        EXPECT_EQ(Form.Position(), 0);
        EXPECT_LE(Form.width(), Form.screen()->virtualSize().width());
        TRegIniFile(RootKey).WriteString("Test\\Form", Name, "0");
    }
}
