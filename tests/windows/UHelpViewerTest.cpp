#include "WindowsTest.h"

#include "UHelpViewer.h"

#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
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

// Back and Forward return to the place where each page was left, also
// after a link was clicked: the page of a link followed, not the link.
TEST_F(THelpViewerTest, BackAndForwardReturnWhereThePageWasLeft) {
    const std::string Text(4000, 'x');
    QDir::home().mkpath("links");
    std::ofstream(QDir::home().filePath("links/Tarnwells.hlp").toStdString())
        << "<p><a href='#far'>far</a></p><p>" << Text << "</p>"
        << "<h2 id='far'>far</h2><p>" << Text << "</p>";
    SetHelpProgramFolder(QDir::home().filePath("links"));
    ShowHelp();
    THelpViewer *Viewer = HelpViewer();
    Viewer->resize(300, 200);
    Settle();
    QTextBrowser *Browser = Viewer->Browser;
    const QPointF Link = Browser->cursorRect(Browser->document()->find("far")).center();
    for (const QEvent::Type Type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent Click(Type, Link, Browser->viewport()->mapToGlobal(Link), Qt::LeftButton,
                          Type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {});
        QApplication::sendEvent(Browser->viewport(), &Click);
    }
    const int Far = Browser->verticalScrollBar()->value();
    ASSERT_GT(Far, 0);
    Viewer->BackButton->click();
    EXPECT_EQ(Browser->verticalScrollBar()->value(), 0);
    Viewer->ForwardButton->click();
    EXPECT_EQ(Browser->verticalScrollBar()->value(), Far);
}
