#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "TRegIniFile.h"
#include "UCompareReport.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QTest>

namespace {

// The report window's own commands and its window: New, Cut and Copy, the
// configuration in use, the first placement.
class ReportCommandsTest : public AppTest {
protected:
    static QString Status(const std::unique_ptr<TCompareReport> &Report) {
        return Child<QStatusBar>(Report, "StatusBar1")->currentMessage();
    }
    // The next New is asked about, and answered with Answer.
    void ExpectQuestion(QMessageBox::StandardButton Reply) {
        Answer<QMessageBox>([Reply](QMessageBox *Box) {
            EXPECT_EQ(Box->text(), "Discard the changes you made to the report?");
            EXPECT_EQ(Box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
            return int(Reply);
        });
    }
};

// New asks before it drops what the user changed since the last run, load
// or save (No keeps the report); with nothing of the user's to lose it asks
// nothing. It also clears the status ("Difference K of N").
TEST_F(ReportCommandsTest, NewAsksBeforeItDropsTheUsersChanges) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    auto *New = Child<QAction>(Report, "New1");
    QTest::keyClicks(Field, "mine");
    ExpectQuestion(QMessageBox::No);
    New->trigger();
    EXPECT_EQ(Field->toPlainText(), "mine");
    ExpectQuestion(QMessageBox::Yes);
    New->trigger();
    EXPECT_EQ(Field->toPlainText(), "");

    // Typed, then a run (the report keeps the text): nothing to ask.
    const auto [First, Second] = WorkedExampleFiles();
    QTest::keyClicks(Field, "mine");
    Report->RunComparison(false, First, Second, true, false, false);
    Field->moveCursor(QTextCursor::Start);
    QTest::keyClick(Field, Qt::Key_F8);
    EXPECT_EQ(Status(Report), "Difference 1 of 3");
    // A theme switched recolours the report: no change of the user's.
    QPalette Dark;
    Dark.setColor(QPalette::Base, Qt::black);
    Report->setPalette(Dark);
    QApplication::processEvents();
    New->trigger();
    EXPECT_EQ(Status(Report), "");

    // Typed, then saved.
    QTest::keyClicks(Field, "mine");
    Answer<QFileDialog>([this](QFileDialog *Save) {
        Save->selectFile(Path("saved.txt"));
        return int(QDialog::Accepted);
    });
    Child<QAction>(Report, "SaveAs1")->trigger();
    New->trigger();
    EXPECT_EQ(Field->toPlainText(), "");
}

// Cut and Copy are on only while text is selected.
TEST_F(ReportCommandsTest, CutAndCopyFollowTheSelection) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    const auto enabled = [&] {
        return std::pair(Child<QAction>(Report, "Cut1")->isEnabled(),
                         Child<QAction>(Report, "Copy1")->isEnabled());
    };
    EXPECT_EQ(enabled(), std::pair(false, false));
    QTest::keyClicks(Field, "text");
    EXPECT_EQ(enabled(), std::pair(false, false));
    QTest::keyClick(Field, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(enabled(), std::pair(true, true));
    Child<QAction>(Report, "Cut1")->trigger();
    EXPECT_EQ(enabled(), std::pair(false, false));
    Child<QAction>(Report, "SelectAll1")->trigger();
    EXPECT_EQ(enabled(), std::pair(true, true));
}

// The title names the named configuration in use, from the command line
// or from Load or Save Configuration, which say so in the status bar.
TEST_F(ReportCommandsTest, TheTitleNamesTheConfigurationInUse) {
    const auto [First, Second] = WorkedExampleFiles();
    {
        auto Daily = OpenReport(std::string(OthersKey) + "\\Daily");
        EXPECT_EQ(Daily->windowTitle(), "Compare Report [Daily]");
        Daily->RunComparison(true, First, Second, true, false, false);
        EXPECT_EQ(Daily->windowTitle(), "Compare Report [Daily] - old/ : new/");
    }
    auto Report = OpenReport();
    EXPECT_EQ(Report->windowTitle(), "Compare Report");
    Report->RunComparison(true, First, Second, true, false, false);
    Answer<TSaveConfig>([](TSaveConfig *Save) {
        Child<QLineEdit>(Save, "EditName")->setText("Weekly");
        return int(mrOk);
    });
    Child<QAction>(Report, "SaveConfiguration1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report [Weekly] - old/ : new/");
    EXPECT_EQ(Status(Report), "Configuration Weekly saved; changes now go to Weekly");
    Answer<TLoadConfig>([](TLoadConfig *Load) {
        auto *Names = Child<QComboBox>(Load, "ComboBoxNames");
        Names->setCurrentIndex(Names->findText("Daily"));
        return int(mrOk);
    });
    Child<QAction>(Report, "LoadConfiguration1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report [Daily] - old/ : new/");
    EXPECT_EQ(Status(Report), "Configuration Daily loaded; changes now go to Daily");
    // A cancelled choice changes nothing.
    Answer<TLoadConfig>([](TLoadConfig *) { return int(mrCancel); });
    Child<QAction>(Report, "LoadConfiguration1")->trigger();
    EXPECT_EQ(Status(Report), "Configuration Daily loaded; changes now go to Daily");
    Child<QAction>(Report, "New1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report [Daily]");
}

// The first start opens on two thirds of the screen's free area, centred;
// a stored placement is taken as it is.
TEST_F(ReportCommandsTest, TheFirstStartTakesTwoThirdsOfTheScreen) {
    QRect Stored;
    {
        auto Report = OpenReport();
        const QRect Free = Report->screen()->availableGeometry();
        const QRect Outer = Report->OuterGeometry();
        EXPECT_EQ(Outer.size(), QSize(Free.width() * 2 / 3, Free.height() * 2 / 3));
        EXPECT_LE((Outer.center() - Free.center()).manhattanLength(), 2);
        Stored = QRect(Free.topLeft() + QPoint(7, 9), QSize(300, 200));
        Report->SetOuterGeometry(Stored);
    }
    auto Report = OpenReport();
    EXPECT_EQ(Report->OuterGeometry(), Stored);
}

} // namespace
