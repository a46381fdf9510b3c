#include "FrameworkTest.h"

#include "UHelpViewer.h"
#include "UMyDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextBrowser>

namespace {

const std::string Key = "Brackwater Software\\Tarnwells";

// A dialog laid out like the compare dialog: a stretching edit, a button
// following the right edge, a box following the bottom right corner and a
// control of a kind that never moves.
class TTestDialog : public TMyDialog {
public:
    TTestDialog() : TMyDialog(nullptr, Key, "Test") {
        resize(400, 300);
        Edit = new QLineEdit(this);
        Edit->setGeometry(10, 20, 280, 21);
        Button = new QPushButton(this);
        Button->setGeometry(310, 20, 75, 25);
        Corner = new QLineEdit(this);
        Corner->setGeometry(300, 200, 80, 80);
        Fixed = new QPushButton(this);
        Fixed->setGeometry(310, 60, 75, 25);
        RegisterResize(Edit, 0, false, true, false, false);
        RegisterResize(Button, 3, true, false, false, false);
        RegisterResize(Corner, 6, true, false, true, true);
        RegisterResize(Fixed, 7, true, true, true, true);
    }
    QLineEdit *Edit;
    QPushButton *Button;
    QLineEdit *Corner;
    QPushButton *Fixed;
};

class TMyDialogTest : public FrameworkTest {};

} // namespace

TEST_F(TMyDialogTest, AnchoringFollowsTheFormSize) {
    struct TCase {
        int WidthChange, HeightChange;
    };
    // Widening, and shrinking below the design: no minimum is enforced.
    for (const TCase Case : {TCase{100, 0}, TCase{-150, -120}, TCase{30, 40}}) {
        SCOPED_TRACE(Case.WidthChange);
        TTestDialog Dialog;
        EXPECT_EQ(Dialog.Section, "Test\\Dialog");
        Dialog.show();
        Dialog.resize(400 + Case.WidthChange, 300 + Case.HeightChange);
        Settle();
        EXPECT_EQ(Dialog.Edit->geometry(), QRect(10, 20, 280 + Case.WidthChange, 21));
        EXPECT_EQ(Dialog.Button->geometry(), QRect(310 + Case.WidthChange, 20, 75, 25));
        EXPECT_EQ(Dialog.Corner->geometry(), QRect(300 + Case.WidthChange, 200 + Case.HeightChange,
                                                   80, std::max(0, 80 + Case.HeightChange)));
        EXPECT_EQ(Dialog.Fixed->geometry(), QRect(310, 60, 75, 25));
    }
}

TEST_F(TMyDialogTest, KindAboveSixKeepsZeroOffsets) {
    TTestDialog Dialog;
    const TResize &Fixed = Dialog.Resizes.back();
    EXPECT_EQ(Fixed.Kind, 7);
    EXPECT_EQ(Fixed.LeftOffset + Fixed.WidthOffset + Fixed.TopOffset + Fixed.HeightOffset, 0);
    EXPECT_EQ(Dialog.Resizes.front().WidthOffset, 400 - 280);
}

// The offsets come from the design; a stored size then moves the controls.
TEST_F(TMyDialogTest, RestoredSizeAppliesTheAnchoring) {
    {
        TTestDialog First;
        First.show();
        Settle();
        const QRect Outer = First.frameGeometry();
        First.SetOuterGeometry(Outer.adjusted(0, 0, 100, 0));
        Settle();
        First.SaveToIniFile();
    }
    TTestDialog Second;
    Second.LoadFromIniFile();
    Second.show();
    Settle();
    EXPECT_EQ(Second.size(), QSize(500, 300));
    EXPECT_EQ(Second.Edit->width(), 380);
    EXPECT_EQ(Second.Button->x(), 410);
}

class ShowHelpTest : public FrameworkTest {
protected:
    void TearDown() override {
        SetHelpProgramFolder(QString());
        delete HelpViewer();
        FrameworkTest::TearDown();
    }
    QString Write(const QString &Relative, const QString &Title) {
        const QString Path = Folder.filePath(Relative);
        QDir().mkpath(QFileInfo(Path).path());
        QFile File(Path);
        EXPECT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(("<html><body><h1>" + Title + "</h1></body></html>").toUtf8());
        return Path;
    }
    // Runs ShowHelp with the program in Program; returns the page shown,
    // or the text of the message box shown instead.
    QString Help(const QString &Program) {
        SetHelpProgramFolder(Folder.filePath(Program));
        QString Box;
        SetModalHook([&](QDialog *Window) {
            auto *Message = qobject_cast<QMessageBox *>(Window);
            EXPECT_NE(Message, nullptr);
            if (Message != nullptr) {
                EXPECT_EQ(Message->windowTitle(), "Error");
                EXPECT_EQ(Message->icon(), QMessageBox::Critical);
                EXPECT_EQ(Message->standardButtons(), QMessageBox::Ok);
                Box = "box: " + Message->text();
            }
            return int(QMessageBox::Ok);
        });
        ShowHelp();
        if (!Box.isEmpty())
            return Box;
        EXPECT_NE(HelpViewer(), nullptr);
        if (HelpViewer() == nullptr)
            return QString();
        EXPECT_TRUE(HelpViewer()->isVisible());
        return HelpViewer()->Browser->toPlainText().trimmed();
    }
};

TEST_F(ShowHelpTest, SearchesBesideThenParentThenShare) {
    Write("app/share/tarnwell/Tarnwells.hlp", "Shared");
    EXPECT_EQ(Help("app/bin"), "Shared");
    Write("app/Tarnwells.hlp", "Parent");
    EXPECT_EQ(Help("app/bin"), "Parent");
    Write("app/bin/Tarnwells.hlp", "Beside");
    EXPECT_EQ(Help("app/bin"), "Beside");
    EXPECT_EQ(HelpFileName(), Folder.filePath("app/bin/Tarnwells.hlp"));
}

TEST_F(ShowHelpTest, OneViewerIsRaisedAgain) {
    Write("bin/Tarnwells.hlp", "Beside");
    Help("bin");
    THelpViewer *First = HelpViewer();
    HelpViewer()->hide();
    EXPECT_EQ(Help("bin"), "Beside");
    EXPECT_EQ(HelpViewer(), First);
}

TEST_F(ShowHelpTest, MissingFileShowsTheBox) {
    EXPECT_EQ(Help("nowhere/bin"), "box: Can't find the help file");
    EXPECT_EQ(HelpViewer(), nullptr);
}
