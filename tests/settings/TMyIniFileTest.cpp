#include "TMyIniFile.h"
#include "Directories.h"
#include "FreshHome.h"
#include "PermissionsBind.h"

#include <QFont>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Lets failed comparisons show texts instead of bytes.
void PrintTo(const QString &Text, std::ostream *Out) {
    *Out << Text.toStdString();
}

namespace {

const std::string Root = "Brackwater Software\\Tarnwells";

std::string KeptText(const std::string &Relative) {
    return WindowsDirectory() + "/Brackwater Software/Tarnwells/" + Relative;
}

// The text as the control holds it; toPlainText() would turn a no-break
// space into a space.
QString Shown(const QPlainTextEdit &Edit) {
    return PlainTextLines(&Edit).join('\n');
}

QStringList Items(const QListWidget &List) {
    QStringList items;
    for (int i = 0; i < List.count(); ++i)
        items << List.item(i)->text();
    return items;
}

// The tree as "depth:text" lines, in tree order.
void AppendShape(QTreeWidgetItem *Item, int Depth, QStringList &Shape) {
    Shape << QString::number(Depth) + ":" + Item->text(0);
    for (int i = 0; i < Item->childCount(); ++i)
        AppendShape(Item->child(i), Depth + 1, Shape);
}
QStringList Shape(const QTreeWidget &Tree) {
    QStringList shape;
    for (int i = 0; i < Tree.topLevelItemCount(); ++i)
        AppendShape(Tree.topLevelItem(i), 0, shape);
    return shape;
}

} // namespace

using Composites = FreshHome;

TEST_F(Composites, AListBoxIsCountAndItemsInTheSubkeySectionPlusIdent) {
    TMyIniFile store(Root);
    QListWidget list;
    list.addItems({"C:\\one.txt", "", "\xC3\xBC.txt"});
    store.WriteListBox("Compare\\Dialog", "History-1", &list);
    std::vector<std::string> names;
    store.ReadSection("Compare\\DialogHistory-1", names);
    EXPECT_EQ(names, (std::vector<std::string>{"Count", "Item1", "Item2", "Item3"}));
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Count", ""), "3");

    const std::vector<std::tuple<std::string, std::vector<std::string>, QStringList>> cases = {
        // Count, then Item1, Item2, ... ("-" for a missing one), then the items read
        {"3", {"C:\\one.txt", "", "\xC3\xBC.txt"}, {"C:\\one.txt", "\xC3\xBC.txt"}},
        {"3", {"a", "-", "c", "d"}, {"a", "c"}},
        {"2147483647", {"a", "b"}, {"a", "b"}},
        {"-3", {"a"}, {}},
        {"junk", {"a"}, {}},
    };
    int n = 0;
    for (const auto &[count, items, expected] : cases) {
        const std::string ident = "List-" + std::to_string(++n);
        store.WriteString("Compare\\Dialog" + ident, "Count", count);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] != "-")
                store.WriteString("Compare\\Dialog" + ident, "ITEM" + std::to_string(i + 1),
                                  items[i]);
        list.addItem("stale");
        store.ReadListBox("Compare\\Dialog", ident, &list);
        EXPECT_EQ(Items(list), expected) << "Count " << count;
    }
}

TEST_F(Composites, AFontLivesInTheSubkeySectionPlusIdent) {
    TMyIniFile store(Root);
    QFont font("DejaVu Sans Mono", 13);
    font.setItalic(true);
    font.setStrikeOut(true);
    store.WriteFont("Compare\\Report", "Font-1", font);
    std::vector<std::string> names;
    store.ReadSection("Compare\\Report\\Font-1", names);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Size", ""), "13");

    QFont back("Serif", 8);
    store.ReadFont("Compare\\Report", "Font-1", back);
    EXPECT_EQ(back.family(), "DejaVu Sans Mono");
    EXPECT_EQ(back.pointSize(), 13);
    EXPECT_EQ(std::vector<bool>({back.bold(), back.italic(), back.underline(), back.strikeOut()}),
              std::vector<bool>({false, true, false, true}));

    font.setPixelSize(16); // stored in points, as at 96 dpi
    store.WriteFont("Compare\\Report", "Font-1", font);
    EXPECT_EQ(store.ReadInteger("Compare\\ReportFont-1", "Size", 0), 12);
}

