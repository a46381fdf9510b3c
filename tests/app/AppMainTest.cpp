#include "AppMain.h"
#include "AppTestSupport.h"
#include "ConfigNames.h"
#include "SettingsRootKey.h"
#include "TRegIniFile.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QMessageBox>
#include <QTimer>
#include <csignal>

namespace {

class AppMainTest : public AppTest {
protected:
    // Starts the program again on this test's settings; Do acts in its
    // report window, which then closes. Returns the report shown at start.
    QString Restart(std::function<void(TCompareReport *)> Do = [](TCompareReport *) {}) {
        QString Shown;
        Answer<TCompareReport>([&](TCompareReport *Report) {
            Shown = Child<QPlainTextEdit>(Report, "resultField")->toPlainText();
            Do(Report);
            return int(mrCancel);
        });
        EXPECT_EQ(RunApplication({"tarnwell"}), 0);
        return Shown;
    }
};

// Ended from outside (SIGTERM, as a logout or kill sends it) while a
// start-up box waits for the user, or with the report up: the windows close
// and the program ends through the normal save instead of being killed. The
// box is the one for a configuration name that is not valid UTF-8, which
// could never be loaded back: the default configuration is used instead.
TEST_F(AppMainTest, TerminationEndsThroughTheNormalSave) {
    const auto EndFromOutside = [](QDialog *Window) {
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        return Window->exec();
    };
    Answer<QMessageBox>([&](QMessageBox *Box) {
        EXPECT_TRUE(Box->text().contains("is not valid UTF-8")) << Box->text().toStdString();
        return EndFromOutside(Box);
    });
    EXPECT_EQ(RunApplication({"tarnwell", "bad\xFF\xFE"}), 0);
    EXPECT_EQ(TRegIniFile(DefaultRootKey).ReadString("Compare\\Report", "Version", ""), "1");
    QStringList Names;
    ListConfigurations(Names);
    EXPECT_EQ(Names, QStringList());

    WatchWindows(); // the ending answers every window itself
    Answer<TCompareReport>([&](TCompareReport *Report) {
        Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(true);
        Child<QPlainTextEdit>(Report, "resultField")->setPlainText("kept");
        return EndFromOutside(Report);
    });
    EXPECT_EQ(RunApplication({"tarnwell"}), 0);
    WatchWindows();
    EXPECT_EQ(Restart(), "kept");
}

// A valid UTF-8 name is a configuration of its own, listed by that name.
TEST_F(AppMainTest, AConfigurationNameOfItsOwn) {
    std::string Opened;
    Answer<TCompareReport>([&](TCompareReport *Report) {
        Opened = Report->IniFile->KeyPath();
        return int(mrCancel);
    });
    EXPECT_EQ(RunApplication({"tarnwell", "/x/Gr\xC3\xBC\xC3\x9F"}), 0);
    EXPECT_EQ(Opened, std::string(OthersKey) + "\\Gr\xC3\xBC\xC3\x9F");
    QStringList Names;
    ListConfigurations(Names);
    EXPECT_EQ(Names, QStringList(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F")));
}

// A damaged hive is told once at start and the program works on fresh
// settings, which keep the report at the end; with "Save Report on Exit"
// off, the next start shows none.
TEST_F(AppMainTest, DamagedHiveIsReportedAndTheProgramWorks) {
    WriteBytes("config/tarnwell/registry.sqlite3",
               QByteArray("this is not a database at all, just some text ").repeated(200));
    const auto [First, Second] = WorkedExampleFiles();
    QStringList Told;
    Restart([&, First = First, Second = Second](TCompareReport *Report) {
        Told = TakeErrors();
        Report->RunComparison(true, First, Second, true, false, false);
        Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(true);
    });
    ASSERT_EQ(Told.size(), 1);
    EXPECT_TRUE(Told[0].contains("registry.sqlite3")) << Told[0].toStdString();
    EXPECT_EQ(Restart([](TCompareReport *Report) {
                  Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(false);
              }),
              WorkedExampleReport().join('\n'));
    EXPECT_EQ(Restart(), "");
}

} // namespace
