#include "WindowsTest.h"

#include "UMyDialog.h"

#include <QLineEdit>

using TMyDialogTest = FrameworkTest;

// A stretching edit, a control following the right edge, one following the
// bottom right corner, one of a kind that never moves and one following the
// bottom edge: showing as designed moves nothing; widening, and shrinking
// below the design (no minimum is enforced), move them.
TEST_F(TMyDialogTest, AnchoringFollowsTheFormSize) {
    for (const auto &[W, H] : {std::pair{0, 0}, {100, 0}, {-150, -120}}) {
        TMyDialog Dialog(nullptr, RootKey, "Test");
        Dialog.SetOuterGeometry(QRect(50, 40, 420, 320));
        std::vector<QWidget *> C;
        for (const QRect Bounds : {QRect(10, 20, 280, 21),
                                   {310, 20, 75, 25},
                                   {300, 200, 80, 80},
                                   {310, 60, 75, 25},
                                   {10, 250, 75, 25}})
            C.push_back(new QLineEdit(&Dialog)), C.back()->setGeometry(Bounds);
        Dialog.RegisterResize(C[0], 0, {.StretchWidth = true});
        Dialog.RegisterResize(C[1], 3, {.MoveLeft = true});
        Dialog.RegisterResize(C[2], 6, {.MoveLeft = true, .MoveTop = true, .StretchHeight = true});
        Dialog.RegisterResize(
            C[3], 7,
            {.MoveLeft = true, .StretchWidth = true, .MoveTop = true, .StretchHeight = true});
        Dialog.RegisterResize(C[4], 3, {.MoveTop = true});
        Dialog.show();
        Dialog.SetOuterGeometry(Dialog.frameGeometry().adjusted(0, 0, W, H));
        Settle();
        EXPECT_EQ(C[0]->geometry(), QRect(10, 20, 280 + W, 21)) << W;
        EXPECT_EQ(C[1]->geometry(), QRect(310 + W, 20, 75, 25)) << W;
        EXPECT_EQ(C[2]->geometry(), QRect(300 + W, 200 + H, 80, std::max(0, 80 + H))) << W;
        EXPECT_EQ(C[3]->geometry(), QRect(310, 60, 75, 25)) << W;
        EXPECT_EQ(C[4]->geometry(), QRect(10, 250 + H, 75, 25)) << W;
    }
}
