#include "FrameworkTest.h"

#include "TRegistry.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {

class TFormTest : public FrameworkTest {};

// Runs Form modally and does Action once it is shown; returns exec()'s result.
int ExecWith(TForm &Form, const std::function<void()> &Action) {
    QTimer::singleShot(0, &Form, Action);
    return Form.exec();
}

} // namespace

TEST_F(TFormTest, ButtonResultClosesBeforeHandlerRuns) {
    TForm Form;
    auto *Button = new QPushButton(&Form);
    Form.SetModalResult(Button, mrOk);
    int ResultInHandler = -1;
    bool VisibleInHandler = true;
    Form.OnClick(Button, [&] {
        ResultInHandler = Form.result();
        VisibleInHandler = Form.isVisible();
    });
    EXPECT_EQ(ExecWith(Form, [Button] { Button->click(); }), mrOk);
    EXPECT_EQ(ResultInHandler, mrOk);
    EXPECT_FALSE(VisibleInHandler);
}

TEST_F(TFormTest, ResultIsReadAtClickTime) {
    TForm Form;
    auto *Button = new QPushButton(&Form);
    int Clicks = 0;
    // The first click changes the button's result and must not close.
    Form.OnClick(Button, [&] {
        ++Clicks;
        Form.SetModalResult(Button, mrWizard);
    });
    const int Result = ExecWith(Form, [&] {
        Button->click();
        EXPECT_TRUE(Form.isVisible());
        Button->click();
    });
    EXPECT_EQ(Result, mrWizard);
    EXPECT_EQ(Clicks, 2);
    EXPECT_EQ(Form.ModalResult(Button), mrWizard);
}

TEST_F(TFormTest, EveryWayOfCancellingGivesTwo) {
    const std::vector<std::function<void(TForm &)>> Ways = {
        [](TForm &F) { F.reject(); },
        [](TForm &F) { F.close(); },
        [](TForm &F) {
            QKeyEvent Esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&F, &Esc);
        },
    };
    for (size_t I = 0; I < Ways.size(); ++I) {
        TForm Form;
        EXPECT_EQ(ExecWith(Form, [&] { Ways[I](Form); }), mrCancel) << "way " << I;
    }
}

TEST_F(TFormTest, HookAnswersInsteadOfTheWindow) {
    TForm Form;
    QDialog *Seen = nullptr;
    SetModalHook([&](QDialog *Window) {
        Seen = Window;
        return 42;
    });
    EXPECT_EQ(ShowModal(&Form), 42);
    EXPECT_EQ(Seen, &Form);
    EXPECT_FALSE(Form.isVisible());

    SetModalHook({});
    EXPECT_EQ(ExecWith(Form, [&] { Form.done(7); }), 7);
}

TEST_F(TFormTest, ErrorBoxAddsOneFullStop) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tarnwell"));
    QStringList Texts;
    SetModalHook([&](QDialog *Window) {
        auto *Box = qobject_cast<QMessageBox *>(Window);
        EXPECT_NE(Box, nullptr);
        if (Box != nullptr) {
            EXPECT_EQ(Box->icon(), QMessageBox::Critical);
            EXPECT_EQ(Box->windowTitle(), QStringLiteral("Tarnwell"));
            Texts << Box->text();
        }
        return int(QMessageBox::Ok);
    });
    ShowErrorBox(nullptr, QStringLiteral("Disk full"));
    ShowErrorBox(nullptr, QStringLiteral("Already ends."));
    RunGuarded(nullptr, [] { throw ERegistryException("Failed to set data for 'Left'"); });
    RunGuarded(nullptr, [] {});
    EXPECT_EQ(Texts,
              QStringList({"Disk full.", "Already ends.", "Failed to set data for 'Left'."}));
}

// The outer rectangle set before the frame is known holds once shown.
TEST_F(TFormTest, OuterGeometrySetBeforeShowHolds) {
    TForm Form;
    const QRect Outer(130, 140, 320, 210);
    Form.SetOuterGeometry(Outer);
    EXPECT_EQ(Form.OuterGeometry(), Outer);
    Form.show();
    Settle();
    EXPECT_EQ(Form.frameGeometry(), Outer);
    EXPECT_EQ(Form.OuterGeometry(), Outer);
}

TEST_F(TFormTest, DesignFontFallsBackToAnInstalledSansSerif) {
    const QFont Font = DesignFont(11);
    EXPECT_EQ(Font.pixelSize(), 11);
    EXPECT_TRUE(QFontDatabase::families().contains(Font.family(), Qt::CaseInsensitive))
        << Font.family().toStdString();
}
