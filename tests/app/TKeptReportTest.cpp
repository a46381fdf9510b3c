#include "TKeptReport.h"

#include "Compare.h"
#include "Directories.h"
#include "ReportKinds.h"
#include "ReportTestSupport.h"
#include "TFieldSink.h"
#include "TKeptLines.h"
#include "TMyIniFile.h"
#include "TReportLines.h"
#include "TSearchText.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
const std::string Section = "Compare\\Report";

QString KeptFile(const QString &Name = QStringLiteral("1.txt")) {
    return QString::fromStdString(WindowsDirectory()) +
           QStringLiteral("/Brackwater Software/Tarnwells/Compare/Report/") + Name;
}

class KeptReportTest : public ::testing::Test {
protected:
    QPlainTextEdit Field;
    QStatusBar Status;
    TMyIniFile Store{Root};
    TKeptReport Kept{&Field, &Status};

    void SetUp() override {
        QFile::remove(KeptFile());
        Field.setPlainText(QStringLiteral("before"));
    }
};

// Many lines in UTF-8, each ended by End, or by each kind of line end in
// turn when End is empty: more than one piece.
std::pair<QByteArray, QStringList> ManyLines(const QByteArray &End = {}) {
    QByteArray bytes;
    QStringList lines;
    for (int i = 0; i < 60000; ++i) {
        const QByteArray line = "line \xC3\xBC " + QByteArray::number(i);
        const char *const mixed = i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n";
        bytes += line + (End.isEmpty() ? QByteArray(mixed) : End);
        lines << QString::fromUtf8(line);
    }
    return {bytes, lines};
}

// Whatever its line ends, a long kept text goes in a piece at a time.
TEST_F(KeptReportTest, ALongKeptReportGoesInAPieceAtATimeFromTheEventLoop) {
    for (const QByteArray end : {"", "\r", "\n", "\r\n"}) {
        SCOPED_TRACE(end.toHex().toStdString());
        const auto [bytes, lines] = ManyLines(end);
        Store.WriteRichEdit(Section, "1", &Field); // makes the folder
        WriteBytes(KeptFile().toStdString(), bytes.toStdString());
        EXPECT_EQ(Kept.Load(Store, Section, false), "");
        EXPECT_TRUE(Kept.Loading());
        EXPECT_EQ(Status.currentMessage(), "Loading the kept report...");
        const qsizetype first = ReportLines(&Field).size();
        EXPECT_GT(first, 0);
        EXPECT_LT(first, lines.size());
        EXPECT_FALSE(Field.document()->isUndoRedoEnabled()) << "no undo history while it fills";
        while (Kept.Loading())
            QCoreApplication::processEvents();
        EXPECT_EQ(ReportLines(&Field), lines);
        // A text kept without its lines' file (KeptLinesTest) comes back plain.
        EXPECT_EQ(Status.currentMessage(), "The kept report's colours could not be restored");
        EXPECT_TRUE(Field.document()->isUndoRedoEnabled());
    }
}

// The gutter takes the width of the whole kept report before its first
// piece is on screen.
TEST_F(KeptReportTest, TheNumberColumnsAreWideFromTheFirstPiece) {
    const QStringList lines = ManyLines().second;
    Field.setPlainText(lines.join('\n'));
    std::vector<TLineNumbers> numbers;
    for (qsizetype k = 0; k < lines.size(); ++k)
        numbers.push_back({std::size_t(k + 1), std::size_t(k % 7 + 1)});
    TReportLines::Of(Field.document()).SetNumbers(0, numbers);
    Kept.Save(Store, Section);

    QPlainTextEdit restored;
    TKeptReport kept(&restored, &Status);
    EXPECT_EQ(kept.Load(Store, Section, false), "");
    ASSERT_TRUE(kept.Loading());
    const TLineNumbers largest = TReportLines::Of(restored.document()).Largest();
    EXPECT_EQ(largest.First, std::size_t(lines.size()));
    EXPECT_EQ(largest.Second, 7u);
}

