#include "AppMain.h"
#include "AppTestSupport.h"
#include "CommandLine.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

namespace {

class StartupTest : public AppTest {
protected:
    // Runs the program with Arguments; Look sees the report window once the
    // start-up's own action (a run, the dialog answered by Then) is over.
    void Start(
        const std::vector<std::string> &Arguments, std::function<void(TCompareReport *)> Look,
        std::function<void()> Then = [] {}) {
        Answer<TCompareReport>([Look](TCompareReport *Report) {
            Report->show();
            QTest::qWait(50);
            Look(Report);
            return int(mrCancel);
        });
        Then();
        EXPECT_EQ(RunApplication(Arguments), 0);
    }
    static void Drop(QWidget *Target, QMimeData *Data) {
        // The drop goes where the drag's entry was taken.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &enter);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, Data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(Target, &drop);
        QApplication::processEvents();
        delete Data;
    }
    static QMimeData *Files(const QStringList &Names) {
        auto *data = new QMimeData;
        QList<QUrl> urls;
        for (const QString &name : Names)
            urls << QUrl::fromLocalFile(name);
        data->setUrls(urls);
        return data;
    }
};

TEST_F(StartupTest, ConfigurationIsTheFirstArgumentThatIsNoOption) {
    EXPECT_EQ(ParseCommandLine({"t", "work", "--compare", "a"}).Configuration, "work");
    const TCommandLine line = ParseCommandLine({"t", "--compare", "a", "b", "work"});
    EXPECT_EQ(line.Files, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(line.Configuration, "work");
    for (const auto &wrong : {std::vector<std::string>{"t", "--compare", "a", "--compare", "b"},
                              {"t", "--x"},
                              {"t", "a", "b"}})
        EXPECT_FALSE(ParseCommandLine(wrong).Error.empty()) << wrong[1];
    EXPECT_TRUE(ParseCommandLine({"t", "--x", "--help"}).Help);
    // The desktop entry's "--compare %F" with no file selected: a plain start.
    EXPECT_TRUE(ParseCommandLine({"t", "--compare"}).Error.empty());
}

TEST_F(StartupTest, CompareTwoFilesAtOnce) {
    const auto [first, second] = WorkedExampleFiles();
    Start({"tarnwell", "--compare", first.toStdString(), second.toStdString()},
          [&, first = first](TCompareReport *Report) {
              EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(Report, "resultField")),
                        WorkedExampleReport());
              EXPECT_TRUE(Child<QStatusBar>(Report, "StatusBar1")
                              ->currentMessage()
                              .startsWith(QStringLiteral("All Done")));
              EXPECT_EQ(Child<THistoryBox>(Report->CompareDialog(), "file1")->itemText(0), first);
          });
}

TEST_F(StartupTest, OneFileOpensTheDialogAndAMissingFileIsNamedAndComparesAsEmpty) {
    const QString only = WriteLines(QStringLiteral("only.txt"), {"x"});
    Start(
        {"tarnwell", "--compare", only.toStdString()}, [](TCompareReport *) {},
        [&] {
            Answer<TCompareDialog>([&](TCompareDialog *Dialog) {
                EXPECT_EQ(Child<THistoryBox>(Dialog, "file1")->currentText(), only);
                return int(mrCancel);
            });
        });
    Start({"tarnwell", "--compare", Path("missing.txt").toStdString(), only.toStdString()},
          [this](TCompareReport *Report) {
              EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(Report, "resultField")),
                        QStringList{QStringLiteral("only.txt      x")});
              const QStringList errors = TakeErrors();
              ASSERT_EQ(errors.size(), 1);
              EXPECT_TRUE(errors[0].contains(QStringLiteral("missing.txt")));
          });
}

TEST_F(StartupTest, DropsOfFilesFoldersAndText) {
    const auto [first, second] = WorkedExampleFiles();
    auto report = OpenReport();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    auto *status = Child<QStatusBar>(report, "StatusBar1");
    Drop(field, Files({Folder, first}));
    EXPECT_TRUE(status->currentMessage().contains(QStringLiteral("is a folder")));
    Drop(field, Files({first, second, first}));
    EXPECT_TRUE(status->currentMessage().startsWith(QStringLiteral("3 files")));
    EXPECT_TRUE(ReportLines(field).isEmpty());
    Drop(field->viewport(), Files({first, second}));
    EXPECT_EQ(ReportLines(field), WorkedExampleReport());

    auto *file2 = Child<THistoryBox>(report->CompareDialog(), "file2");
    Drop(file2->lineEdit(), Files({second}));
    EXPECT_EQ(file2->currentText(), second);
    Drop(file2, Files({Folder}));
    EXPECT_EQ(file2->currentText(), second);
    EXPECT_TRUE(status->currentMessage().contains(QStringLiteral("is a folder")));
    auto *secondFile = Child<QLineEdit>(report->CompareWizard(), "secondFile");
    Drop(secondFile, Files({first}));
    EXPECT_EQ(secondFile->text(), first);
}

TEST_F(StartupTest, CompareAgainReadsTheFilesAfreshWithTheCurrentOptions) {
    auto report = OpenReport();
    report->CompareAgain1Click();
    auto *status = Child<QStatusBar>(report, "StatusBar1");
    EXPECT_EQ(status->currentMessage(), QStringLiteral("No comparison to run again"));
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    const QString a = WriteLines(QStringLiteral("a.txt"), {"one", "two"});
    const QString b = WriteLines(QStringLiteral("b.txt"), {"one", "two"});
    report->RunOnFiles(a, b);
    WriteLines(QStringLiteral("b.txt"), {"ONE", "t wo"});
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_EQ(ReportLines(field).size(), 4);
    // Lines equal under the options are common and show the first file's text.
    Child<QCheckBox>(report->CompareDialog(), "ignoreCase")->setChecked(true);
    Child<QCheckBox>(report->CompareDialog(), "ignoreWhiteSpace")->setChecked(true);
    Child<QAction>(report, "CompareAgain1")->trigger();
    EXPECT_EQ(ReportLines(field), (QStringList{"        one", "        two"}));
}

} // namespace
