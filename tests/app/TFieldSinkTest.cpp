#include "TFieldSink.h"

#include "Compare.h"
#include "ReportText.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <random>

namespace {

// Keeps the lines the engine appends, as the engine gives them.
class TRecordingSink : public TReportSink {
public:
    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind) override {
        Lines.push_back(std::string(Prefix) + std::string(Text));
    }
    void Clear() override { Lines.clear(); }
    void SetStatus(std::string_view) override {}
    void ProcessMessages(std::size_t, std::size_t) override {}
    std::vector<std::string> Lines;
};

QStringList Decoded(const std::vector<std::string> &Lines) {
    QStringList shown;
    for (const std::string &line : Lines) {
        QString text;
        AppendReportText(text, line);
        shown << text;
    }
    return shown;
}

QStringList FieldLines(const QPlainTextEdit &Field) {
    if (Field.document()->isEmpty())
        return {};
    return Field.toPlainText().split(QLatin1Char('\n'));
}

std::string WriteFile(const std::string &Name, const std::vector<std::string> &Lines) {
    const std::string path = std::string(std::getenv("HOME")) + "/" + Name;
    std::ofstream out(path, std::ios::binary);
    for (const std::string &line : Lines)
        out << line << '\n';
    return path;
}

// Two related files: the second drops, changes and inserts lines of the
// first; a few lines are Latin-1 rather than UTF-8.
std::pair<std::string, std::string> RelatedFiles(const std::string &Stem, int Count) {
    std::mt19937 random(20240611);
    std::vector<std::string> first, second;
    for (int i = 0; i < Count; ++i) {
        std::string line =
            "line " + std::to_string(i) + (i % 97 == 0 ? " caf\xE9" : " \xC3\xA9t\xC3\xA9");
        first.push_back(line);
        const unsigned roll = random() % 100;
        if (roll < 3)
            continue;
        if (roll < 6)
            line += " changed";
        second.push_back(line);
        if (roll == 99)
            second.push_back("inserted " + std::to_string(i));
    }
    return {WriteFile(Stem + "-a.txt", first), WriteFile(Stem + "-b.txt", second)};
}

class FieldSinkTest : public ::testing::Test {
protected:
    QPlainTextEdit Field;
    QStatusBar Status;
    TFieldSink Sink{&Field, &Status};
};

TEST_F(FieldSinkTest, WholeRunShowsExactlyTheEngineReport) {
    const auto [a, b] = RelatedFiles("whole", 20000);
    TRecordingSink expected;
    RunComparison(expected, true, a, b, true, false, false);
    ASSERT_GT(expected.Lines.size(), 20000u);

    Field.setPlainText(QStringLiteral("old text"));
    Sink.BeginRun();
    RunComparison(Sink, true, a, b, true, false, false);
    EXPECT_EQ(FieldLines(Field), Decoded(expected.Lines));
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done"));
}

TEST_F(FieldSinkTest, AppendedRunOnEmptyReportStartsWithTheSeparator) {
    const auto [a, b] = RelatedFiles("append", 50);
    TRecordingSink expected;
    RunComparison(expected, true, a, b, true, true, false);

    Sink.BeginRun();
    RunComparison(Sink, false, a, b, true, true, false);
    QStringList want = {QString(), QString::fromLatin1(SeparatorLine), QString()};
    want += Decoded(expected.Lines);
    EXPECT_EQ(FieldLines(Field), want);

    // A second appended run parts from the first by the same three lines.
    Sink.BeginRun();
    RunComparison(Sink, false, a, b, true, true, false);
    EXPECT_EQ(FieldLines(Field), want + want);
}

TEST_F(FieldSinkTest, DeliveryShowsEveryLineAppendedSoFar) {
    Sink.BeginRun();
    for (const char *text : {"one", "two", "three"})
        Sink.AppendLine("   ", text, TLineKind::Common);
    QStringList seen;
    QString status;
    QTimer::singleShot(0, [&] {
        seen = FieldLines(Field);
        status = Status.currentMessage();
    });
    Sink.ProcessMessages(25, 100);
    EXPECT_EQ(seen, QStringList({"   one", "   two", "   three"}));
    EXPECT_TRUE(status.contains(QStringLiteral("25%"))) << status.toStdString();
}

TEST_F(FieldSinkTest, ClearDropsBufferedLines) {
    Sink.AppendLine("a  ", "lost", TLineKind::OnlyInFirst);
    Sink.Clear();
    Sink.AppendLine("b  ", "kept", TLineKind::OnlyInSecond);
    Sink.SetStatus(StatusAllDone);
    EXPECT_EQ(FieldLines(Field), QStringList({"b  kept"}));
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done"));
}

TEST_F(FieldSinkTest, LinesFollowWhatTheUserTyped) {
    Field.setPlainText(QStringLiteral("typed\nby hand"));
    Sink.AppendLine("x  ", "new", TLineKind::OnlyInFirst);
    Sink.Flush();
    EXPECT_EQ(FieldLines(Field), QStringList({"typed", "by hand", "x  new"}));
}

// A run started from a command during a delivery runs to its end first;
// the interrupted walk then goes on appending after it.
TEST_F(FieldSinkTest, NestedRunLandsBetweenTheOuterRunsLines) {
    const auto [a, b] = RelatedFiles("outer", 300);
    const auto [c, d] = RelatedFiles("inner", 40);
    TRecordingSink outer, inner;
    RunComparison(outer, true, a, b, true, false, false);
    RunComparison(inner, true, c, d, true, false, false);

    bool nested = false;
    QTimer::singleShot(0, [&, c = c, d = d] {
        nested = true;
        Sink.BeginRun();
        RunComparison(Sink, false, c, d, true, false, false);
    });
    Sink.BeginRun();
    RunComparison(Sink, true, a, b, true, false, false);
    ASSERT_TRUE(nested);
    // The first delivery comes before the outer walk's first step.
    QStringList want = {QString(), QString::fromLatin1(SeparatorLine), QString()};
    want += Decoded(inner.Lines);
    want += Decoded(outer.Lines);
    EXPECT_EQ(FieldLines(Field), want);
}

} // namespace
