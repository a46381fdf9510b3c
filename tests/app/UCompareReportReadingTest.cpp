#include "AppTestSupport.h"
#include "SettingsRootKey.h"
#include "TDifferenceMap.h"
#include "TLineGutter.h"
#include "TRegIniFile.h"
#include "TReportField.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UGoToLine.h"
#include "UiChild.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>

namespace {

using TReport = std::unique_ptr<TCompareReport>;

// The report window with the golden case "changed-words" compared in it;
// with OnlyDifferences, its common lines left out.
class ReadingTest : public AppTest {
protected:
    TReport ChangedWords(bool OnlyDifferences = false) {
        auto report = OpenReport();
        const QString data = QStringLiteral(TARNWELL_TEST_DATA "/changed-words/");
        report->RunComparison(true, data + "a.txt", data + "b.txt", true, OnlyDifferences, false);
        return report;
    }
    // The line and column where the selection starts, and what it holds.
    static std::tuple<int, int, QString> Selection(const TReport &Report) {
        const QTextCursor cursor = Child<QPlainTextEdit>(Report, "resultField")->textCursor();
        QTextCursor start(cursor.document());
        start.setPosition(cursor.selectionStart());
        return {start.blockNumber(), start.positionInBlock(), cursor.selectedText()};
    }
};

// Ctrl+F opens the bar with the focus in its box; typing selects the first
// match from where the cursor stood, Enter and Shift+Enter step, a search
// past the end wraps and says so, one that finds nothing tints the box;
// Esc closes the bar, the report takes the focus and keeps the match; F3
// repeats the search with the bar closed.
TEST_F(ReadingTest, TheFindBarSearchesAsYouTypeAndStepsAndWraps) {
    auto report = ChangedWords(); // the cursor on line 1, the first difference
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    auto *bar = Child<QWidget>(report, "findBar");
    auto *box = Child<QLineEdit>(report, "findText");
    QTest::keyClick(report.get(), Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box);
    EXPECT_LE(bar->geometry().bottom(), Child<QStatusBar>(report, "StatusBar1")->y());
    EXPECT_LE(field->geometry().bottom(), bar->y());
    using S = std::tuple<int, int, QString>;
    QTest::keyClicks(box, QStringLiteral("count"));
    EXPECT_EQ(Selection(report), S(1, 28, "count"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Selection(report), S(4, 28, "count"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Selection(report), S(6, 23, "count"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Selection(report), S(1, 28, "count"));
    EXPECT_EQ(Status(report), "Search wrapped");
    QTest::keyClick(box, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(Selection(report), S(6, 23, "count"));
    EXPECT_EQ(Status(report), "Search wrapped");

    const QColor plain = box->palette().color(QPalette::Base);
    QTest::keyClicks(box, QStringLiteral("zz"));
    EXPECT_EQ(Status(report), "Not found: countzz");
    EXPECT_NE(box->palette().color(QPalette::Base), plain);
    EXPECT_EQ(Selection(report), S(6, 23, "count"));
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->palette().color(QPalette::Base), plain);
    // Typing searches on from the match Enter went to.
    EXPECT_EQ(Selection(report), S(6, 23, "count"));

    QTest::keyClick(box, Qt::Key_Escape);
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(report->isVisible()) << "Esc must not close the window";
    EXPECT_EQ(QApplication::focusWidget(), field);
    EXPECT_EQ(Selection(report), S(6, 23, "count"));
    QTest::keyClick(field, Qt::Key_F3);
    EXPECT_EQ(Selection(report), S(1, 28, "count"));
    QTest::keyClick(field, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Selection(report), S(6, 23, "count"));

    // Match case: the box takes the selected text when the bar opens.
    Child<QCheckBox>(report, "matchCase")->setChecked(true);
    QTest::keyClick(field, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(box->text(), "count");
    box->clear();
    QTest::keyClicks(box, QStringLiteral("Count"));
    EXPECT_EQ(Status(report), "Not found: Count");
}

// What Go to Line's number counts is the window's choice, kept with the
// other options; OK waits for a number of 1 or more.
TEST_F(ReadingTest, GoToLineGoesToTheLineOfTheChosenFile) {
    auto report = ChangedWords(true); // common lines, 1, 5, 7 and 9 of a.txt, left out
    const auto go = [&](const QString &Number, const char *Choice, bool Expected) {
        Answer<TGoToLine>([=](TGoToLine *Window) {
            auto *box = Child<QLineEdit>(Window, "lineNumber");
            auto *ok = Child<QPushButton>(Window, "OKButton");
            for (const QString bad : {"", "0", "-3", "abc", "1.5", " "}) {
                box->setText(bad);
                EXPECT_FALSE(ok->isEnabled()) << bad.toStdString();
            }
            EXPECT_EQ(Child<QRadioButton>(Window, Choice)->isChecked(), Expected) << Choice;
            Child<QRadioButton>(Window, Choice)->setChecked(true);
            box->setText(Number);
            EXPECT_TRUE(ok->isEnabled());
            Window->show();
            ok->click();
            return Window->result();
        });
        QTest::keyClick(report.get(), Qt::Key_G, Qt::ControlModifier);
        return std::pair(Child<QPlainTextEdit>(report, "resultField")->textCursor().blockNumber(),
                         Status(report));
    };
    using P = std::pair<int, QString>;
    EXPECT_EQ(go("6", "firstFileLine", false), P(6, ""));
    EXPECT_EQ(go("5", "firstFileLine", true), P(6, "Line 5 of a.txt is not in this report"));
    EXPECT_EQ(go("99", "secondFileLine", false),
              P(14, "Line 99 of b.txt is past the last in this report, line 12"));
    EXPECT_EQ(go("2", "reportLine", false), P(1, ""));
    EXPECT_EQ(go("99999999999999999999999", "reportLine", true),
              P(14, "The report has only 15 lines"));
    EXPECT_EQ(go("2", "secondFileLine", false), P(3, ""));
    // Cancel goes nowhere and keeps the choice.
    Answer<TGoToLine>([](TGoToLine *Window) {
        Child<QRadioButton>(Window, "reportLine")->setChecked(true);
        return int(mrCancel);
    });
    QTest::keyClick(report.get(), Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Child<QPlainTextEdit>(report, "resultField")->textCursor().blockNumber(), 3);
    report->SaveToIniFile();
    EXPECT_EQ(TRegIniFile(DefaultRootKey).ReadString("Compare\\Report", "GoToLine", ""), "2");
}

// The View menu shows and hides the gutter and the map (both on at first);
// the text takes the room. Stored: StoredValuesTest.
TEST_F(ReadingTest, TheViewMenuShowsTheGutterAndTheMap) {
    auto report = ChangedWords();
    auto *field = Child<TReportField>(report, "resultField");
    EXPECT_TRUE(field->Gutter()->isVisible() && field->Map()->isVisible());
    const int width = field->viewport()->width();
    QTest::keyClick(report.get(), Qt::Key_F11);
    EXPECT_FALSE(field->Gutter()->isVisible());
    EXPECT_GT(field->viewport()->width(), width);
    Child<QAction>(report, "DifferenceMap1")->trigger();
    EXPECT_FALSE(field->Map()->isVisible());
}

// The map draws where the differences are, and a click there brings that
// part of a long report into view.
TEST_F(ReadingTest, TheMapShowsTheDifferencesAndAClickGoesThere) {
    QStringList a, b;
    for (int k = 0; k < 3000; ++k)
        a << QStringLiteral("line %1").arg(k);
    b = a;
    b[2500] = QStringLiteral("changed");
    auto report = OpenReport();
    report->RunComparison(true, WriteLines("a.txt", a), WriteLines("b.txt", b), true, false, false);
    auto *field = Child<TReportField>(report, "resultField");
    TDifferenceMap *map = field->Map();
    const std::vector<std::uint8_t> rows = map->Rows();
    ASSERT_EQ(int(rows.size()), map->height());
    // Lines 2500 and 2501, one of each kind, on a row or two of their own.
    int kinds = 0, row = -1;
    for (int y = 0; y < int(rows.size()); ++y) {
        if (rows[std::size_t(y)] == 0)
            continue;
        kinds |= rows[std::size_t(y)];
        row = row < 0 ? y : row;
        EXPECT_NEAR(map->BlockAt(y), 2500, 3001 / map->height() + 2);
    }
    EXPECT_EQ(kinds, 3);
    field->verticalScrollBar()->setValue(0);
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(5, row));
    const int first = field->FirstVisibleBlock().blockNumber();
    EXPECT_LE(first, 2500);
    EXPECT_GT(first + field->VisibleLines(), 2500);
}

} // namespace
