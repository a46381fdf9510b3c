#include "WindowsTest.h"

#include "UHelpViewer.h"
#include "UMyDialog.h"

#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QTextBrowser>

namespace {

// A stretching edit, a control following the right edge, one following the
// bottom right corner and one of a kind that never moves. Its design is an
// outer frame, as the application's are.
class TTestDialog : public TMyDialog {
public:
    TTestDialog() : TMyDialog(nullptr, RootKey, "Test") {
        SetOuterGeometry(QRect(50, 40, 420, 320));
        Design = size();
        const QRect Bounds[] = {
            {10, 20, 280, 21}, {310, 20, 75, 25}, {300, 200, 80, 80}, {310, 60, 75, 25}};
        for (const QRect &R : Bounds)
            (Controls.emplace_back(new QLineEdit(this)))->setGeometry(R);
        RegisterResize(Controls[0], 0, false, true, false, false);
        RegisterResize(Controls[1], 3, true, false, false, false);
        RegisterResize(Controls[2], 6, true, false, true, true);
        RegisterResize(Controls[3], 7, true, true, true, true);
    }
    std::vector<QWidget *> Controls;
    QSize Design;
};

class TMyDialogTest : public FrameworkTest {};

} // namespace

// Showing as designed moves nothing; widening, and shrinking below the
// design (no minimum is enforced), move the controls. The offsets come from
// the design also when a stored size is restored.
TEST_F(TMyDialogTest, AnchoringFollowsTheFormSize) {
    for (const QSize Change : {QSize(0, 0), QSize(100, 0), QSize(-150, -120)}) {
        SCOPED_TRACE(Change.width());
        {
            TTestDialog First;
            First.show();
            First.SetOuterGeometry(
                First.frameGeometry().adjusted(0, 0, Change.width(), Change.height()));
            Settle();
            First.SaveToIniFile();
        }
        TTestDialog Dialog;
        Dialog.LoadFromIniFile();
        Dialog.show();
        Settle();
        const int W = Change.width(), H = Change.height();
        EXPECT_EQ(Dialog.size(), Dialog.Design + Change);
        EXPECT_EQ(Dialog.Controls[0]->geometry(), QRect(10, 20, 280 + W, 21));
        EXPECT_EQ(Dialog.Controls[1]->geometry(), QRect(310 + W, 20, 75, 25));
        EXPECT_EQ(Dialog.Controls[2]->geometry(), QRect(300 + W, 200 + H, 80, std::max(0, 80 + H)));
        EXPECT_EQ(Dialog.Controls[3]->geometry(), QRect(310, 60, 75, 25));
    }
}

class ShowHelpTest : public FrameworkTest {
protected:
    void TearDown() override {
        SetHelpProgramFolder(QString());
        if (HelpViewer() != nullptr)
            HelpViewer()->deleteLater();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        FrameworkTest::TearDown();
    }
    void Write(const QString &Relative, const QString &Title) {
        QDir().mkpath(QFileInfo(Folder.filePath(Relative)).path());
        QFile File(Folder.filePath(Relative));
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
        File.write(("<html><body><h1>" + Title + "</h1></body></html>").toUtf8());
    }
    // ShowHelp with the program in Program: the page shown, or the box.
    QString Help(const QString &Program) {
        SetHelpProgramFolder(Folder.filePath(Program));
        QString Box;
        SetModalHook([&](QDialog *Window) {
            auto *B = qobject_cast<QMessageBox *>(Window);
            EXPECT_TRUE(B && B->windowTitle() == "Error" && B->icon() == QMessageBox::Critical &&
                        B->standardButtons() == QMessageBox::Ok);
            return Box = "box: " + (B ? B->text() : QString()), 0;
        });
        ShowHelp();
        const bool Shown = HelpViewer() && HelpViewer()->isVisible();
        return Shown ? HelpViewer()->Browser->toPlainText().trimmed() : Box;
    }
};

TEST_F(ShowHelpTest, BesideWinsOverParentWhichWinsOverShare) {
    EXPECT_EQ(Help("app/bin"), "box: Can't find the help file");
    Write("app/share/tarnwell/Tarnwells.hlp", "Shared");
    EXPECT_EQ(Help("app/bin"), "Shared");
    THelpViewer *Viewer = HelpViewer();
    Write("app/Tarnwells.hlp", "Parent");
    EXPECT_EQ(Help("app/bin"), "Parent");
    Write("app/bin/Tarnwells.hlp", "Beside");
    EXPECT_EQ(Help("app/bin"), "Beside");
    EXPECT_EQ(HelpViewer(), Viewer);
}
