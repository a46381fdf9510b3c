#include "AppTestSupport.h"
#include "TFieldSink.h"

#include <QPlainTextEdit>
#include <QStatusBar>

namespace {

class FieldSinkCutTest : public AppTest {
protected:
    QPlainTextEdit Field;
    QStatusBar Status;
    TFieldSink Sink{&Field, &Status};
};

QString Cut(qsizetype Count) {
    return QStringLiteral(" [\u2026 %1 more characters cut]").arg(Count);
}

// The window shows at most 100,000 characters of a line, prefix included,
// counted as decoded: a UTF-8 sequence is one, and so is a byte of a line
// that is not UTF-8.
TEST_F(FieldSinkCutTest, LongLinesAreCutAtTheLimitAndSayHowMuchWentMissing) {
    const std::string e = "\xC3\xA9";
    std::string utf8;
    for (int i = 0; i < 150000; ++i)
        utf8 += e;
    const std::string emoji = "\xF0\x9F\x98\x80"; // one character, two UTF-16 units
    std::string astral;
    for (int i = 0; i < 100003; ++i)
        astral += emoji;
    // Not UTF-8 as a whole: every byte is a character of its own.
    QString latin1 = QStringLiteral("b  \u00FF");
    while (latin1.size() < 100000)
        latin1 += latin1.size() % 2 ? QChar(0xA9) : QChar(0xC3);
    struct TCase {
        std::string Prefix, Text;
        QString Shown;
    };
    const TCase cases[] = {
        {"a  ", std::string(99997, 'x'), "a  " + QString(99997, 'x')},
        {"a  ", std::string(99998, 'x'), "a  " + QString(99997, 'x') + Cut(1)},
        {"   ", std::string(10000000, 'y'), "   " + QString(99997, 'y') + Cut(9900003)},
        {"b  ", utf8, "b  " + QString(99997, QChar(0xE9)) + Cut(50003)},
        {"b  ", "\xFF" + utf8, latin1 + Cut(200004)},
        {"", astral, QString::fromUtf8(astral.substr(0, 400000)) + Cut(3)},
    };
    Sink.BeginRun();
    QStringList expected;
    for (const TCase &c : cases) {
        Sink.AppendLine(c.Prefix, c.Text, TLineKind::Common);
        expected << c.Shown;
    }
    Sink.SetStatus("All Done");
    EXPECT_EQ(ReportLines(&Field), expected);
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done \u2014 5 long lines cut"));

    // The count belongs to one run.
    Sink.BeginRun();
    Sink.AppendLine("a  ", std::string(100000, 'z'), TLineKind::Common);
    Sink.SetStatus("All Done");
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done \u2014 1 long line cut"));
    Sink.BeginRun();
    Sink.SetStatus("All Done");
    EXPECT_EQ(Status.currentMessage(), QStringLiteral("All Done"));
}

} // namespace
