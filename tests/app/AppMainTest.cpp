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
    // Starts the program again on this test's settings, in configuration
    // Name; Do acts in its report window, which then closes. Returns the
    // report shown at start.
    QString Restart(
        const std::string &Name,
        std::function<void(TCompareReport *)> Do = [](TCompareReport *) {}) {
        QString Shown;
        Answer<TCompareReport>([&](TCompareReport *Report) {
            Shown = Child<QPlainTextEdit>(Report, "resultField")->toPlainText();
            Do(Report);
            return int(mrCancel);
        });
        EXPECT_EQ(RunApplication({"tarnwell", Name}), 0);
        return Shown;
    }
};

// The program's whole run, restarted on the same settings. A damaged hive
// is told once at start, and the program goes on with fresh settings. Ended
// from outside (SIGTERM, as a logout or kill sends it) with the report up,
// or while a start-up box waits for the user, the windows close and the
// program ends through the normal save instead of being killed. A
// configuration name in UTF-8 is kept under that name; any other could
// never be loaded back, and is refused with a box for the default one.
TEST_F(AppMainTest, RunsEndThroughTheNormalSave) {
    WriteBytes("config/tarnwell/registry.sqlite3",
               QByteArray("this is not a database at all, just some text ").repeated(200));
    const auto EndFromOutside = [](QDialog *Window) {
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        return Window->exec();
    };
    const std::string Name = "/x/Gr\xC3\xBC\xC3\x9F";
    Answer<TCompareReport>([&](TCompareReport *Report) {
        EXPECT_EQ(Report->IniFile->KeyPath(), std::string(OthersKey) + "\\Gr\xC3\xBC\xC3\x9F");
        const QStringList Told = TakeErrors();
        EXPECT_TRUE(Told.size() == 1 && Told[0].contains("registry.sqlite3"))
            << Told.join('|').toStdString();
        Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(true);
        Child<QPlainTextEdit>(Report, "resultField")->setPlainText("kept");
        return EndFromOutside(Report);
    });
    EXPECT_EQ(RunApplication({"tarnwell", Name}), 0);
    WatchWindows(); // the ending answers every window itself
    // "Save Report on Exit" off: the next start shows none.
    EXPECT_EQ(
        Restart(Name,
                [](TCompareReport *Report) {
                    Child<QCheckBox>(Report->CompareDialog(), "maintainReport")->setChecked(false);
                }),
        "kept");
    EXPECT_EQ(Restart(Name), "");

    Answer<QMessageBox>([&](QMessageBox *Box) {
        EXPECT_TRUE(Box->text().contains("is not valid UTF-8")) << Box->text().toStdString();
        return EndFromOutside(Box);
    });
    EXPECT_EQ(RunApplication({"tarnwell", "bad\xFF\xFE"}), 0);
    EXPECT_EQ(TRegIniFile(DefaultRootKey).ReadString("Compare\\Report", "Version", ""), "1");
    QStringList Names;
    ListConfigurations(Names);
    EXPECT_EQ(Names, QStringList(QString::fromUtf8("Gr\xC3\xBC\xC3\x9F")));
}

} // namespace
