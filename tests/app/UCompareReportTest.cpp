#include "UCompareReport.h"
#include "AppMain.h"
#include "AppTestSupport.h"
#include "Compare.h"
#include "ConfigNames.h"
#include "SettingsRootKey.h"
#include "TRegIniFile.h"
#include "UCompareDialog.h"
#include "UCompareWizard.h"
#include "UHelpViewer.h"
#include "ULoadConfig.h"
#include "USaveConfig.h"
#include "UiChild.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolTip>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

using TReport = std::unique_ptr<TCompareReport>;

// Family, points, bold and italic.
auto Style(const QFont &Font) {
    return std::tuple(Font.family(), Font.pointSize(), Font.bold(), Font.italic());
}

// The control with the focus, then each one Tab reaches until the first.
QStringList TabChain(QWidget *Window) {
    QStringList Chain{FocusName(Window)};
    for (int I = 0; I < 20; ++I) {
        QTest::keyClick(Window->focusWidget(), Qt::Key_Tab);
        if (FocusName(Window) == Chain.front())
            break;
        Chain << FocusName(Window);
    }
    return Chain;
}

QString SelectedText(const QWidget *Window) {
    const QWidget *Focus = Window->focusWidget();
    if (const auto *Box = qobject_cast<const QComboBox *>(Focus))
        Focus = Box->lineEdit(); // a box's edit takes its keys through the box
    const auto *Edit = qobject_cast<const QLineEdit *>(Focus);
    return Edit != nullptr ? Edit->selectedText() : QString();
}

// The access keys of Texts, in lower case; "" for a text without one.
QStringList AccessKeys(const QStringList &Texts) {
    QStringList Keys;
    for (const QString &Text : Texts)
        Keys << QString(Text).replace("&&", "").section('&', 1).left(1).toLower();
    return Keys;
}

class CompareReportTest : public AppTest {
protected:
    // The dialog answered by a user who types two names and presses a button.
    void AnswerDialog(const QString &First, const QString &Second, const char *Button) {
        Answer<TCompareDialog>([=](TCompareDialog *Dialog) {
            Child<THistoryBox>(Dialog, "file1")->setEditText(First);
            Child<THistoryBox>(Dialog, "file2")->setEditText(Second);
            Dialog->show();
            Child<QPushButton>(Dialog, Button)->click();
            return Dialog->result();
        });
    }
    void ChooseFont(const TReport &Report, const QFont &Font, bool Accept) {
        Answer<QFontDialog>([=](QFontDialog *Dialog) {
            Dialog->setCurrentFont(Font);
            return int(Accept ? QDialog::Accepted : QDialog::Rejected);
        });
        Child<QAction>(Report, "Font1")->trigger();
    }
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

// The keyboard, the defaults and the window behaviours a desktop user
// expects.
using DesktopTest = AppTest;

// The values of all three windows: the defaults of a first start, what the
// user set stored under the value names other versions read, and back at
// the next start.
class StoredValuesTest : public CompareReportTest {
protected:
    static constexpr const char *Boxes[] = {
        "dontListCommon", "ignoreBigNumbers", "startWithDialog", "clearReport",
        "maintainReport", "ignoreCase",       "ignoreWhiteSpace"};
    QFont Chosen{"DejaVu Sans Mono", 14};
    const QRect Placed{20, 30, 300, 200};

