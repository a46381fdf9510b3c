#include "TKeptReport.h"

#include "Directories.h"
#include "ReportTestSupport.h"
#include "TMyIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <gtest/gtest.h>

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

// Many lines in UTF-8 with every kind of line end: more than one piece.
std::pair<QByteArray, QStringList> ManyLines() {
    QByteArray bytes;
    QStringList lines;
    for (int i = 0; i < 60000; ++i) {
        const QByteArray line = "line \xC3\xBC " + QByteArray::number(i);
        bytes += line + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\r" : "\n");
        lines << QString::fromUtf8(line);
    }
    return {bytes, lines};
}

TEST_F(KeptReportTest, ALongKeptReportGoesInAPieceAtATimeFromTheEventLoop) {
    const auto [bytes, lines] = ManyLines();
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
