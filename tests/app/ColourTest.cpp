#include "AppTestSupport.h"
#include "ReportKinds.h"
#include "UCompareDialog.h"
#include "UCompareReport.h"
#include "UiChild.h"

#include <QApplication>
#include <QClipboard>
#include <QPrinter>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>

namespace {

using K = TLineKind;

class ColourTest : public AppTest {
protected:
    // a.txt against b.txt gives: common, first, second, second, common,
    // first; the second run, b.txt against a.txt: common, first, first,
    // second, common, second.
    std::unique_ptr<TCompareReport> SmallReport(bool Twice = false) {
        auto report = OpenReport();
        const QString a = WriteLines(QStringLiteral("a.txt"), {"same", "gone", "end", "last"});
        const QString b = WriteLines(QStringLiteral("b.txt"), {"same", "new", "newer", "end"});
        report->RunComparison(true, a, b, true, false, false);
        if (Twice) // a second run with other labels, behind the separator
            report->RunComparison(false, b, a, true, false, false);
        return report;
    }
    static std::vector<std::optional<K>> Kinds(const QPlainTextEdit *Field) {
        std::vector<std::optional<K>> kinds;
        for (QTextBlock block = Field->document()->begin(); block.isValid(); block = block.next())
            kinds.push_back(BlockKind(block));
        return kinds;
    }
    static QColor Tint(const QPlainTextEdit *Field, int Line) {
        return Field->document()->findBlockByNumber(Line).blockFormat().background().color();
    }
    QString Status(TCompareReport &Report) {
        return Child<QStatusBar>(&Report, "StatusBar1")->currentMessage();
    }
};

TEST_F(ColourTest, EachKindHasItsColourWhileTheTextStaysPlain) {
    auto report = SmallReport(true);
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    const std::vector<std::optional<K>> expected = {
        K::Common,      K::OnlyInFirst, K::OnlyInSecond, K::OnlyInSecond, K::Common,
        K::OnlyInFirst, K::Separator,   K::Separator,    K::Separator,    K::Common,
        K::OnlyInFirst, K::OnlyInFirst, K::OnlyInSecond, K::Common,       K::OnlyInSecond};
    EXPECT_EQ(Kinds(field), expected);
    const QColor base = field->palette().color(QPalette::Base);
    EXPECT_FALSE(
        field->document()->begin().blockFormat().hasProperty(QTextFormat::BackgroundBrush));
    EXPECT_NE(Tint(field, 1), base);
    EXPECT_NE(Tint(field, 2), base);
    EXPECT_NE(Tint(field, 1), Tint(field, 2));
    // The second run's labels are the other way round, and so are its colours.
    EXPECT_EQ(Tint(field, 10), Tint(field, 1));
    EXPECT_EQ(field->toPlainText().split('\n').value(10), QStringLiteral("b.txt   new"));

    const QString saved = Path(QStringLiteral("saved.txt"));
    report->SaveReport(saved);
    QFile file(saved);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), field->toPlainText() + QLatin1Char('\n'));
    field->selectAll();
    report->Copy1Click();
    EXPECT_EQ(QApplication::clipboard()->text(), field->toPlainText());

    // A line split off an only-in line stays one; one typed at the very top
    // of an emptied report has no kind.
    QTextCursor cursor(field->document()->findBlockByNumber(1));
    cursor.movePosition(QTextCursor::EndOfBlock);
    field->setTextCursor(cursor);
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClicks(field, QStringLiteral("typed"));
    EXPECT_EQ(BlockKind(field->document()->findBlockByNumber(2)), K::OnlyInFirst);
    report->New1Click();
    QTest::keyClicks(field, QStringLiteral("typed"));
    EXPECT_EQ(Kinds(field), std::vector<std::optional<K>>{std::nullopt});
}