    // Opens the program, sets a value of every kind other than its default
    // and closes it again (the values are saved at destruction).
    void SetEveryValue(const std::function<void()> &BeforeExit = [] {}) {
        Chosen.setBold(true);
        Chosen.setItalic(true);
        auto Report = OpenReport();
        TCompareDialog *Dialog = Report->CompareDialog();
        TCompareWizard *Wizard = Report->CompareWizard();
        Child<THistoryBox>(Dialog, "file1")->setEditText("/tmp/one.txt");
        Child<THistoryBox>(Dialog, "ignoreText")->setEditText("[0-9]+");
        Dialog->CommitFileNames();
        Child<THistoryBox>(Dialog, "file1")->setEditText("/tmp/typed.txt");
        Child<THistoryBox>(Dialog, "file2")->setEditText("/tmp/two.txt");
        // Quotes are part of a pattern.
        Child<THistoryBox>(Dialog, "ignoreText")->setEditText("'x'");
        Child<QTabWidget>(Dialog, "notebook")
            ->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
        for (const char *Box : Boxes)
            Child<QCheckBox>(Dialog, Box)->setChecked(Box != Boxes[3]);
        Child<QAction>(Report, "LineNumbers1")->trigger();
        Child<QLineEdit>(Wizard, "firstFile")->setText("/a.txt");
        Child<QLineEdit>(Wizard, "secondFile")->setText("/b.txt");
        Report->SetOuterGeometry(Placed);
        ChooseFont(Report, Chosen, true);
        BeforeExit();
    }
    // "Section Name Value", the section below "Compare\\"; a value not read
    // back at the next start would be saved as its default.
    static void ExpectStored() {
        TRegIniFile Store(DefaultRootKey);
        for (const QString Entry :
             {"Dialog CheckBox-2 1", "Dialog CheckBox-3 1", "Dialog CheckBox-4 1",
              "Dialog CheckBox-5 0", "Dialog CheckBox-6 1", "Dialog CheckBox-7 1",
              "Dialog CheckBox-8 1", "Dialog Misc-1 optionsTab",
              "Dialog-History-3 Text /tmp/typed.txt", "Dialog-History-3 Item1 /tmp/one.txt",
              "Dialog-History-4 Text /tmp/two.txt", "Dialog Edit-1 'x'",
              "Dialog-History-5 Item1 [0-9]+", "Wizard Edit-1 /a.txt", "Wizard Edit-2 /b.txt",
              "Report Version 1", "Report LineNumbers 0"}) {
            const QStringList Part = Entry.split(' ');
            EXPECT_EQ(
                Store.ReadString("Compare\\" + Part[0].toStdString(), Part[1].toStdString(), ""),
                Part[2].toStdString())
                << Entry.toStdString();
        }
    }
};

TEST_F(StoredValuesTest, AFirstStartShowsTheDefaults) {
    auto Report = OpenReport();
    TCompareDialog *Dialog = Report->CompareDialog();
    TCompareWizard *Wizard = Report->CompareWizard();
    for (const char *Box : Boxes)
        EXPECT_EQ(Child<QCheckBox>(Dialog, Box)->isChecked(), Box == Boxes[3]) << Box;
    // Empty name boxes that say what to enter; the wizard's at home.
    for (const char *Box : {"file1", "file2"})
        EXPECT_NE(Child<THistoryBox>(Dialog, Box)->lineEdit()->placeholderText(), "");
    EXPECT_EQ(Dialog->Options().FileName1 + Dialog->Options().FileName2, "");
    EXPECT_EQ(Wizard->FirstFileName() + Wizard->SecondFileName(),
              QDir::homePath() + "/" + QDir::homePath() + "/");
    // "Courier New" at 10 points, or a fixed-pitch face in its stead.
    const QFont Font = Child<QPlainTextEdit>(Report, "resultField")->font();
    EXPECT_EQ(Style(Font), std::tuple(QString("Courier New"), 10, false, false));
    EXPECT_TRUE(QFontInfo(Font).fixedPitch()) << QFontInfo(Font).family().toStdString();
    // Two thirds of the screen's free area, centred.
    const QRect Free = Report->screen()->availableGeometry(), Outer = Report->OuterGeometry();
    EXPECT_EQ(Outer.size(), QSize(Free.width() * 2 / 3, Free.height() * 2 / 3));
    EXPECT_LE((Outer.center() - Free.center()).manhattanLength(), 2);
}

TEST_F(StoredValuesTest, TheStoredValuesComeBackAtTheNextStart) {
    SetEveryValue();
    // Start with Dialog: once per run, not at every showing (a window
    // nobody expects fails the test).
    Answer<TCompareDialog>([](TCompareDialog *) { return int(mrCancel); });
    auto Report = OpenReport();
    QApplication::processEvents();
    Report->hide();
    Report->show();
    QApplication::processEvents();
    const TCompareRequest Options = Report->CompareDialog()->Options();
    EXPECT_TRUE(Options.IgnoreBigNumbers && Options.IgnoreCase && Options.IgnoreWhiteSpace);
    EXPECT_EQ(Options.FileName1, "/tmp/typed.txt");
    EXPECT_EQ(Options.IgnoreText, std::vector<std::string>{"'x'"});
    EXPECT_EQ(Report->OuterGeometry(), Placed);
    EXPECT_EQ(Style(Child<QPlainTextEdit>(Report, "resultField")->font()), Style(Chosen));
    EXPECT_EQ(Style(Report->GetFontDialog()->currentFont()), Style(Chosen));
    EXPECT_FALSE(Child<QAction>(Report, "LineNumbers1")->isChecked());
    EXPECT_FALSE(Child<QWidget>(Report, "lineGutter")->isVisible());
    // A cancelled font dialog changes nothing.
    ChooseFont(Report, QFont("DejaVu Serif", 20), false);
    EXPECT_EQ(Report->GetFontDialog()->currentFont().family(), Chosen.family());
}

// The kept report's folder cannot be made: a plain file is in the way.
TEST_F(StoredValuesTest, AFailedSaveAtExitIsShownAndTheOtherValuesAreStored) {
    SetEveryValue([this] {
        QDir(Path("data")).removeRecursively();
        WriteLines("data", {"x"});
    });
    EXPECT_EQ(TakeErrors().size(), 1);
    ExpectStored();
}

// Two copies of the program at once: the one that ends later writes back
// only what it changed itself, so the other's change stays.
TEST_F(StoredValuesTest, ALaterExitKeepsWhatAnotherCopyChanged) {
    auto First = OpenReport(), Second = OpenReport();
    Child<QCheckBox>(First->CompareDialog(), "ignoreBigNumbers")->setChecked(true);
    Child<QCheckBox>(Second->CompareDialog(), "ignoreCase")->setChecked(true);
    First.reset();
    Second.reset();
    TRegIniFile Store(DefaultRootKey);
    for (const char *Value : {"CheckBox-3", "CheckBox-7"})
        EXPECT_EQ(Store.ReadString("Compare\\Dialog", Value, ""), "1") << Value;
}

// Settings that cannot be saved at exit are told once, with the file, the
// reason and what it means, however many values failed.
TEST_F(StoredValuesTest, SettingsThatCannotBeSavedAreToldOnce) {
    WriteLines("config/tarnwell", {"a file where the folder should be"});
    SetEveryValue();
    EXPECT_EQ(TakeErrors(),
              QStringList("Cannot save the settings to " +
                          Path("config/tarnwell/registry.sqlite3") +
                          ": Not a directory. The changes of this session are lost."));
}

// OK (1) runs with the dialog's names and options, Wizard (5) hands over to
// the wizard, whose Finish (1) runs with its names only; Cancel (2) runs
// nothing. The title names the run's files until New; a run cannot be
// undone.
TEST_F(CompareReportTest, DialogAndWizardStartTheRuns) {
    auto Report = OpenReport();
    const auto [First, Second] = WorkedExampleFiles();
    auto *Names = Child<THistoryBox>(Report->CompareDialog(), "file1");
    Child<QCheckBox>(Report->CompareDialog(), "dontListCommon")->setChecked(true);
    AnswerDialog(First, Second, "OKButton");
    QTest::keyClick(Report.get(), Qt::Key_F5);
    const QStringList Differences{"new/   zero", "old/   three", "new/   THREE", "new/   five"};
    EXPECT_EQ(Lines(Report), Differences);
    EXPECT_TRUE(Status(Report).startsWith("All Done: "));
    EXPECT_EQ(Report->windowTitle(), "Compare Report - old/ : new/");
    EXPECT_FALSE(Child<QAction>(Report, "Undo1")->isEnabled()) << "a run cannot be undone";
    // The names were committed to their histories.
    EXPECT_EQ(Names->itemText(0), First);

    // Clear Report off: the next report follows the separator.
    Child<QCheckBox>(Report->CompareDialog(), "clearReport")->setChecked(false);
    AnswerDialog(First, Second, "OKButton");
    Child<QAction>(Report, "Dialog1")->trigger();
    EXPECT_EQ(Lines(Report),
              Differences + (QStringList{"", SeparatorLine.data(), ""}) + Differences);

    // A cancelled dialog or wizard runs nothing.
    AnswerDialog("not run a", "not run b", "CancelButton");
    Child<QAction>(Report, "Dialog1")->trigger();
    Answer<TCompareWizard>([](TCompareWizard *Wizard) {
        Wizard->BtnNext->click(); // the next showing starts on Welcome again
        return int(mrCancel);
    });
    Child<QAction>(Report, "Wizard1")->trigger();
    EXPECT_EQ(Lines(Report).size(), 11);

    // The wizard, on Welcome at every showing, clears and ignores the
    // dialog's options; the dialog's names were not taken.
    AnswerDialog("not used a", "not used b", "WizardButton");
    Answer<TCompareWizard>([First = First, Second = Second](TCompareWizard *Wizard) {
        Wizard->show();
        EXPECT_EQ(Wizard->notebook->currentIndex(), 0);
        Wizard->BtnNext->click();
        Child<QLineEdit>(Wizard, "firstFile")->setText(First);
        Wizard->BtnNext->click();
        Child<QLineEdit>(Wizard, "secondFile")->setText(Second);
        Wizard->BtnNext->click();
        Wizard->BtnNext->click();
        return Wizard->result();
    });
    Child<QAction>(Report, "Dialog1")->trigger();
    EXPECT_EQ(Lines(Report), WorkedExampleReport());
    EXPECT_EQ(Names->itemText(0), First);
    Child<QAction>(Report, "New1")->trigger();
    EXPECT_EQ(Report->windowTitle(), "Compare Report");
}

// OK with an empty name box, and the wizard's Next on a file page with one,
// stay: the cursor goes to the box and a tip under it says why.
TEST_F(CompareReportTest, OkAndNextNeedAFileName) {
    auto Report = OpenReport();
    TCompareDialog *Dialog = Report->CompareDialog();
    TCompareWizard *Wizard = Report->CompareWizard();
    AnswerDialog("a.txt", "", "OKButton");
    Child<QAction>(Report, "Dialog1")->trigger();
    EXPECT_TRUE(Dialog->isVisible());
    EXPECT_EQ(FocusName(Dialog) + " " + QToolTip::text(), "file2 Name a file to compare");
    Wizard->show();
    Child<QLineEdit>(Wizard, "firstFile")->clear();
    for (int Press = 0; Press < 2; ++Press)
        Wizard->BtnNext->click();
    EXPECT_EQ(Wizard->notebook->currentIndex(), 1);
    EXPECT_EQ(FocusName(Wizard), "firstFile");
}

// Stop, then Exit, during a run end it at the step in progress, saying so;
// Exit also ends the window's modal run, which Esc in the report's text
// does not. A later run is whole.
TEST_F(CompareReportTest, StopOrExitDuringARunEndsIt) {
    auto Report = OpenReport();
    Report->hide();
    // Two files that share no line: every line is reported.
    QStringList Left, Right;
    for (int I = 0; I < 50000; ++I)
        Left << QString("left %1").arg(I), Right << QString("right %1").arg(I);
    const QString A = WriteLines("long-a.txt", Left), B = WriteLines("long-b.txt", Right);
    RunForReal<TCompareReport>();
    bool VisibleAfterEsc = false;
    QTimer::singleShot(0, Report.get(), [&] {
        QTest::keyClick(Child<QPlainTextEdit>(Report, "resultField"), Qt::Key_Escape);
        VisibleAfterEsc = Report->isVisible();
        for (const char *Action : {"Stop1", "Exit1"}) {
            // Posted before the run starts: delivered at its first step.
            QTimer::singleShot(0, Child<QAction>(Report, Action), &QAction::trigger);
            Report->RunComparison(true, A, B, true, false, false);
            EXPECT_TRUE(Lines(Report).size() > 0 && Lines(Report).size() < 100000) << Action;
            EXPECT_EQ(Status(Report), "Stopped at 0 %: the report is incomplete") << Action;
        }
    });
    EXPECT_EQ(ShowModal(Report.get()), mrCancel);
    EXPECT_TRUE(VisibleAfterEsc);
    EXPECT_FALSE(Report->isVisible());
    const auto [First, Second] = WorkedExampleFiles();
    Report->RunComparison(true, First, Second, true, false, false);
    EXPECT_EQ(Lines(Report), WorkedExampleReport());
}

// Save As writes the report as UTF-8 lines and says so. The name it
// proposes saves when accepted: Report.txt in the home folder, later in the
// folder of the last successful save. Only a regular file, a new name or a
// link to a regular file is written, by Save As or by Print to a file
// (never a FIFO or a device, which stay as they were); any other, or a file
// that cannot be written, is shown in the error box.
TEST_F(CompareReportTest, SaveAsWritesUtf8LinesOrShowsWhyNot) {
    auto Report = OpenReport();
    const QString Text = QString::fromUtf8("first line\n\nsecond \xC3\xA9\xC2\xA0line");
    Child<QPlainTextEdit>(Report, "resultField")->setPlainText(Text);
    // A path below a plain file cannot be created, not even by root.
    const QString Blocker = WriteLines("blocker", {"x"}), Fifo = Path("fifo");
    mkfifo(QFile::encodeName(Fifo).constData(), 0600);
    // Held open, so that a writer that opened it would not wait.
    const int FifoHeld = open(QFile::encodeName(Fifo).constData(), O_RDWR | O_NONBLOCK);
    // A device of the test's own (a folder where only root may make one): a
    // check that let it through must not replace one the system uses.
    const QString Device = Path("device");
    if (mknod(QFile::encodeName(Device).constData(), S_IFCHR | 0600, makedev(1, 7)) != 0)
        QDir().mkpath(Device);
    for (const auto &[Link, To] :
         {std::pair{"to-one", Path("one.txt")}, std::pair{"dangling", Path("no")}})
        ASSERT_EQ(
            symlink(QFile::encodeName(To).constData(), QFile::encodeName(Path(Link)).constData()),
            0);
    const QString Home = QDir::homePath() + "/Report.txt", Here = Path("Report.txt");
    // The name typed (none: the proposal is accepted), the one proposed, and
    // why it cannot be written.
    const std::tuple<QString, QString, QString> Saves[] = {
        {"", Home, ""},
        {Path("one.txt"), Home, ""},
        {Blocker + "/report.txt", Here, "Not a directory"},
        {Fifo, Here, "not a regular file"},
        {Device, Here, "not a regular file"},
        {Path("dangling"), Here, "not a regular file"},
        {Path("to-one"), Here, ""},
        {"", Here, ""}};
    for (const auto &[Typed, Proposed, Why] : Saves) {
        Answer<QFileDialog>([&](QFileDialog *Dialog) {
            EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(Dialog->selectedFiles(), QStringList(Proposed));
            if (!Typed.isEmpty())
                Dialog->selectFile(Typed);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "SaveAs1")->trigger();
        const QString Name = Typed.isEmpty() ? Proposed : Typed;
        EXPECT_EQ(TakeErrors(), Why.isEmpty()
                                    ? QStringList()
                                    : QStringList("Cannot write file " + Name + ": " + Why + "."));
        EXPECT_EQ(Status(Report), Why.isEmpty() ? "Saved " + Name : Status(Report));
    }
    for (const QString &Pdf : {Blocker + "/report.pdf", Device, Fifo}) {
        Answer<QPrintDialog>([&](QPrintDialog *Dialog) {
            Dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            Dialog->printer()->setOutputFileName(Pdf);
            return int(QDialog::Accepted);
        });
        Child<QAction>(Report, "Print1")->trigger();
        const QStringList Errors = TakeErrors();
        EXPECT_TRUE(Errors.size() == 1 && Errors[0].startsWith("Cannot write file " + Pdf + ": "))
            << Errors.join('|').toStdString();
    }
    for (const QString &Saved : {Home, Path("one.txt"), Here})
        EXPECT_EQ(ReadBytes(Saved), QByteArray("first line\n\nsecond \xC3\xA9\xC2\xA0line\n"));
    close(FifoHeld);
    for (const QString &Special : {Fifo, Device})
        EXPECT_TRUE(QFileInfo(Special).exists() && !QFileInfo(Special).isFile())
            << Special.toStdString();
    EXPECT_TRUE(QFileInfo(Path("to-one")).isSymLink() && !QFile::exists(Path("no")));
}

// A write that fails part way, as on a full disk, is told and leaves no
// file, whole or cut, by Save As or by Print to a file.
TEST_F(CompareReportTest, AWriteThatFailsPartWayIsToldAndLeavesNoFile) {
    auto Report = OpenReport();
    Child<QPlainTextEdit>(Report, "resultField")->setPlainText("a report longer than the limit");
    const QString Saved = Path("saved.txt"), Printed = Path("printed.pdf");
    Answer<QFileDialog>([&](QFileDialog *Dialog) {
        Dialog->selectFile(Saved);
        return int(QDialog::Accepted);
    });
    Answer<QPrintDialog>([&](QPrintDialog *Dialog) {
        Dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        Dialog->printer()->setOutputFileName(Printed);
        return int(QDialog::Accepted);
    });
    // Past 16 bytes a write fails with EFBIG instead of ending the process.
    const auto Handler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit Was{};
    getrlimit(RLIMIT_FSIZE, &Was);
    const rlimit Small{16, Was.rlim_max};
    for (const char *Action : {"SaveAs1", "Print1"}) {
        setrlimit(RLIMIT_FSIZE, &Small);
        Child<QAction>(Report, Action)->trigger();
        setrlimit(RLIMIT_FSIZE, &Was);
    }
    std::signal(SIGXFSZ, Handler);
    EXPECT_EQ(TakeErrors(), QStringList({"Cannot write file " + Saved + ": File too large.",
                                         "Cannot write file " + Printed + ": File too large."}));
    EXPECT_EQ(QDir(Path("")).entryList({"saved*", "printed*"}, QDir::Files), QStringList());
}

// The print dialog's Print checks the file in its box before Qt's own
// checks open it: a FIFO is refused and the dialog stays open.
TEST_F(CompareReportTest, ThePrintButtonRefusesAFifoBeforeQtOpensIt) {
    auto Report = OpenReport();
    const QString Fifo = Path("fifo");
    mkfifo(QFile::encodeName(Fifo).constData(), 0600);
    const int FifoHeld = open(QFile::encodeName(Fifo).constData(), O_RDWR | O_NONBLOCK);
    bool Stayed = false, QtAsked = false;
    Answer<QPrintDialog>([&](QPrintDialog *Dialog) {
        QTimer::singleShot(0, Dialog, [&, Dialog] {
            Child<QLineEdit>(Dialog, "filename")->setText(Fifo);
            // Qt's own "overwrite?", had it opened the FIFO, is answered No.
            QTimer Question;
            QObject::connect(&Question, &QTimer::timeout, [&] {
                if (auto *Box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    QtAsked = true, Box->reject();
            });
            Question.start(20);
            Dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            Stayed = Dialog->isVisible();
            Dialog->reject();
        });
        return Dialog->exec();
    });
    Child<QAction>(Report, "Print1")->trigger();
    EXPECT_EQ(TakeErrors(), QStringList("Cannot write file " + Fifo + ": not a regular file."));
    EXPECT_TRUE(Stayed && !QtAsked);
    close(FifoHeld);
}

// Loading a configuration gives the report every style of its stored font,
// whatever the font before had: a regular one loses the bold of a font
// chosen before, a bold one is bold after a regular one, in the report and
// in the font dialog. The dialog's values come back with it. The title and
// the status name the configuration saved or loaded.
TEST_F(CompareReportTest, LoadingAConfigurationGivesTheFontItsStoredStyles) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    auto *Common = Child<QCheckBox>(Report->CompareDialog(), "dontListCommon");
    // Bold and the dialog's value on, or both off, saved under Style.
    const auto Save = [&](const char *Style, bool Bold) {
        ChooseFont(Report, QFontDatabase::font("DejaVu Sans Mono", Style, 12), true);
        EXPECT_EQ(QFontInfo(Field->font()).bold(), Bold);
        Common->setChecked(Bold);
        Answer<TSaveConfig>([Style](TSaveConfig *Window) {
            Child<QLineEdit>(Window, "EditName")->setText(Style);
            return int(mrOk);
        });
        Child<QAction>(Report, "SaveConfiguration1")->trigger();
        EXPECT_EQ(Status(Report),
                  QString("Configuration %1 saved; changes now go to %1").arg(Style));
    };
    const auto Load = [&](const char *Style, bool Bold) {
        Answer<TLoadConfig>([Style](TLoadConfig *Window) {
            auto *Names = Child<QComboBox>(Window, "ComboBoxNames");
            Names->setCurrentIndex(Names->findText(Style));
            return int(mrOk);
        });
        Child<QAction>(Report, "LoadConfiguration1")->trigger();
        EXPECT_EQ(QFontInfo(Field->font()).bold(), Bold) << "what is shown, " << Style;
        EXPECT_EQ(Field->font().bold(), Bold) << Style;
        EXPECT_EQ(Report->GetFontDialog()->currentFont().bold(), Bold) << Style;
        EXPECT_EQ(Common->isChecked(), Bold) << Style;
        EXPECT_EQ(Status(Report),
                  QString("Configuration %1 loaded; changes now go to %1").arg(Style));
        EXPECT_EQ(Report->windowTitle(), QString("Compare Report [%1]").arg(Style));
    };
    Save("Bold", true);
    Save("Book", false);
    ChooseFont(Report, QFontDatabase::font("DejaVu Sans Mono", "Bold", 12), true);
    Load("Book", false);
    Load("Bold", true);
}

// Enter is Next on every page but the last, where it is Finish.
TEST_F(DesktopTest, WizardFocusTabStopsAndEnterOnEveryPage) {
    auto Report = OpenReport();
    TCompareWizard *Window = Report->CompareWizard();
    Window->show();
    const QStringList Buttons{"BtnBack", "BtnNext", "BtnCancel"};
    const QStringList Chains[] = {{"BtnNext", "BtnCancel"},
                                  QStringList{"firstFile", "BtnBrowse"} + Buttons,
                                  QStringList{"secondFile", "Button1"} + Buttons,
                                  {"BtnNext", "BtnCancel", "BtnBack"}};
    for (int Page = 0; Page < 4; ++Page) {
        SCOPED_TRACE(Page);
        EXPECT_EQ(TabChain(Window), Chains[Page]);
        Window->UpdateButtons(); // the focus back where the page put it
        EXPECT_EQ(SelectedText(Window),
                  Page == 1 || Page == 2 ? QDir::homePath() + "/" : QString());
        QTest::keyClick(Window->focusWidget(), Qt::Key_Return);
        EXPECT_EQ(Window->isVisible(), Page < 3);
    }
    EXPECT_EQ(Window->result(), mrOk);
    // Enter on a focused button presses that button, not the default one.
    for (QDialog *Dialog :
         {static_cast<QDialog *>(Window), static_cast<QDialog *>(Report->CompareDialog())}) {
        Dialog->show();
        auto *Cancel = Child<QPushButton>(Dialog, Dialog == Window ? "BtnCancel" : "CancelButton");
        Cancel->setFocus();
        QTest::keyClick(Cancel, Qt::Key_Return);
        EXPECT_EQ(Dialog->result(), mrCancel) << Dialog->objectName().toStdString();
    }
}

// Each window's first focus, its text selected, and its Tab chain, which
// follows the layout; the dialog opens on its Compare page whatever page was
// left in front. Every menu item has an access key, and no two in one menu,
// or one window, clash; one that no control in view answers types nothing.
// The dialog cannot shrink below its design.
TEST_F(DesktopTest, FocusTabChainsAndAccessKeys) {
    auto Report = OpenReport();
    EXPECT_EQ(FocusName(Report.get()), "resultField");
    TCompareDialog *Dialog = Report->CompareDialog();
    Child<THistoryBox>(Dialog, "file1")->setEditText("/tmp/a.txt");
    TSaveConfig Save;
    TLoadConfig Load;
    const QStringList Buttons{"OKButton", "WizardButton", "helpButton", "CancelButton", "notebook"};
    auto *Pages = Child<QTabWidget>(Dialog, "notebook");
    Pages->setCurrentWidget(Child<QWidget>(Dialog, "optionsTab"));
    const std::tuple<QWidget *, const char *, QString, QStringList> Cases[] = {
        {Dialog, nullptr, "/tmp/a.txt",
         QStringList{"file1", "browse1Button", "file2", "browse2Button", "dontListCommon",
                     "ignoreBigNumbers"} +
             Buttons},
        {Dialog, "optionsTab", "",
         QStringList{"startWithDialog", "clearReport", "maintainReport", "ignoreCase",
                     "ignoreWhiteSpace", "ignoreText"} +
             Buttons},
        {&Save, nullptr, Save.Name(), {"EditName", "ListBoxNames", "Button1", "Button2"}},
        {&Load, nullptr, "", {"ComboBoxNames", "Button1", "Button2"}}};
    for (const auto &[Window, Page, Selected, Chain] : Cases) {
        Window->show();
        if (Page != nullptr)
            Pages->setCurrentWidget(Child<QWidget>(Dialog, Page));
        EXPECT_EQ(SelectedText(Window), Selected);
        EXPECT_EQ(TabChain(Window), Chain);
    }
    // Alt+G and Alt+P of the Options page, and Alt+Q of no control.
    Pages->setCurrentWidget(Child<QWidget>(Dialog, "FilesTab"));
    for (QWidget *Target : {Dialog->focusWidget(), Child<QWidget>(Report, "resultField")})
        for (const Qt::Key Key : {Qt::Key_G, Qt::Key_P, Qt::Key_Q})
            QTest::keyClick(Target, Key, Qt::AltModifier);
    EXPECT_EQ(Child<THistoryBox>(Dialog, "file1")->currentText() + Lines(Report).join(""),
              "/tmp/a.txt");
    const QSize Design = Dialog->size();
    Dialog->resize(200, 100);
    QApplication::processEvents();
    EXPECT_EQ(Dialog->size(), Design);

    std::vector<QStringList> Groups;
    for (const char *Menu : {"MainMenu1", "File1", "Edit1", "Help1"}) {
        Groups.emplace_back();
        for (const QAction *Action : Child<QWidget>(Report, Menu)->actions())
            if (!Action->isSeparator())
                Groups.back() << Action->text();
        EXPECT_FALSE(AccessKeys(Groups.back()).contains("")) << Menu;
    }
    for (const QWidget *Window :
         std::initializer_list<const QWidget *>{Dialog, Report->CompareWizard(), &Save, &Load}) {
        // The window's own buttons and labelled boxes; the wizard's Next
        // becomes Finish.
        Groups.push_back({Window == Report->CompareWizard() ? "&Finish" : ""});
        for (const QAbstractButton *Button : Window->findChildren<QAbstractButton *>())
            if (Button->window() == Window)
                Groups.back() << Button->text();
        for (const QLabel *Label : Window->findChildren<QLabel *>())
            if (Label->window() == Window && Label->buddy() != nullptr)
                Groups.back() << Label->text();
    }
    for (const QStringList &Texts : Groups) {
        QStringList Keys = AccessKeys(Texts);
        Keys.removeAll("");
        EXPECT_EQ(QSet<QString>(Keys.begin(), Keys.end()).size(), Keys.size())
            << Texts.join(", ").toStdString();
    }
}

// Help opens at the dialog's section; Esc and Ctrl+W close it.
TEST_F(DesktopTest, HelpOpensAtTheDialogsSectionAndClosesByKey) {
    auto Report = OpenReport();
    TCompareDialog *Window = Report->CompareDialog();
    Window->show();
    SetHelpProgramFolder(QStringLiteral(TARNWELL_BIN_DIR));
    Child<QPushButton>(Window, "helpButton")->click();
    THelpViewer *Help = HelpViewer();
    ASSERT_TRUE(Help != nullptr && Help->isVisible());
    EXPECT_GT(Help->Browser->verticalScrollBar()->value(), 0);
    for (const QKeySequence &Close : {QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W")}) {
        Help->show();
        QApplication::setActiveWindow(Help);
        QTest::keySequence(Help->Browser, Close);
        EXPECT_FALSE(Help->isVisible()) << Close.toString().toStdString();
    }
}

// The Edit menu's commands and their keys; Cut and Copy follow the selection.
TEST_F(DesktopTest, EditMenuUndoesRedoesAndSelectsAll) {
    auto Report = OpenReport();
    auto *Field = Child<QPlainTextEdit>(Report, "resultField");
    auto *Cut = Child<QAction>(Report, "Cut1"), *Copy = Child<QAction>(Report, "Copy1");
    QTest::keyClicks(Field, "abc");
    EXPECT_FALSE(Cut->isEnabled() || Copy->isEnabled());
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Field->toPlainText(), "");
    Child<QAction>(Report, "Redo1")->trigger();
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "Undo1")->trigger();
    QTest::keyClick(Field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Field->toPlainText(), "abc");
    Child<QAction>(Report, "SelectAll1")->trigger();
    EXPECT_EQ(Field->textCursor().selectedText(), "abc");
    EXPECT_TRUE(Cut->isEnabled() && Copy->isEnabled());
    Cut->trigger();
    EXPECT_FALSE(Cut->isEnabled() || Copy->isEnabled());
}

// Every browse button opens in the folder its box names, offering the
// file's name, and at home when the box names no folder that exists; the
// cursor returns to the box, so Enter is then OK (or Next). The
// dialog's boxes commit their text to the history first. Cancelled, the box
// keeps its text; accepted, it takes the chosen file.
TEST_F(DesktopTest, BrowseOpensInTheBoxsFolderAndTakesTheChosenFile) {
    const QString Chosen = WriteLines("deep/chosen.txt", {"x"}),
                  Other = WriteLines("deep/b.txt", {});
    auto Report = OpenReport();
    const std::tuple<QWidget *, const char *, const char *> Boxes[] = {
        {Report->CompareDialog(), "file1", "browse1Button"},
        {Report->CompareDialog(), "file2", "browse2Button"},
        {Report->CompareWizard(), "firstFile", "BtnBrowse"},
        {Report->CompareWizard(), "secondFile", "Button1"}};
    for (const auto &[Window, BoxName, Button] : Boxes)
        for (const QString &Text : {Other, Folder + "/missing/b.txt"}) {
            SCOPED_TRACE(std::string(Button) + " " + Text.toStdString());
            const bool Accept = Text != Other;
            auto *Box = qobject_cast<QComboBox *>(Child<QWidget>(Window, BoxName));
            auto *Edit =
                Box ? Box->lineEdit() : qobject_cast<QLineEdit *>(Child<QWidget>(Window, BoxName));
            Edit->setText(Text);
            // As reached with Tab: afterwards the cursor is back in the box.
            Window->show();
            Child<QPushButton>(Window, Button)->setFocus();
            Answer<QFileDialog>([&](QFileDialog *Open) {
                EXPECT_EQ(Open->directory().absolutePath(),
                          Accept ? QDir::homePath() : Path("deep"));
                EXPECT_EQ(Open->findChild<QLineEdit *>("fileNameEdit")->text(), "b.txt");
                Open->selectFile(Chosen);
                return int(Accept ? QDialog::Accepted : QDialog::Rejected);
            });
            Child<QPushButton>(Window, Button)->click();
            EXPECT_EQ(Edit->text(), Accept ? Chosen : Text);
            EXPECT_EQ(FocusName(Window), BoxName);
            EXPECT_TRUE(Box == nullptr || Box->itemText(0) == Text) << "committed first";
        }
}

// The program's whole run, restarted on the same settings. A damaged hive
// is told once at start, and the program goes on with fresh settings. Ended
// from outside (SIGTERM, as a logout or kill sends it) with the report up,
// or while a start-up box waits for the user, the windows close and the
// program ends through the normal save instead of being killed. A
// configuration name in UTF-8 is kept under that name, which the title
// shows; any other could never be loaded back, and is refused with a box for
// the default one.
TEST_F(CompareReportTest, RunsEndThroughTheNormalSave) {
    WriteBytes("config/tarnwell/registry.sqlite3",
               QByteArray("this is not a database at all, just some text ").repeated(200));
    const auto EndFromOutside = [](QDialog *Window) {
        QTimer::singleShot(0, [] { std::raise(SIGTERM); });
        return Window->exec();
    };
    const std::string Name = "/x/Gr\xC3\xBC\xC3\x9F";
    Answer<TCompareReport>([&](TCompareReport *Report) {
        EXPECT_EQ(Report->IniFile->KeyPath(), std::string(OthersKey) + "\\Gr\xC3\xBC\xC3\x9F");
        const auto [First, Second] = WorkedExampleFiles();
        Report->RunComparison(true, First, Second, true, false, false);
        EXPECT_EQ(Report->windowTitle(),
                  QString::fromUtf8("Compare Report [Gr\xC3\xBC\xC3\x9F] - old/ : new/"));
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
