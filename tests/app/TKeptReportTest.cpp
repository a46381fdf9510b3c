#include "TKeptReport.h"

#include "Directories.h"
#include "ReportTestSupport.h"
#include "TMyIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";
const std::string Section = "Compare\\Report";

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
    static QString KeptFile() {
        return QString::fromStdString(WindowsDirectory()) +
               QStringLiteral("/Brackwater Software/Tarnwells/Compare/Report/1.txt");
    }
    static void WriteKept(const QByteArray &Bytes) {
        QFile file(KeptFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bytes);
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
        WriteKept(bytes);
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
        EXPECT_EQ(Status.currentMessage(), "");
        EXPECT_TRUE(Field.document()->isUndoRedoEnabled());
    }
}

// What comes after the fill (the whole report taken, or emptied) is the
// report window's: UCompareReportRunsTest.
TEST_F(KeptReportTest, DropKeepsWhatIsInAndEndsTheFill) {
    Store.WriteRichEdit(Section, "1", &Field);
    WriteKept(ManyLines().first);
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
    WriteKept(bytes);
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
    QFile file(KeptFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
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

} // namespace
