#include "WindowsTest.h"

#include "TRegistry.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace {

class TFormTest : public FrameworkTest {};

// Runs Form modally, does Action once it runs, returns exec()'s result.
int ExecWith(TForm &Form, const std::function<void()> &Action) {
    QTimer::singleShot(0, &Form, Action);
    return Form.exec();
}

} // namespace

// The result closes the form before the handler runs, and is read at click
// time: the first click changes it without closing.
TEST_F(TFormTest, ButtonResultClosesBeforeHandler) {
    TForm Form;
    auto *Button = new QPushButton(&Form);
    std::vector<std::pair<int, bool>> Seen; // result and visibility in the handler
    Form.OnClick(Button, [&] {
        Seen.emplace_back(Form.result(), Form.isVisible());
        Form.SetModalResult(Button, mrWizard);
    });
    EXPECT_EQ(ExecWith(Form, [&] { Button->click(), Button->click(); }), mrWizard);
    EXPECT_EQ(Seen, (std::vector<std::pair<int, bool>>{{0, true}, {mrWizard, false}}));
}

TEST_F(TFormTest, EveryWayOfCancellingGivesTwo) {
    QKeyEvent Esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    const std::vector<std::function<void(TForm &)>> Ways = {
        [](TForm &F) { F.reject(); },
        [](TForm &F) { F.close(); },
        [&](TForm &F) { QApplication::sendEvent(&F, &Esc); },
    };
    for (const auto &Way : Ways) {
        TForm Form;
        EXPECT_EQ(ExecWith(Form, [&] { Way(Form); }), mrCancel);
    }
}

// A window whose frame the platform never tells (frameless here; also a
// platform that draws decorations itself): once shown, the user's move and
// resize are its outer rectangle, and showing it again keeps them.
TEST_F(TFormTest, UserGeometryWinsWhereTheFrameStaysUnknown) {
    TForm Form;
    Form.setWindowFlag(Qt::FramelessWindowHint);
    Form.SetOuterGeometry(QRect(100, 100, 400, 300));
    Form.show();
    Settle();
    ASSERT_TRUE(Form.windowHandle()->frameMargins().isNull());
    const QRect ByUser(200, 150, 500, 350);
    Form.setGeometry(ByUser);
    Settle();
    EXPECT_EQ(Form.OuterGeometry(), ByUser);
    Form.hide();
    Form.show();
    Settle();
    EXPECT_EQ(Form.frameGeometry(), ByUser);
}

// A frame told only while the window is shown, as a window manager does:
// told late and with no move or resize (the frameless hint leaves the
// platform window before showing), then forgotten when hidden (it comes
// back). The rectangle becomes the outer frame, the user's first move is
// kept whole, and the closed window still reports its frame.
TEST_F(TFormTest, AFrameToldOnlyWhileShownStillCounts) {
    TForm Form;
    Form.setWindowFlag(Qt::FramelessWindowHint);
    const QRect Designed(150, 110, 420, 260);
    Form.SetOuterGeometry(Designed);
    Form.windowHandle()->setFlags(Form.windowHandle()->flags() & ~Qt::FramelessWindowHint);
    Form.show();
    Settle();
    ASSERT_FALSE(Form.windowHandle()->frameMargins().isNull());
    EXPECT_EQ(Form.frameGeometry(), Designed);
    const QRect Moved = Designed.translated(60, 40);
    Form.move(Moved.topLeft());
    Settle();
    EXPECT_EQ(Form.frameGeometry(), Moved);
    EXPECT_EQ(Form.OuterGeometry(), Moved);
    Form.hide();
    Form.windowHandle()->setFlags(Form.windowHandle()->flags() | Qt::FramelessWindowHint);
    const QRect Client = Form.geometry();
    Form.windowHandle()->setGeometry(Client.adjusted(0, 0, 1, 0));
    Form.windowHandle()->setGeometry(Client);
    ASSERT_TRUE(Form.windowHandle()->frameMargins().isNull());
    EXPECT_EQ(Form.OuterGeometry(), Moved);
}

TEST_F(TFormTest, ErrorBoxEndsWithOneFullStop) {
    QGuiApplication::setApplicationDisplayName("Tarnwell");
    QStringList Texts;
    SetModalHook([&](QDialog *Window) {
        auto *Box = qobject_cast<QMessageBox *>(Window);
        EXPECT_TRUE(Box && Box->icon() == QMessageBox::Critical &&
                    Box->windowTitle() == "Tarnwell");
        Texts << (Box ? Box->text() : QString());
        return int(QMessageBox::Ok);
    });
    ShowErrorBox(nullptr, "Disk full");
    ShowErrorBox(nullptr, "Ends.");
    RunGuarded(nullptr, [] { throw ERegistryException("Failed to set data for 'Left'"); });
    RunGuarded(nullptr, [] {});
    EXPECT_EQ(Texts, QStringList({"Disk full.", "Ends.", "Failed to set data for 'Left'."}));
}