TEST_F(ColourTest, DarkPaletteKeepsTheTextReadable) {
    QPalette dark;
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::Text, QColor(220, 220, 220));
    // A theme switched while the report is shown recolours it.
    auto report = SmallReport();
    report->setPalette(dark);
    QApplication::processEvents();
    auto *field = Child<QPlainTextEdit>(report, "resultField");
    for (const int line : {1, 2}) {
        EXPECT_GE(ContrastRatio(Tint(field, line), dark.color(QPalette::Text)), 7.0);
        // A tint, yet still a dark background.
        EXPECT_NE(Tint(field, line), dark.color(QPalette::Base));
        EXPECT_LT(ContrastRatio(Tint(field, line), dark.color(QPalette::Base)), 2.0);
    }
}

TEST_F(ColourTest, PrintedReportKeepsTheTints) {
    auto report = SmallReport();
    const QString pdf = Path(QStringLiteral("report.pdf"));
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    report->PrintReport(printer);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // The fill colours ("r g b scn") set in the page streams, which are
    // deflated: qUncompress wants a 4-byte size hint in front.
    QList<QColor> fills;
    for (qsizetype at = 0; (at = bytes.indexOf("stream", at)) >= 0;) {
        const qsizetype start = bytes.indexOf('\n', at) + 1,
                        end = bytes.indexOf("endstream", start);
        if (end < 0)
            break;
        const QByteArray data =
            qUncompress(QByteArray("\x00\x10\x00\x00", 4) + bytes.mid(start, end - start));
        const QRegularExpression fill(QStringLiteral("([0-9.]+) ([0-9.]+) ([0-9.]+) scn"));
        for (const auto &m : fill.globalMatch(QString::fromLatin1(data)))
            fills << QColor::fromRgbF(m.captured(1).toFloat(), m.captured(2).toFloat(),
                                      m.captured(3).toFloat());
        at = end + 9;
    }
    const TReportKinds kinds(Child<QPlainTextEdit>(report, "resultField")->palette());
    for (const K kind : {K::OnlyInFirst, K::OnlyInSecond}) {
        const QColor tint = kinds.BlockFormat(kind).background().color();
        const auto near = [&](const QColor &C) {
            return std::abs(C.red() - tint.red()) + std::abs(C.green() - tint.green()) +
                       std::abs(C.blue() - tint.blue()) <=
                   6;
        };
        EXPECT_TRUE(std::any_of(fills.begin(), fills.end(), near)) << tint.name().toStdString();
    }
}

TEST_F(ColourTest, NextAndPreviousDifference) {
    auto report = SmallReport(true); // runs start on lines 1, 5, 10 and 14
    auto *field = Child<QPlainTextEdit>(report, "resultField"); // a new report: cursor on top
    const auto go = [&](Qt::KeyboardModifiers Modifiers) {
        QTest::keyClick(field, Qt::Key_F8, Modifiers);
        return std::make_pair(field->textCursor().blockNumber(), Status(*report));
    };
    const auto at = [](int Line, const char *Said) {
        return std::make_pair(Line, QString::fromLatin1(Said));
    };
    EXPECT_EQ(go(Qt::NoModifier), at(1, "Difference 1 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), at(5, "Difference 2 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), at(10, "Difference 3 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), at(14, "Difference 4 of 4"));
    EXPECT_EQ(go(Qt::NoModifier), at(14, "No further difference"));
    EXPECT_EQ(go(Qt::ShiftModifier), at(10, "Difference 3 of 4"));
    field->moveCursor(QTextCursor::Down); // inside that run: back to its start
    EXPECT_EQ(go(Qt::ShiftModifier), at(10, "Difference 3 of 4"));
    field->moveCursor(QTextCursor::Start);
    EXPECT_EQ(go(Qt::ShiftModifier), at(0, "No earlier difference"));

    // Only differences, twice: the separator parts two runs, and a run on the
    // first line is the first one found from the top.
    const QString a = Path(QStringLiteral("a.txt")), b = Path(QStringLiteral("b.txt"));
    report->RunComparison(true, a, b, true, true, false);
    report->RunComparison(false, a, b, true, true, false);
    EXPECT_EQ(go(Qt::NoModifier), at(0, "Difference 1 of 2"));
    EXPECT_EQ(go(Qt::NoModifier), at(7, "Difference 2 of 2"));
    report->New1Click();
    EXPECT_EQ(go(Qt::NoModifier), at(0, "No differences in the report"));
}

} // namespace
