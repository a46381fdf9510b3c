#include "TMyIniFile.h"
#include "Directories.h"
#include "FreshHome.h"

#include <QFont>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The text as the control holds it; toPlainText() would turn a no-break
// space into a space.
QString Shown(const QPlainTextEdit &Edit) {
    return PlainTextLines(&Edit).join('\n');
}

} // namespace

class Composites : public FreshHome {
protected:
    // The kept text of Compare\Report, Ident 1 (the data home is set in main).
    const std::string Kept =
        WindowsDirectory() + "/Brackwater Software/Tarnwells/Compare/Report/1.txt";
};

// Count, then Item1, Item2, ... below Section + Ident; empty and missing
// items are skipped, and a Count that is no number reads as none.
TEST_F(Composites, AListBoxIsCountAndItemsInTheSubkeySectionPlusIdent) {
    TMyIniFile store(Root);
    QListWidget list;
    list.addItems({"C:\\one.txt", "", "\xC3\xBC.txt"});
    store.WriteListBox("Compare\\Dialog", "History-1", &list);
    std::vector<std::string> names;
    store.ReadSection("Compare\\DialogHistory-1", names);
    EXPECT_EQ(names, (std::vector<std::string>{"Count", "Item1", "Item2", "Item3"}));
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Count", ""), "3");
    const std::vector<std::pair<std::string, QStringList>> cases = {
        {"3", {"C:\\one.txt", "\xC3\xBC.txt"}},
        {"2", {"C:\\one.txt"}},
        {"2147483647", {"C:\\one.txt", "\xC3\xBC.txt"}},
        {"-3", {}},
        {"junk", {}}};
    for (const auto &[count, expected] : cases) {
        store.WriteString("Compare\\DialogHistory-1", "Count", count);
        list.addItem("stale");
        store.ReadListBox("Compare\\Dialog", "History-1", &list);
        QStringList read;
        for (int i = 0; i < list.count(); ++i)
            read << list.item(i)->text();
        EXPECT_EQ(read, expected) << "Count " << count;
    }
}

TEST_F(Composites, AFontLivesInTheSubkeySectionPlusIdent) {
    TMyIniFile store(Root);
    QFont font("Serif", 9);
    store.ReadFont("Compare\\Report", "Font-1", font); // nothing stored: the defaults
    EXPECT_EQ(font.family() + QString::number(font.pointSize()), "Courier New10");
    font = QFont("DejaVu Sans Mono", 13);
    font.setItalic(true);
    font.setStrikeOut(true);
    // A store that has read nothing writes every value.
    TMyIniFile(Root).WriteFont("Compare\\Report", "Font-1", font);
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Size", ""), "13");
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Italic", ""), "1");
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Bold", ""), "0");
    QFont back("Serif", 8);
    back.setBold(true); // a style stored off is taken off
    store.ReadFont("Compare\\Report", "Font-1", back);
    EXPECT_EQ(back.family() + QString::number(back.pointSize()), "DejaVu Sans Mono13");
    EXPECT_EQ(std::vector<bool>({back.bold(), back.italic(), back.underline(), back.strikeOut()}),
              std::vector<bool>({false, true, false, true}));
    font.setPixelSize(16); // stored in points, as at 96 dpi
    store.WriteFont("Compare\\Report", "Font-1", font);
    EXPECT_EQ(store.ReadInteger("Compare\\ReportFont-1", "Size", 0), 12);
}

// One file for every configuration, read as written whatever its line ends.
TEST_F(Composites, ARichEditKeepsItsTextInOneFileForEveryConfiguration) {
    // A no-break space is kept as it stands, not turned into a space.
    const QString text = QString::fromUtf8("first\n\n\xC3\xBC\xC2\xA0\\ 'x'\nlast\n");
    QPlainTextEdit edit;
    edit.setPlainText(text);
    EXPECT_EQ(TMyIniFile(Root).ReadRichEdit("Compare\\Report", "1", &edit), ""); // no file yet
    EXPECT_EQ(Shown(edit), text);
    TMyIniFile(Root + "\\Others\\Daily").WriteRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(ReadWholeFile(Kept), "first\n\n\xC3\xBC\xC2\xA0\\ 'x'\nlast\n\n");
    TMyIniFile store(Root);
    edit.setPlainText("old");
    EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit), "");
    EXPECT_EQ(Shown(edit), text);
    for (const auto &[bytes, expected] :
         std::vector<std::pair<std::string, QString>>{{"a\n\r\nb\rc", "a\n\nb\nc"}, {"", ""}}) {
        WriteBytes(Kept, bytes);
        EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit), "");
        EXPECT_EQ(Shown(edit), expected);
    }
}

