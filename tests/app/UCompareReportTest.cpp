#include "UCompareReport.h"
#include "AppTestSupport.h"
#include "Compare.h"
#include "UAbout.h"
#include "UCompareDialog.h"
#include "UCompareWizard.h"
#include "UiChild.h"

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QMenu>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace {

class CompareReportTest : public AppTest {
protected:
    // The dialog answered by a user who types two names and presses a button.
    void AnswerDialog(const QString &First, const QString &Second,
                      std::function<QPushButton *(TCompareDialog *)> Button) {
        Answer<TCompareDialog>([=](TCompareDialog *Dialog) {
            Child<THistoryBox>(Dialog, "file1")->setEditText(First);
            Child<THistoryBox>(Dialog, "file2")->setEditText(Second);
            Dialog->show();
            Button(Dialog)->click();
            return Dialog->result();
        });
    }
    void AnswerDialogOk(const QString &First, const QString &Second) {
        AnswerDialog(First, Second,
                     [](TCompareDialog *Dialog) { return Child<QPushButton>(Dialog, "OKButton"); });
    }
    // The wizard answered by a user who fills both pages and finishes.
    void AnswerWizard(const QString &First, const QString &Second) {
        Answer<TCompareWizard>([=](TCompareWizard *Wizard) {
            Wizard->show();
            Wizard->BtnNext->click();
            Child<QLineEdit>(Wizard, "firstFile")->setText(First);
            Wizard->BtnNext->click();
            Child<QLineEdit>(Wizard, "secondFile")->setText(Second);
            Wizard->BtnNext->click();
            Wizard->BtnNext->click();
            return Wizard->result();
        });
    }
    // Two files of Count lines that share none: every line is reported.
    std::pair<QString, QString> LongFiles(int Count) {
        QStringList a, b;
        for (int i = 0; i < Count; ++i) {
            a << QStringLiteral("left %1").arg(i);
            b << QStringLiteral("right %1").arg(i);
        }
        return {WriteLines(QStringLiteral("long-a.txt"), a),
                WriteLines(QStringLiteral("long-b.txt"), b)};
    }
};

TEST_F(CompareReportTest, FirstStart) {
    auto report = OpenReport();
    QApplication::processEvents();
    EXPECT_EQ(report->OuterGeometry(), QRect(157, 87, 435, 300));
    EXPECT_EQ(report->windowTitle(), QStringLiteral("Compare Report"));
    EXPECT_TRUE(ReportLines(Child<QPlainTextEdit>(report, "resultField")).isEmpty());
    EXPECT_TRUE(Child<QStatusBar>(report, "StatusBar1")->currentMessage().isEmpty());
    const QFont font = Child<QPlainTextEdit>(report, "resultField")->font();
    EXPECT_EQ(font.family(), QStringLiteral("Courier New"));
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_FALSE(font.bold());
    // Whatever face stands in, the report's columns line up.
    EXPECT_TRUE(QFontInfo(font).fixedPitch()) << QFontInfo(font).family().toStdString();
    // The font dialog offers the face that is actually shown.
    EXPECT_EQ(report->GetFontDialog()->currentFont().family(), QFontInfo(font).family());
    EXPECT_EQ(report->GetFontDialog()->currentFont().pointSize(), 10);
    // And its style: OK without a change must not make the report slanted.
    EXPECT_FALSE(report->GetFontDialog()->currentFont().italic());
    EXPECT_FALSE(report->GetFontDialog()->currentFont().bold());
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->currentText(),
              QStringLiteral("C:\\file1.txt"));
    TCompareDialog *dialog = report->CompareDialog();
    EXPECT_EQ(Child<THistoryBox>(dialog, "file2")->currentText(), QStringLiteral("C:\\file2.txt"));
    EXPECT_EQ(Child<THistoryBox>(dialog, "file1")->count() +
                  Child<THistoryBox>(dialog, "file2")->count(),
              0);
    EXPECT_EQ(Child<QTabWidget>(dialog, "notebook")->currentWidget(),
              Child<QWidget>(dialog, "FilesTab"));
    EXPECT_TRUE(Child<QCheckBox>(dialog, "clearReport")->isChecked());
    EXPECT_EQ(dialog->Position(), 4) << "designed centred";
    for (QCheckBox *box :
         {Child<QCheckBox>(dialog, "dontListCommon"), Child<QCheckBox>(dialog, "ignoreBigNumbers"),
          Child<QCheckBox>(dialog, "startWithDialog"), Child<QCheckBox>(dialog, "maintainReport")})
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(Child<QLineEdit>(report->CompareWizard(), "firstFile")->text(),
              QStringLiteral("C:\\"));
    EXPECT_TRUE(ShownWindows.empty()) << "no window opens by itself on the first start";
}

