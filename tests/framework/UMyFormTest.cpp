#include "FrameworkTest.h"

#include "UMyForm.h"

#include <QScreen>
#include <vector>

namespace {

const std::string Key = "Brackwater Software\\Tarnwells";
const std::string Daily = "Brackwater Software\\Tarnwells\\Others\\Daily";

// A persistent window with one value of its own; it notes when its local
// values are handled and whether the placement was already written then.
class TTestForm : public TMyForm {
public:
    explicit TTestForm(const std::string &KeyPath = Key) : TMyForm(nullptr, KeyPath, "Test\\Form") {
        resize(300, 200);
    }
    void LoadLocalFromIniFile() override {
        TMyForm::LoadLocalFromIniFile();
        Value = IniFile->ReadString(Section, "Edit-1", Value);
    }
    void SaveLocalToIniFile() override {
        TMyForm::SaveLocalToIniFile();
        PlacementWrittenFirst = IniFile->ReadString(Section, "Position", "") != "";
        IniFile->WriteString(Section, "Edit-1", Value);
    }
    std::string Value = "designed";
    bool PlacementWrittenFirst = false;
};

class TMyFormTest : public FrameworkTest {};

QRect Centred(const QWidget &Form, QSize Outer) {
    QRect R(QPoint(), Outer);
    R.moveCenter(Form.screen()->availableGeometry().center());
    return R;
}

} // namespace

TEST_F(TMyFormTest, NeverSavedWindowWritesItsDesignedPlacement) {
    TTestForm Form;
    Form.LoadFromIniFile();
    Form.show();
    Settle();
    EXPECT_EQ(Form.size(), QSize(300, 200));
    EXPECT_EQ(Form.Value, "designed");
    Form.SaveToIniFile();
    const QRect Outer = Form.frameGeometry();
    EXPECT_EQ(Stored(Key, "Test\\Form", "Width"), std::to_string(Outer.width()));
    EXPECT_EQ(Stored(Key, "Test\\Form", "Height"), std::to_string(Outer.height()));
    EXPECT_EQ(Stored(Key, "Test\\Form", "State"), "0");
    EXPECT_EQ(Stored(Key, "Test\\Form", "Position"), "0");
    EXPECT_NE(Stored(Key, "Test\\Form", "Left"), "<none>");
    EXPECT_NE(Stored(Key, "Test\\Form", "Top"), "<none>");
    EXPECT_EQ(Stored(Key, "Test\\Form", "Edit-1"), "designed");
}

TEST_F(TMyFormTest, SaveWritesPlacementBeforeLocalValues) {
    TTestForm Form;
    Form.SaveToIniFile();
    EXPECT_TRUE(Form.PlacementWrittenFirst);
}

struct TRoundTrip {
    const char *Name;
    Qt::WindowState State;
    int Rule;
};

// Save a shown window, restore a fresh one from it, show it: same window.
TEST_F(TMyFormTest, PlacementRoundTrip) {
    const std::vector<TRoundTrip> Cases = {
        {"normal", Qt::WindowNoState, 0},
        {"maximised", Qt::WindowMaximized, 0},
        {"centred", Qt::WindowNoState, 4},
        {"maximised and centred", Qt::WindowMaximized, 4},
    };
    for (const TRoundTrip &Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const QRect Outer(150, 110, 420, 260);
        QRect Expected = Outer;
        {
            TTestForm First;
            First.SetDesignPosition(Case.Rule);
            First.SetOuterGeometry(Outer);
            First.show();
            Settle();
            if (Case.Rule == 4)
                Expected = Centred(First, Outer.size());
            ASSERT_EQ(First.frameGeometry(), Expected);
            First.setWindowState(Case.State);
            Settle();
            First.SaveToIniFile();
        }
        TTestForm Second;
        Second.LoadFromIniFile();
        EXPECT_EQ(Second.Position(), Case.Rule);
        Second.show();
        Settle();
        EXPECT_EQ(Second.windowState(), Case.State);
        Second.setWindowState(Qt::WindowNoState);
        Settle();
        EXPECT_EQ(Second.frameGeometry(), Expected);
    }
}

TEST_F(TMyFormTest, CentredRuleIgnoresStoredLeftAndTop) {
    {
        TRegIniFile Store(Key);
        Store.WriteInteger("Test\\Form", "Left", 3);
        Store.WriteInteger("Test\\Form", "Top", 4);
        Store.WriteInteger("Test\\Form", "Position", 4);
    }
    TTestForm Form;
    Form.LoadFromIniFile();
    Form.show();
    Settle();
    EXPECT_EQ(Form.frameGeometry(), Centred(Form, Form.frameGeometry().size()));
}

TEST_F(TMyFormTest, OutOfRangeNumbersCountAsZero) {
    const std::vector<std::pair<std::string, std::string>> Bad = {
        {"State", "7"},          {"State", "-1"},        {"Position", "5"}, {"Position", "-4"},
        {"Width", "2147483647"}, {"Left", "2147483647"}, {"Height", "-50"}, {"Top", "-2147483648"},
    };
    for (const auto &[Name, Value] : Bad) {
        SCOPED_TRACE(Name + "=" + Value);
        TRegIniFile(Key).WriteString("Test\\Form", Name, Value);
        TTestForm Form;
        Form.LoadFromIniFile();
        Form.show();
        Settle();
        EXPECT_EQ(Form.windowState(), Qt::WindowNoState);
        EXPECT_GE(Form.Position(), 0);
        EXPECT_LE(Form.Position(), 4);
        if (Name == "Position") {
            EXPECT_EQ(Form.Position(), 0);
        }
        TRegIniFile(Key).WriteString("Test\\Form", Name, "0");
    }
}

TEST_F(TMyFormTest, MissingValuesLeaveTheWindowAsItWas) {
    TRegIniFile(Key).WriteInteger("Test\\Form", "Width", 333);
    TTestForm Form;
    Form.SetDesignPosition(4);
    Form.LoadFromIniFile();
    EXPECT_EQ(Form.OuterGeometry().width(), 333);
    EXPECT_EQ(Form.height(), 200);
    EXPECT_EQ(Form.Position(), 4);
    EXPECT_FALSE(Form.testAttribute(Qt::WA_Moved));
}

TEST_F(TMyFormTest, UseConfigurationLeavesTheDefaultUntouched) {
    TTestForm Form;
    Form.Value = "first";
    Form.SaveToIniFile();
    Form.UseConfiguration("Daily");
    EXPECT_EQ(Form.IniFile->KeyPath(), Daily);
    EXPECT_EQ(Form.Section, "Test\\Form");
    Form.Value = "second";
    Form.SetOuterGeometry(QRect(20, 30, 410, 220));
    Form.SaveToIniFile();
    EXPECT_EQ(Stored(Key, "Test\\Form", "Edit-1"), "first");
    EXPECT_NE(Stored(Key, "Test\\Form", "Width"), "410");
    EXPECT_EQ(Stored(Daily, "Test\\Form", "Edit-1"), "second");
    EXPECT_EQ(Stored(Daily, "Test\\Form", "Width"), "410");
}

TEST_F(TMyFormTest, SizeRulesRestoreTheDesignedSize) {
    for (int Rule : {1, 3}) {
        SCOPED_TRACE(Rule);
        TRegIniFile Store(Key);
        Store.WriteInteger("Test\\Form", "Width", 500);
        Store.WriteInteger("Test\\Form", "Position", Rule);
        TTestForm Form;
        Form.LoadFromIniFile();
        Form.show();
        Settle();
        EXPECT_EQ(Form.size(), QSize(300, 200));
    }
}
