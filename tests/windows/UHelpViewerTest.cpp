#include "WindowsTest.h"

#include "UHelpViewer.h"

#include <QDir>
#include <QMessageBox>
#include <QTextBrowser>
#include <fstream>

using THelpViewerTest = FrameworkTest;

// The help file beside the program wins over the one in its parent folder,
// which wins over the shared one; one viewer shows them all.
TEST_F(THelpViewerTest, ShowHelpSearchOrder) {
    QString Box;
    SetModalHook([&](QDialog *Window) {
        const auto *B = static_cast<QMessageBox *>(Window);
        return Box = B->windowTitle() + QString(" %1 ").arg(B->icon()) + B->text(), 0;
    });
    SetHelpProgramFolder(QDir::home().filePath("app/bin"));
    ShowHelp();
    EXPECT_EQ(Box, "Error 3 Can't find the help file");
    const THelpViewer *Viewer = nullptr;
    for (const QString Place : {"app/share/tarnwell", "app", "app/bin"}) {
        QDir::home().mkpath(Place);
        std::ofstream(QDir::home().filePath(Place + "/Tarnwells.hlp").toStdString())
            << "<h1>" << Place.toStdString() << "</h1>";
        ShowHelp();
        EXPECT_EQ(HelpViewer()->Browser->toPlainText(), Place);
        EXPECT_TRUE(HelpViewer()->isVisible() && (!Viewer || Viewer == HelpViewer()));
        Viewer = HelpViewer();
    }
}