TEST_F(CompareReportTest, F5AndOkShowTheReportOfTheTwoFiles) {
    auto report = OpenReport();
    const auto [first, second] = WorkedExampleFiles();
    AnswerDialogOk(first, second);
    QTest::keyClick(report.get(), Qt::Key_F5);
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), WorkedExampleReport());
    EXPECT_TRUE(Child<QStatusBar>(report, "StatusBar1")->currentMessage().startsWith(QStringLiteral("All Done: ")));
    // Both names were committed to their histories.
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->itemText(0), first);
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file2")->itemText(0), second);
}

TEST_F(CompareReportTest, DialogOptionsReachTheRun) {
    auto report = OpenReport();
    const auto [first, second] = WorkedExampleFiles();
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    AnswerDialogOk(first, second);
    Child<QAction>(report, "Dialog1")->trigger();
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")),
              QStringList({"new/   zero", "old/   three", "new/   THREE", "new/   five"}));

    // Clear Report off: the next report follows the separator.
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(false);
    Child<QCheckBox>(report->CompareDialog(), "clearReport")->setChecked(false);
    const QStringList before = ReportLines(Child<QPlainTextEdit>(report, "resultField"));
    AnswerDialogOk(first, second);
    Child<QAction>(report, "Dialog1")->trigger();
    QStringList want = before;
    want << QString() << QString::fromLatin1(SeparatorLine) << QString();
    want += WorkedExampleReport();
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), want);
}

TEST_F(CompareReportTest, WizardRunIgnoresTheDialogsOptions) {
    auto report = OpenReport();
    const auto [first, second] = WorkedExampleFiles();
    Child<QCheckBox>(report->CompareDialog(), "dontListCommon")->setChecked(true);
    Child<QCheckBox>(report->CompareDialog(), "ignoreBigNumbers")->setChecked(true);
    Child<QCheckBox>(report->CompareDialog(), "clearReport")->setChecked(false);
    Child<QPlainTextEdit>(report, "resultField")->setPlainText(QStringLiteral("earlier report"));
    AnswerWizard(first, second);
    QTest::keyClick(report.get(), Qt::Key_F6);
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), WorkedExampleReport());
    EXPECT_TRUE(Child<QStatusBar>(report, "StatusBar1")->currentMessage().startsWith(QStringLiteral("All Done: ")));
}

TEST_F(CompareReportTest, WizardButtonOfTheDialogHandsOverToTheWizard) {
    auto report = OpenReport();
    const auto [first, second] = WorkedExampleFiles();
    AnswerDialog(QStringLiteral("not used a"), QStringLiteral("not used b"),
                 [](TCompareDialog *Dialog) { return Child<QPushButton>(Dialog, "WizardButton"); });
    AnswerWizard(first, second);
    Child<QAction>(report, "Dialog1")->trigger();
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), WorkedExampleReport());
    // The dialog's names were not taken through their histories.
    EXPECT_EQ(Child<THistoryBox>(report->CompareDialog(), "file1")->count(), 0);
}

TEST_F(CompareReportTest, DialogOpensByItselfOncePerRun) {
    {
        auto report = OpenReport();
        Child<QCheckBox>(report->CompareDialog(), "startWithDialog")->setChecked(true);
    } // saved at destruction
    Answer<TCompareDialog>([](TCompareDialog *) { return int(mrCancel); });
    auto report = OpenReport();
    QApplication::processEvents();
    EXPECT_EQ(PendingAnswers(), 0u) << "the dialog opened as the window was shown";
    report->hide();
    report->show();
    QApplication::processEvents();
    EXPECT_EQ(ShownWindows.size(), 1u);
}