// What comes after the fill (the whole report taken, or emptied) is the
// report window's: UCompareReportRunsTest.
TEST_F(KeptReportTest, DropKeepsWhatIsInAndEndsTheFill) {
    Store.WriteRichEdit(Section, "1", &Field);
    WriteBytes(KeptFile().toStdString(), ManyLines().first.toStdString());
    EXPECT_EQ(Kept.Load(Store, Section, false), "");
    const QStringList shown = ReportLines(&Field);
    Kept.Drop();
    QCoreApplication::processEvents();
    EXPECT_FALSE(Kept.Loading());
    EXPECT_EQ(ReportLines(&Field), shown);
    EXPECT_EQ(Status.currentMessage(), "");
}

// A kept file that was skipped is left as it is at exit, until a run or the
// user's typing makes the report the one to keep.
TEST_F(KeptReportTest, ASkippedKeptFileIsLeftAsItIsUntilTheReportChanges) {
    Store.WriteRichEdit(Section, "1", &Field);
    const std::function<void()> changes[] = {[] {}, [this] { Field.insertPlainText(" typed"); },
                                             [this] { Kept.RunStarts(true); }};
    for (const auto &change : changes) {
        ASSERT_TRUE(QFile::resize(KeptFile(), (qint64(1) << 30) + 1)); // sparse: uses no disk
        EXPECT_NE(Kept.Load(Store, Section, false).find("larger than 1 GiB"), std::string::npos);
        change();
        Kept.Save(Store, Section);
        EXPECT_EQ(QFileInfo(KeptFile()).size() > 100, &change == &changes[0]);
    }
}

// Memory that runs out while a kept report goes in ends the fill where it
// is, says so, and leaves the kept file as it is; the program goes on. Run
// in a child process whose address space ends a little past what it uses.
TEST_F(KeptReportTest, MemoryThatRunsOutEndsTheFillAndLeavesTheKeptFile) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer reserves the address space it needs";
#endif
    QByteArray bytes;
    for (int i = 0; i < 1000000; ++i)
        bytes += "kept line " + QByteArray::number(i) + '\n';
    Store.WriteRichEdit(Section, "1", &Field);
    WriteBytes(KeptFile().toStdString(), bytes.toStdString());
    const pid_t child = fork();
    if (child == 0) {
        rlim_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = pages * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(120) << 20);
        const rlimit cut{limit, limit};
        setrlimit(RLIMIT_AS, &cut);
        (void)Kept.Load(Store, Section, false);
        while (Kept.Loading())
            QCoreApplication::processEvents();
        Kept.Save(Store, Section);
        _exit(Status.currentMessage() == "Not enough memory to show the whole kept report" &&
                      Field.document()->blockCount() > 1000
                  ? 0
                  : 1);
    }
    int status = -1;
    waitpid(child, &status, 0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadBytes(KeptFile()), bytes);
}

TEST_F(KeptReportTest, NoKeptFileLeavesTheReportAndASkippedOneSaysWhy) {
    EXPECT_EQ(Kept.Load(Store, Section, false), "");
    EXPECT_EQ(ReportLines(&Field), QStringList("before"));
    Store.WriteRichEdit(Section, "1", &Field);
    QFile::remove(KeptFile());
    ASSERT_TRUE(QDir().mkdir(KeptFile()));
    EXPECT_NE(Kept.Load(Store, Section, true).find("it is a folder"), std::string::npos);
    EXPECT_EQ(ReportLines(&Field), QStringList("before"));
    QDir().rmdir(KeptFile());
}

// Each line of Field as the window shows it: its text, kind, numbers and
// marked characters ("text|kind|first second|start+length...").
QStringList Shown(QPlainTextEdit &Field) {
    QStringList shown;
    const TReportLines &lines = TReportLines::Of(Field.document());
    for (QTextBlock block = Field.document()->begin(); block.isValid(); block = block.next()) {
        const auto kind = BlockKind(block);
        const auto numbers = lines.Numbers(block.blockNumber()).value_or(TLineNumbers{});
        QString line = block.text() + '|' + (kind ? QString::number(int(*kind)) : "-") + '|' +
                       QString::number(numbers.First) + ' ' + QString::number(numbers.Second);
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (IsMarked(it.fragment().charFormat()))
                line += QStringLiteral("|%1+%2")
                            .arg(it.fragment().position() - block.position())
                            .arg(it.fragment().length());
        shown << line;
    }
    return shown;
}