TEST_F(Composites, AFontReadTakesEveryStoredStyle) {
    TMyIniFile store(Root);
    QFont font("Serif", 9);
    font.setBold(true);
    store.ReadFont("Compare\\Report", "Font-1", font); // nothing stored: the defaults
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_EQ(font.pointSize(), 10);

    store.WriteString("Compare\\ReportFont-1", "Name", "Arial");
    store.WriteString("Compare\\ReportFont-1", "Size", "14");
    store.WriteString("Compare\\ReportFont-1", "Bold", "0");
    store.WriteString("Compare\\ReportFont-1", "Underline", "1");
    store.ReadFont("Compare\\Report", "Font-1", font);
    EXPECT_FALSE(font.bold());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 14);
}

TEST_F(Composites, ARichEditKeepsItsTextInOneFileForEveryConfiguration) {
    // A no-break space is kept as it stands, not turned into a space.
    const QString text = QString::fromUtf8("first\n\n\xC3\xBC\xC2\xA0\\ 'x'\nlast\n");
    QPlainTextEdit edit;
    edit.setPlainText(text);
    // No file yet: unchanged, and nothing to tell.
    EXPECT_EQ(TMyIniFile(Root).ReadRichEdit("Compare\\Report", "1", &edit), "");
    EXPECT_EQ(Shown(edit), text);
    EXPECT_TRUE(fs::is_directory(KeptText("Compare/Report")));
    TMyIniFile(Root + "\\Others\\Daily").WriteRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(ReadFile(KeptText("Compare/Report/1.txt")),
              "first\n\n\xC3\xBC\xC2\xA0\\ 'x'\nlast\n\n");

    TMyIniFile store(Root);
    edit.setPlainText("old");
    EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit), "");
    EXPECT_EQ(Shown(edit), text);
    // Big enough to go into the control in several pieces.
    std::string many;
    QStringList lines;
    for (int i = 0; i < 300000; ++i) {
        many += "line \xC3\xBC " + std::to_string(i) + (i % 2 ? "\r\n" : "\r");
        lines << QString::fromUtf8("line \xC3\xBC ") + QString::number(i);
    }
    for (const auto &[bytes, expected] :
         std::vector<std::pair<std::string, QString>>{{"a\r\nb\r\n", "a\nb"},
                                                      {"a\rb\r", "a\nb"},
                                                      {"a\n\r\nb\rc", "a\n\nb\nc"},
                                                      {"", ""},
                                                      {many, lines.join('\n')}}) {
        WriteFile(KeptText("Compare/Report/1.txt"), bytes);
        EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit), "");
        EXPECT_EQ(Shown(edit), expected);
    }
}

TEST_F(Composites, AKeptTextThatIsNoRegularFileIsSkippedWithTheReason) {
    const std::string file = KeptText("Compare/Report/1.txt");
    const std::vector<std::pair<std::function<void()>, std::string>> kinds = {
        {[&] { mkfifo(file.c_str(), 0600); }, "it is not a regular file"}, // would hang
        {[&] { fs::create_symlink("/dev/zero", file); }, "it is not a regular file"},
        {[&] { fs::create_directory(file); }, "it is a folder"},
        {[&] {
             WriteFile(file, "sparse");
             fs::resize_file(file, (std::uintmax_t(1) << 30) + 1);
         },
         "it is larger than 1 GiB"},
    };
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("as it was");
    fs::create_directories(KeptText("Compare/Report"));
    for (const auto &[make, reason] : kinds) {
        fs::remove_all(file);
        make();
        EXPECT_EQ(store.ReadRichEdit("Compare\\Report", "1", &edit),
                  "The kept text " + file + " was not loaded: " + reason);
        EXPECT_EQ(Shown(edit), "as it was");
    }
}

