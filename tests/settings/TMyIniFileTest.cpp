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
#include <fstream>
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

std::string ReadFile(const std::string &Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string &Path, const std::string &Bytes) {
    fs::create_directories(fs::path(Path).parent_path());
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << Bytes;
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

TEST_F(Composites, AListBoxRoundTripsSkippingEmptyItems) {
    TMyIniFile store(Root);
    QListWidget list;
    list.addItems({"C:\\one.txt", "", "\xC3\xBC.txt", "four"});
    store.WriteListBox("Compare\\Dialog", "History-1", &list);
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Count", ""), "4");
    list.clear();
    list.addItem("stale");
    store.ReadListBox("Compare\\Dialog", "History-1", &list);
    EXPECT_EQ(Items(list), QStringList({"C:\\one.txt", "\xC3\xBC.txt", "four"}));
}

TEST_F(Composites, AListBoxReadsWhatCountAndItemsSay) {
    const std::vector<std::tuple<std::string, std::vector<std::string>, QStringList>> cases = {
        // Count, then Item1, Item2, ... ("-" for a missing one), then the items read
        {"3", {"a", "", "c"}, {"a", "c"}},
        {"3", {"a", "-", "c", "d"}, {"a", "c"}},
        {"2147483647", {"a", "b"}, {"a", "b"}},
        {"-3", {"a"}, {}},
        {"junk", {"a"}, {}},
    };
    TMyIniFile store(Root);
    int n = 0;
    for (const auto &[count, items, expected] : cases) {
        const std::string ident = "List-" + std::to_string(++n);
        store.WriteString("Compare\\Dialog" + ident, "Count", count);
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i] != "-")
                store.WriteString("Compare\\Dialog" + ident, "ITEM" + std::to_string(i + 1),
                                  items[i]);
        QListWidget list;
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
    const QString text = QString::fromUtf8("first\n\n\xC3\xBC\xE6\x97\xA5 \\ 'x'\nlast\n");
    // A no-break space is kept as it stands, not turned into a space.
    QPlainTextEdit spaced;
    spaced.setPlainText(QString::fromUtf8("a\xC2\xA0"
                                          "b"));
    TMyIniFile(Root).WriteRichEdit("Compare\\Spaced", "1", &spaced);
    EXPECT_EQ(ReadFile(KeptText("Compare/Spaced/1.txt")), "a\xC2\xA0"
                                                          "b\n");

    QPlainTextEdit edit;
    edit.setPlainText(text);
    TMyIniFile(Root).ReadRichEdit("Compare\\Report", "1", &edit); // no file yet: unchanged
    EXPECT_EQ(edit.toPlainText(), text);
    EXPECT_TRUE(fs::is_directory(KeptText("Compare/Report")));
    TMyIniFile(Root + "\\Others\\Daily").WriteRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(ReadFile(KeptText("Compare/Report/1.txt")),
              "first\n\n\xC3\xBC\xE6\x97\xA5 \\ 'x'\nlast\n\n");

    TMyIniFile store(Root);
    edit.setPlainText("old");
    store.ReadRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(edit.toPlainText(), text);

    for (const auto &[bytes, expected] : std::vector<std::pair<std::string, QString>>{
             {"a\r\nb\r\n", "a\nb"}, {"a\rb\r", "a\nb"}, {"a\n\r\nb\rc", "a\n\nb\nc"}, {"", ""}}) {
        WriteFile(KeptText("Compare/Report/1.txt"), bytes);
        store.ReadRichEdit("Compare\\Report", "1", &edit);
        EXPECT_EQ(edit.toPlainText(), expected);
    }
}

TEST_F(Composites, AKeptTextWhoseFolderCannotBeMadeFailsOnlyOnWrite) {
    WriteFile(WindowsDirectory() + "/Brackwater Software", "a file in the way");
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("unchanged");
    QTreeWidget tree;
    new QTreeWidgetItem(&tree, QStringList("kept"));
    EXPECT_NO_THROW(store.ReadRichEdit("Compare\\Report", "1", &edit));
    EXPECT_NO_THROW(store.ReadTreeView("Compare\\Report", "1", &tree));
    EXPECT_EQ(edit.toPlainText(), "unchanged");
    EXPECT_EQ(Shape(tree), QStringList("0:kept"));
    try {
        store.WriteTreeView("Compare\\Report", "1", &tree);
        ADD_FAILURE() << "writing below a file succeeded";
    } catch (const ERegistryException &e) {
        const std::string message = e.what(), file = KeptText("Compare/Report/1.txt");
        EXPECT_EQ(message.rfind("Cannot write file " + file + ": ", 0), 0u) << message;
        EXPECT_GT(message.size(), file.size() + 20) << "no reason given: " << message;
    }
    EXPECT_THROW(store.WriteRichEdit("Compare\\Report", "1", &edit), ERegistryException);
}

TEST_F(Composites, AFailedWriteLeavesTheOldKeptTextWhole) {
    const std::string folder = KeptText("Compare/Report");
    WriteFile(folder + "/1.txt", "old text\n");
    chmod(folder.c_str(), 0500);
    PermissionsBind bind;
    if (faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) == 0)
        GTEST_SKIP() << "permissions do not bind this user";
    QPlainTextEdit edit;
    edit.setPlainText("new text");
    EXPECT_THROW(TMyIniFile(Root).WriteRichEdit("Compare\\Report", "1", &edit), ERegistryException);
    EXPECT_EQ(ReadFile(folder + "/1.txt"), "old text\n");
}

TEST_F(Composites, ATreeViewRoundTripsItsShape) {
    QTreeWidget tree;
    auto *top = new QTreeWidgetItem(&tree, QStringList("Top"));
    new QTreeWidgetItem(new QTreeWidgetItem(top, QStringList("Child")),
                        QStringList("Grandchild \xC3\xBC"));
    new QTreeWidgetItem(top, QStringList("Second child"));
    new QTreeWidgetItem(&tree, QStringList("Another top"));
    TMyIniFile store(Root);
    store.WriteTreeView("Compare\\Tree", "1", &tree);
    EXPECT_EQ(ReadFile(KeptText("Compare/Tree/1.txt")),
              "Top\n\tChild\n\t\tGrandchild \xC3\xBC\n\tSecond child\nAnother top\n");
    QTreeWidget back;
    store.ReadTreeView("Compare\\Tree", "1", &back);
    EXPECT_EQ(Shape(back), Shape(tree));
}

TEST_F(Composites, ATreeLineTooDeepEndsTheReadKeepingEarlierNodes) {
    const std::vector<std::pair<std::string, QStringList>> cases = {
        {"a\n b\n\t c\nd\n", {"0:a", "1:b", "2:c", "0:d"}},
        {"a\n\tb\n\t\t\tc\nd\n", {"0:a", "1:b"}},
        {"\ta\nb\n", {}},
    };
    TMyIniFile store(Root);
    for (const auto &[bytes, expected] : cases) {
        WriteFile(KeptText("Compare/Tree/1.txt"), bytes);
        QTreeWidget tree;
        new QTreeWidgetItem(&tree, QStringList("stale"));
        store.ReadTreeView("Compare\\Tree", "1", &tree);
        EXPECT_EQ(Shape(tree), expected) << bytes;
    }
}
