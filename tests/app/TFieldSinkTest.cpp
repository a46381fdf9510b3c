#include "TFieldSink.h"

#include "AppTestSupport.h"
#include "Compare.h"
#include "ReportText.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <random>

namespace {

// Keeps the lines the engine appends, decoded as the window shows them.
class TRecordingSink : public TReportSink {
public:
    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind) override {
        QString line;
        AppendReportText(line, Prefix);
        AppendReportText(line, Text);
        Lines << line;
    }
    void Clear() override { Lines.clear(); }
    void SetStatus(std::string_view) override {}
    void ProcessMessages(std::size_t, std::size_t) override {}
    QStringList Lines;
};

class FieldSinkTest : public AppTest {
protected:
    // Two related files: the second drops, changes and inserts lines of the
    // first; some lines are Latin-1 rather than UTF-8. Returns the engine's
    // report of them and their names.
    QStringList Related(const QString &Stem, int Count, std::string &A, std::string &B) {
        std::mt19937 random(20240611);
        QByteArray first, second;
        for (int i = 0; i < Count; ++i) {
            QByteArray line =
                "line " + QByteArray::number(i) + (i % 97 ? " \xC3\xA9t\xC3\xA9" : " caf\xE9");
            first += line + '\n';
            const unsigned roll = random() % 100;
            if (roll >= 3)
                second += line + (roll < 6 ? " changed\n" : "\n");
            if (roll == 99)
                second += "inserted " + QByteArray::number(i) + '\n';
        }
        A = QFile::encodeName(WriteBytes(Stem + QStringLiteral("-a.txt"), first)).toStdString();
        B = QFile::encodeName(WriteBytes(Stem + QStringLiteral("-b.txt"), second)).toStdString();
        TRecordingSink report;
        RunComparison({true, A, B, true, false, false}, report);
        return report.Lines;
    }
    QPlainTextEdit Field;
    QStatusBar Status;
    TFieldSink Sink{&Field, &Status};
};

TEST_F(FieldSinkTest, WholeRunShowsExactlyTheEngineReport) {
    std::string a, b;
    const QStringList expected = Related(QStringLiteral("whole"), 20000, a, b);
    ASSERT_GT(expected.size(), 20000);
    Field.setPlainText(QStringLiteral("old text"));
    Sink.BeginRun();
    RunComparison({true, a, b, true, false, false}, Sink);
    EXPECT_EQ(ReportLines(&Field), expected);
    EXPECT_TRUE(Status.currentMessage().startsWith(QStringLiteral("All Done: ")));
}

TEST_F(FieldSinkTest, DeliveryShowsEveryLineAppendedSoFar) {
    Sink.BeginRun();
    for (const char *text : {"one", "two", "three"})
        Sink.AppendLine("   ", text, TLineKind::Common);
    QStringList seen;
    QString status;
    QTimer::singleShot(0, [&] {
        seen = ReportLines(&Field);
        status = Status.currentMessage();
    });
    Sink.ProcessMessages(25, 100);
    EXPECT_EQ(seen, QStringList({"   one", "   two", "   three"}));
    EXPECT_TRUE(status.contains(QStringLiteral("25%"))) << status.toStdString();
}

TEST_F(FieldSinkTest, ClearDropsBufferedLinesAndLinesFollowTypedText) {
    Sink.AppendLine("a  ", "lost", TLineKind::OnlyInFirst);
    Sink.Clear();
    Sink.AppendLine("b  ", "kept", TLineKind::OnlyInSecond);
    Sink.SetStatus(StatusAllDone);
    EXPECT_EQ(ReportLines(&Field), QStringList({"b  kept"}));

    Field.setPlainText(QStringLiteral("typed\nby hand"));
    Sink.AppendLine("x  ", "new", TLineKind::OnlyInFirst);
    Sink.Flush();
    EXPECT_EQ(ReportLines(&Field), QStringList({"typed", "by hand", "x  new"}));
}

// A run started from a command during a delivery runs to its end first;
// the interrupted walk then goes on appending after it.
TEST_F(FieldSinkTest, NestedRunLandsBetweenTheOuterRunsLines) {
    std::string a, b, c, d;
    const QStringList outer = Related(QStringLiteral("outer"), 300, a, b);
    const QStringList inner = Related(QStringLiteral("inner"), 40, c, d);
    bool nested = false;
    QTimer::singleShot(0, [&] {
        nested = true;
        Sink.BeginRun();
        RunComparison({false, c, d, true, false, false}, Sink);
    });
    Sink.BeginRun();
    RunComparison({true, a, b, true, false, false}, Sink);
    ASSERT_TRUE(nested);
    // The first delivery comes before the outer walk's first step, on an
    // empty report: the inner run starts with the separator.
    EXPECT_EQ(ReportLines(&Field), QStringList({"", SeparatorLine.data(), ""}) + inner + outer);
}

} // namespace