TEST_F(Composites, AKeptTextIsTheUsersAlone) {
    const std::string old = KeptText("Compare/Report");
    fs::create_directories(old);
    fs::permissions(old, fs::perms(0755)); // as an earlier version made it
    QPlainTextEdit edit;
    edit.setPlainText("the contents of the user's files");
    TMyIniFile store(Root);
    store.WriteRichEdit("Compare\\Report", "1", &edit);
    store.WriteRichEdit("Other\\Report", "1", &edit);
    EXPECT_EQ(fs::status(old + "/1.txt").permissions(), fs::perms(0600));
    for (const std::string &folder : {old, KeptText("Other"), KeptText("Other/Report")})
        EXPECT_EQ(fs::status(folder).permissions(), fs::perms(0700)) << folder;
}

// A file in the way of the folder, or a read-only folder: reading says
// nothing and changes nothing, writing fails with the file and the reason
// and leaves the old file whole.
TEST_F(Composites, AKeptTextThatCannotBeWrittenFailsOnlyOnWrite) {
    const std::string folder = KeptText("Compare/Report");
    WriteFile(folder + "/1.txt", "old text\n");
    WriteFile(KeptText("Other"), "a file in the way");
    chmod(folder.c_str(), 0500);
    PermissionsBind bind;
    QPlainTextEdit edit;
    edit.setPlainText("new text");
    TMyIniFile store(Root);
    EXPECT_EQ(store.ReadRichEdit("Other\\Report", "1", &edit), "");
    EXPECT_EQ(Shown(edit), "new text");
    for (const std::string section : {"Other\\Report", "Compare\\Report"}) {
        if (section == "Compare\\Report" &&
            faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0)
            continue; // permissions do not bind this user
        const std::string file = KeptText(section.substr(0, section.find('\\')) + "/Report/1.txt");
        try {
            store.WriteRichEdit(section, "1", &edit);
            ADD_FAILURE() << "writing " << file << " succeeded";
        } catch (const ERegistryException &e) {
            const std::string message = e.what();
            EXPECT_EQ(message.rfind("Cannot write file " + file + ": ", 0), 0u) << message;
            EXPECT_GT(message.size(), file.size() + 20) << "no reason given: " << message;
        }
    }
    EXPECT_EQ(ReadFile(folder + "/1.txt"), "old text\n");
}

TEST_F(Composites, ATreeViewRoundTripsItsShapeAndALineTooDeepEndsTheRead) {
    QTreeWidget tree;
    auto *top = new QTreeWidgetItem(&tree, QStringList("Top"));
    new QTreeWidgetItem(new QTreeWidgetItem(top, QStringList("Child")), QStringList("Grand"));
    new QTreeWidgetItem(&tree, QStringList("Another top"));
    TMyIniFile store(Root);
    store.WriteTreeView("Compare\\Tree", "1", &tree);
    EXPECT_EQ(ReadFile(KeptText("Compare/Tree/1.txt")), "Top\n\tChild\n\t\tGrand\nAnother top\n");
    QTreeWidget back;
    store.ReadTreeView("Compare\\Tree", "1", &back);
    EXPECT_EQ(Shape(back), Shape(tree));
    store.ReadTreeView("Compare\\Missing", "1", &back); // no file: the tree stays
    EXPECT_EQ(Shape(back), Shape(tree));

    const std::vector<std::pair<std::string, QStringList>> cases = {
        {"a\n b\n\t c\nd\n", {"0:a", "1:b", "2:c", "0:d"}},
        {"a\n\tb\n\t\t\tc\nd\n", {"0:a", "1:b"}},
        {"\ta\nb\n", {}},
    };
    for (const auto &[bytes, expected] : cases) {
        WriteFile(KeptText("Compare/Tree/1.txt"), bytes);
        store.ReadTreeView("Compare\\Tree", "1", &back);
        EXPECT_EQ(Shape(back), expected) << bytes;
    }
}