TEST_F(CompareReportTest, StopEndsTheRunAndALaterRunIsWhole) {
    auto report = OpenReport();
    const auto [a, b] = LongFiles(50000);
    // The stop arrives at the first delivery of pending events.
    QTimer::singleShot(0, Child<QAction>(report, "Stop1"), &QAction::trigger);
    report->RunComparison(true, a, b, true, false, false);
    const int stopped = ReportLines(Child<QPlainTextEdit>(report, "resultField")).size();
    EXPECT_GE(stopped, 1) << "the step in progress completes";
    EXPECT_LT(stopped, 100000);
    EXPECT_EQ(Child<QStatusBar>(report, "StatusBar1")->currentMessage(),
              QStringLiteral("Stopped: the report is incomplete"));

    const auto [first, second] = WorkedExampleFiles();
    report->RunComparison(true, first, second, true, false, false);
    EXPECT_EQ(ReportLines(Child<QPlainTextEdit>(report, "resultField")), WorkedExampleReport());
}

TEST_F(CompareReportTest, ExitDuringARunStopsItAndEndsTheModalRun) {
    auto report = OpenReport();
    report->hide();
    const auto [a, b] = LongFiles(50000);
    RunForReal<TCompareReport>();
    AnswerDialogOk(a, b);
    QTimer::singleShot(0, report.get(), [&] {
        // Posted before the run starts: delivered at its first step.
        QTimer::singleShot(0, Child<QAction>(report, "Exit1"), &QAction::trigger);
        Child<QAction>(report, "Dialog1")->trigger();
    });
    EXPECT_EQ(ShowModal(report.get()), mrCancel);
    EXPECT_FALSE(report->isVisible());
    EXPECT_LT(ReportLines(Child<QPlainTextEdit>(report, "resultField")).size(), 100000);
    EXPECT_EQ(Child<QStatusBar>(report, "StatusBar1")->currentMessage(),
              QStringLiteral("Stopped: the report is incomplete"));
}

TEST_F(CompareReportTest, EscInTheReportTextDoesNotEndTheProgram) {
    auto report = OpenReport();
    report->hide();
    RunForReal<TCompareReport>();
    bool visibleAfterEsc = false;
    QTimer::singleShot(0, report.get(), [&] {
        QTest::keyClick(Child<QPlainTextEdit>(report, "resultField"), Qt::Key_Escape);
        visibleAfterEsc = report->isVisible();
        Child<QAction>(report, "Exit1")->trigger();
    });
    EXPECT_EQ(ShowModal(report.get()), mrCancel);
    EXPECT_TRUE(visibleAfterEsc);
}

TEST_F(CompareReportTest, AboutBoxIsBuiltAfreshForEveryOpening) {
    auto report = OpenReport();
    for (int i = 0; i < 2; ++i)
        Answer<TAbout>([](TAbout *About) {
            EXPECT_EQ(Child<QLabel>(About, "TarnwellNameLabel")->text(),
                      QStringLiteral("Compare Tarnwell"));
            EXPECT_EQ(Child<QLabel>(About, "versionLabel")->text(),
                      QStringLiteral("version: 1.01"));
            EXPECT_GE(Child<QLabel>(About, "versionLabel")->width(),
                      Child<QLabel>(About, "versionLabel")->sizeHint().width());
            EXPECT_FALSE(Child<QLabel>(About, "iconImage")->pixmap().isNull());
            EXPECT_EQ(About->pos(), QPoint(198, 104));
            // A box kept from the first opening would show this text the second time.
            Child<QLabel>(About, "versionLabel")->setText(QStringLiteral("changed"));
            About->show();
            Child<QPushButton>(About, "OK")->click();
            return About->result();
        });
    Child<QAction>(report, "About1")->trigger();
    Child<QAction>(report, "About1")->trigger();
}

} // namespace