struct TRestartCase {
    const char *Name;
    std::function<void()> Damage; // done to the kept files before the start
    bool Restored = false;        // the lines come back as they were
};

class KeptLinesTest : public KeptReportTest, public testing::WithParamInterface<TRestartCase> {};

QString LinesFile() {
    return KeptFile(QStringLiteral("1.lines"));
}

void Rewrite(const QString &Name, const std::function<void(QByteArray &)> &Change) {
    QFile file(Name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    file.close();
    Change(bytes);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A report of two runs (the second behind the separator), kept at exit and
// restored at the next start: every line's kind, numbers and marked
// characters come back with the text, whatever the lines typed in; a kept
// text without its lines comes back plain, and the status bar says so.
// A search reads a restored report from the copy of its text handed in
// with it, never back from the control, unless colours taken off the text
// made it read back (Recoloured).
void ExpectSearchedAsShown(QPlainTextEdit &Field, bool Recoloured = false) {
    TSearchText &copy = TSearchText::Of(Field.document());
    if (!Recoloured) {
        EXPECT_EQ(copy.Unread(), 0);
    }
    const int end = Field.document()->characterCount() - 1;
    EXPECT_EQ(copy.Text(0, end).toString().replace(u'\n', QChar::ParagraphSeparator),
              Field.document()->toRawText().left(end));
}

TEST_P(KeptLinesTest, KindsNumbersAndMarksComeBackWithTheText) {
    QStatusBar runStatus;
    TFieldSink sink(&Field, &runStatus);
    const std::string data = TARNWELL_TEST_DATA "/changed-words/";
    sink.BeginRun();
    RunComparison({.FileName1 = data + "a.txt", .FileName2 = data + "b.txt"}, sink);
    RunComparison({.Clear = false, .FileName1 = data + "b.txt", .FileName2 = data + "a.txt"}, sink);
    QTextCursor(Field.document()->findBlockByNumber(3)).insertText(QStringLiteral("typed\n"));
    const QStringList before = Shown(Field);
    Kept.Save(Store, Section);
    GetParam().Damage();

    QPlainTextEdit restored;
    QStatusBar status;
    TKeptReport kept(&restored, &status);
    EXPECT_EQ(kept.Load(Store, Section, false), "");
    EXPECT_FALSE(kept.Loading()) << "a short text, checked and all in at once";
    // The text as kept, changed or not.
    QStringList expected = QString::fromUtf8(ReadBytes(KeptFile())).split('\n');
    expected.removeLast();
    EXPECT_EQ(ReportLines(&restored), expected);
    ExpectSearchedAsShown(restored);
    if (GetParam().Restored) {
        EXPECT_EQ(Shown(restored), before);
        EXPECT_EQ(status.currentMessage(), "");
        return;
    }
    for (QTextBlock block = restored.document()->begin(); block.isValid(); block = block.next())
        EXPECT_FALSE(BlockKind(block) ||
                     TReportLines::Of(restored.document()).Numbers(block.blockNumber()))
            << block.text().toStdString();
    EXPECT_EQ(status.currentMessage(), "The kept report's colours could not be restored");
}

const TRestartCase Restarts[] = {
    {"AsKept", [] {}, true},
    {"NoLinesFile", [] { QFile::remove(LinesFile()); }, false},
    {"TextChangedSinceSameSize", [] { Rewrite(KeptFile(), [](auto &Bytes) { Bytes[0] = 'X'; }); }},
    {"ALineMore", [] { Rewrite(KeptFile(), [](auto &Bytes) { Bytes += "more\n"; }); }},
    {"AHugeLineCount",
     [] {
         Rewrite(LinesFile(), [](auto &Bytes) {
             const qsizetype at = Bytes.indexOf(" 1 ") + 3;
             Bytes.insert(at, "999999999999");
         });
     }},
    {"LinesFileChangedWithin", [] {
         Rewrite(LinesFile(), [](auto &Bytes) {
             char &Digit = Bytes[Bytes.size() - 2];
             Digit = Digit == '1' ? '2' : '1';
         });
     }}};

INSTANTIATE_TEST_SUITE_P(Restarts, KeptLinesTest, testing::ValuesIn(Restarts),
                         [](const auto &Row) { return std::string(Row.param.Name); });

// The check of a kept text against its lines goes on where it stopped,
// part after part, to the same verdict as at once.
TEST_F(KeptReportTest, TheLinesAreCheckedAPartAtATime) {
    QStringList shown;
    for (int i = 0; i < 300; ++i)
        shown << QStringLiteral("line %1").arg(i);
    Field.setPlainText(shown.join('\n'));
    TReportLines::Of(Field.document()).SetNumbers(0, {{1, 1}, {2, 0}, {0, 2}});
    QByteArray text;
    const QByteArray lines = TKeptLines::Describe(&Field, text);
    for (const bool changed : {false, true}) {
        QByteArray checked = text;
        if (changed)
            checked[checked.size() - 3] ^= 1;
        std::optional<TKeptLines> kept = TKeptLines::Read(lines, checked.size());
        ASSERT_TRUE(kept);
        int calls = 1;
        std::optional<bool> verdict;
        while (!(verdict = kept->Check(checked, std::chrono::steady_clock::now(), 64)))
            ++calls;
        EXPECT_GT(calls, 10);
        EXPECT_EQ(*verdict, !changed);
    }
}

// A long report goes back in over several pieces and turns of the event
// loop: each line after a piece's end keeps its own kind, numbers and marks.
// Its first piece is on screen before the text is checked against its
// lines; when the check then fails (a change at the text's end), that
// piece loses its colours too, and the rest follows plain with no line lost
// or joined.
TEST_F(KeptReportTest, KindsAndNumbersStayWithTheirLinesAcrossPieces) {
    QTemporaryDir folder;
    const auto write = [&](const char *Name, const char *Changed) {
        QFile file(folder.filePath(QLatin1StringView(Name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        for (int i = 0; i < 8000; ++i)
            file.write(QByteArray("line ") + QByteArray::number(i) +
                       (i % 5 == 0 ? Changed : " of the text") + "\n");
        return file.fileName().toStdString();
    };
    const std::string first = write("a.txt", " of the text"), second = write("b.txt", " of a text");
    QStatusBar runStatus;
    TFieldSink sink(&Field, &runStatus);
    sink.BeginRun();
    RunComparison({.FileName1 = first, .FileName2 = second}, sink);
    const QStringList before = Shown(Field);
    for (const bool damaged : {false, true}) {
        SCOPED_TRACE(damaged ? "damaged at the end" : "as kept");
        Kept.Save(Store, Section);
        if (damaged)
            Rewrite(KeptFile(), [](auto &Bytes) { Bytes[Bytes.size() - 2] ^= 1; });
        QPlainTextEdit restored;
        QStatusBar status;
        TKeptReport kept(&restored, &status);
        EXPECT_EQ(kept.Load(Store, Section, false), "");
        EXPECT_TRUE(kept.Loading());
        EXPECT_TRUE(BlockKind(restored.document()->begin())) << "the first screen in colour";
        while (kept.Loading())
            QCoreApplication::processEvents();
        ExpectSearchedAsShown(restored, damaged);
        if (!damaged) {
            EXPECT_EQ(Shown(restored), before);
            continue;
        }
        QStringList expected = QString::fromUtf8(ReadBytes(KeptFile())).split('\n');
        expected.removeLast();
        EXPECT_EQ(ReportLines(&restored), expected);
        for (QTextBlock block = restored.document()->begin(); block.isValid(); block = block.next())
            ASSERT_FALSE(BlockKind(block) ||
                         TReportLines::Of(restored.document()).Numbers(block.blockNumber()))
                << block.blockNumber();
        EXPECT_EQ(status.currentMessage(), "The kept report's colours could not be restored");
    }
}

} // namespace