// Only a regular file up to 1 GiB is read; a pipe would hang.
TEST_F(Composites, AKeptTextThatIsNoRegularFileIsSkippedWithTheReason) {
    const std::vector<std::pair<std::function<void()>, std::string>> kinds = {
        {[&] { mkfifo(Kept.c_str(), 0600); }, "it is not a regular file"},
        {[&] { fs::create_symlink("/dev/zero", Kept); }, "it is not a regular file"},
        {[&] { fs::create_directory(Kept); }, "it is a folder"},
        {[&] { WriteBytes(Kept, ""), fs::resize_file(Kept, (std::uintmax_t(1) << 30) + 1); },
         "it is larger than 1 GiB"}};
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("as it was");
    fs::create_directories(fs::path(Kept).parent_path());
    for (const auto &[make, reason] : kinds) {
        fs::remove_all(Kept);
        make();
        EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit),
                  "The kept text " + Kept + " was not loaded: " + reason);
        EXPECT_EQ(Shown(edit), "as it was");
    }
}

// An earlier version made the folder 0755; a file is in the way of another:
// writing fails with the file and the reason and leaves the old file whole.
TEST_F(Composites, AKeptTextIsTheUsersAloneAndAFailedWriteSaysWhy) {
    WriteBytes(Kept, "old text\n");
    fs::permissions(fs::path(Kept).parent_path(), fs::perms(0755));
    const std::string other = WindowsDirectory() + "/Brackwater Software/Tarnwells/Other";
    WriteBytes(other, "a file in the way");
    QPlainTextEdit edit;
    edit.setPlainText("new text");
    TMyIniFile store(Root);
    EXPECT_EQ(store.ReadRichEdit("Other\\Report", "1", &edit), "");
    EXPECT_EQ(Shown(edit), "new text");
    try {
        store.WriteRichEdit("Other\\Report", "1", &edit);
        ADD_FAILURE() << "writing succeeded";
    } catch (const ERegistryException &e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot write file " + other + "/Report/1.txt: Not a directory");
    }
    // A write that fails part way, as on a full disk, leaves the old text.
    const auto handler = std::signal(SIGXFSZ, SIG_IGN); // EFBIG instead
    rlimit was{};
    getrlimit(RLIMIT_FSIZE, &was);
    const rlimit small{4, was.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    std::string failure;
    try {
        store.WriteRichEdit("Compare\\Report", "1", &edit);
    } catch (const ERegistryException &e) {
        failure = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &was);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(failure, "Cannot write file " + Kept + ": File too large");
    EXPECT_EQ(ReadWholeFile(Kept), "old text\n");
    store.WriteRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(fs::status(fs::path(Kept).parent_path()).permissions(), fs::perms(0700));
    EXPECT_EQ(fs::status(Kept).permissions(), fs::perms(0600));
    EXPECT_EQ(ReadWholeFile(Kept), "new text\n");
}

// Tabs or spaces give the depth; a line deeper than one below the last ends
// the read.
TEST_F(Composites, ATreeViewRoundTripsItsShapeAndALineTooDeepEndsTheRead) {
    QTreeWidget tree;
    auto *top = new QTreeWidgetItem(&tree, QStringList("Top"));
    new QTreeWidgetItem(new QTreeWidgetItem(top, QStringList("Child")), QStringList("Grand"));
    new QTreeWidgetItem(&tree, QStringList("Another top"));
    TMyIniFile store(Root);
    store.WriteTreeView("Compare\\Report", "1", &tree);
    EXPECT_EQ(ReadWholeFile(Kept), "Top\n\tChild\n\t\tGrand\nAnother top\n");
    WriteBytes(Kept, "a\n b\n\t c\n\t\t\t\td\ne\n");
    store.ReadTreeView("Compare\\Report", "1", &tree);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->child(0)->text(0), "c");
    EXPECT_EQ(tree.topLevelItem(0)->child(0)->child(0)->childCount(), 0);
}
