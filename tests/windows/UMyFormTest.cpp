#include "WindowsTest.h"

#include "UMyForm.h"

#include <QScreen>

using TMyFormTest = FrameworkTest;

// Save a shown window, restore a fresh one from it and show it: the same
// window, also maximised (back to its frame when restored) and centred.
TEST_F(TMyFormTest, PlacementRoundTrip) {
    for (int Case = 0; Case < 4; ++Case) {
        const int Rule = Case / 2 * 4;
        const Qt::WindowState State = Case % 2 ? Qt::WindowMaximized : Qt::WindowNoState;
        QRect Expected(150, 110, 420, 260);
        TMyForm First(nullptr, RootKey, "Test");
        First.SetDesignPosition(Rule);
        First.SetOuterGeometry(Expected);
        First.show();
        if (Rule == 4)
            Expected.moveCenter(First.screen()->availableGeometry().center());
        First.setWindowState(State);
        Settle();
        First.SaveToIniFile();
        TMyForm Second(nullptr, RootKey, "Test");
        Second.LoadFromIniFile();
        EXPECT_EQ(Second.Position(), Rule) << Case;
        Second.show();
        Settle();
        EXPECT_EQ(Second.windowState(), State) << Case;
        Second.setWindowState(Qt::WindowNoState);
        Settle();
        EXPECT_EQ(Second.frameGeometry(), Expected) << Case;
    }
}

// Stored numbers out of range count as 0; no size beyond the desktop.
TEST_F(TMyFormTest, OutOfRangePlacementNumbersNeverHurt) {
    for (const char *Bad : {"2147483647", "-50"}) {
        for (const char *Name : {"State", "Position", "Width", "Left", "Height"})
            TRegIniFile(RootKey).WriteString("Test", Name, Bad);
        TMyForm Form(nullptr, RootKey, "Test");
        Form.LoadFromIniFile();
        EXPECT_EQ(Form.windowState(), Qt::WindowNoState) << Bad;
        EXPECT_EQ(Form.Position(), 0) << Bad;
        EXPECT_LE(Form.width(), Form.screen()->virtualSize().width()) << Bad;
    }
}
