#include "WindowsTest.h"

#include "TForm.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

using TFormTest = FrameworkTest;

// A button's result closes the form before its handler runs and is read at
// click time: the first click changes it without closing. Esc gives 2.
TEST_F(TFormTest, ModalResults) {
    TForm Form;
    const auto ExecWith = [&Form](const std::function<void()> &Action) {
        QTimer::singleShot(0, &Form, Action);
        return Form.exec();
    };
    auto *Button = new QPushButton(&Form);
    std::vector<std::pair<int, bool>> Seen; // result and visibility in the handler and after
    const auto Note = [&] { Seen.emplace_back(Form.result(), Form.isVisible()); };
    Form.OnClick(Button, [&] { Note(), Form.SetModalResult(Button, mrWizard); });
    EXPECT_EQ(ExecWith([&] { Button->click(), Note(), Button->click(); }), mrWizard);
    EXPECT_EQ(Seen, (std::vector<std::pair<int, bool>>{{0, true}, {0, true}, {mrWizard, false}}));
    QKeyEvent Esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(ExecWith([&] { QApplication::sendEvent(&Form, &Esc); }), mrCancel);
}

// Where the platform never tells the frame (frameless here), the user's move
// and resize are the outer rectangle, also when shown again. A frame told
// late and only while shown, as a window manager does, makes the rectangle
// the outer frame; the hidden window, whose frame is forgotten again, still
// reports it.
TEST_F(TFormTest, OuterGeometryWhetherOrWhenTheFrameIsTold) {
    TForm Form;
    Form.setWindowFlag(Qt::FramelessWindowHint);
    const QRect Designed(150, 110, 420, 260), Moved = Designed.translated(60, 40);
    Form.SetOuterGeometry(QRect(100, 100, 400, 300));
    Form.show();
    Form.setGeometry(Moved);
    Settle();
    EXPECT_EQ(Form.OuterGeometry(), Moved);
    Form.hide();
    Form.show();
    EXPECT_EQ(Form.frameGeometry(), Moved);
    Form.hide();
    Form.SetOuterGeometry(Designed);
    QWindow *Window = Form.windowHandle();
    Window->setFlags(Window->flags() & ~Qt::FramelessWindowHint);
    Form.show();
    Settle();
    ASSERT_FALSE(Window->frameMargins().isNull());
    EXPECT_EQ(Form.frameGeometry(), Designed);
    Form.hide();
    Window->setFlags(Window->flags() | Qt::FramelessWindowHint);
    const QRect Client = Form.geometry();
    Window->setGeometry(Client.adjusted(0, 0, 1, 0));
    Window->setGeometry(Client);
    ASSERT_TRUE(Window->frameMargins().isNull());
    EXPECT_EQ(Form.OuterGeometry(), Designed);
}

TEST_F(TFormTest, ErrorBoxEndsWithOneFullStopAndNamesWhatMemoryRanOutFor) {
    QApplication::setApplicationDisplayName("Tarnwell");
    QStringList Texts; // caption, icon and text of each box
    SetModalHook([&](QDialog *Window) {
        const auto *Box = static_cast<QMessageBox *>(Window);
        return Texts << Box->windowTitle() + QString(" %1 ").arg(Box->icon()) + Box->text(), 0;
    });
    ShowErrorBox(nullptr, "Disk full");
    RunGuarded(nullptr, [] { throw std::runtime_error("Failed."); });
    RunGuarded(nullptr, [] {});
    // Memory that ran out names what it was for, never "std::bad_alloc".
    RunGuarded(nullptr, "Save As", [] { throw std::bad_alloc(); });
    RunGuarded(nullptr, [] { throw std::bad_alloc(); });
    EXPECT_EQ(Texts, QStringList({"Tarnwell 3 Disk full.", "Tarnwell 3 Failed.",
                                  "Tarnwell 3 Not enough memory for Save As.",
                                  "Tarnwell 3 Not enough memory for this command."}));
}
