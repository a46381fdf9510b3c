#include "TMyIniFile.h"
#include "Directories.h"
#include "FreshHome.h"

#include <QFont>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
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
const std::string Named = "Brackwater Software\\Tarnwells\\Others\\Daily";

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
QStringList Shape(const QTreeWidget &Tree) {
    QStringList shape;
    std::function<void(QTreeWidgetItem *, int)> visit = [&](QTreeWidgetItem *item, int depth) {
        shape << QString::number(depth) + ":" + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            visit(item->child(i), depth + 1);
    };
    for (int i = 0; i < Tree.topLevelItemCount(); ++i)
        visit(Tree.topLevelItem(i), 0);
    return shape;
}

} // namespace

using Composites = FreshHome;

TEST_F(Composites, AListBoxRoundTripsAndStopsAtItsCount) {
    TMyIniFile store(Root);
    QListWidget list;
    list.addItems({"C:\\one.txt", "", "\xC3\xBC.txt", "it's"});
    store.WriteListBox("Compare\\Dialog", "History-1", &list);
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Count", ""), "4");
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Item2", "missing"), "");

    QListWidget back;
    back.addItem("stale");
    store.ReadListBox("Compare\\Dialog", "History-1", &back);
    EXPECT_EQ(Items(back), QStringList({"C:\\one.txt", "\xC3\xBC.txt", "it's"}));

    // A shorter list leaves the old tail behind; Count keeps it out.
    list.clear();
    list.addItems({"new"});
    store.WriteListBox("Compare\\Dialog", "History-1", &list);
    EXPECT_EQ(store.ReadString("Compare\\DialogHistory-1", "Item3", ""), "\xC3\xBC.txt");
    store.ReadListBox("Compare\\Dialog", "History-1", &back);
    EXPECT_EQ(Items(back), QStringList({"new"}));
}

TEST_F(Composites, AListBoxReadsWhatCountAndItemsSay) {
    struct Case {
        std::string Count;
        std::vector<std::pair<std::string, std::string>> Values;
        QStringList Expected;
    };
    const std::vector<Case> cases = {
        {"3", {{"Item1", "a"}, {"Item2", ""}, {"Item3", "c"}}, {"a", "c"}},
        {"3", {{"Item1", "a"}, {"Item3", "c"}}, {"a", "c"}},
        {"2", {{"item1", "a"}, {"ITEM2", "b"}, {"Item01", "x"}}, {"a", "b"}},
        {"2147483647", {{"Item1", "a"}, {"Item2", "b"}}, {"a", "b"}},
        {"-3", {{"Item1", "a"}}, {}},
        {"junk", {{"Item1", "a"}}, {}},
    };
    for (const Case &c : cases) {
        TMyIniFile store(Root);
        store.WriteString("ListCase", "", ""); // make sure the parent exists
        const std::string key = "ListCase" + c.Count;
        store.WriteString(key, "Count", c.Count);
        for (const auto &[name, value] : c.Values)
            store.WriteString(key, name, value);
        QListWidget list;
        store.ReadListBox("ListCase", c.Count, &list);
        EXPECT_EQ(Items(list), c.Expected) << "Count " << c.Count;
    }
}

TEST_F(Composites, AFontLivesInTheSubkeySectionPlusIdent) {
    TMyIniFile store(Root);
    QFont font("DejaVu Sans Mono", 13);
    font.setItalic(true);
    font.setStrikeOut(true);
    store.WriteFont("Compare\\Report", "Font-1", font);

    std::vector<std::string> names;
    store.ReadSection("Compare\\ReportFont-1", names);
    EXPECT_EQ(names, (std::vector<std::string>{"Bold", "Italic", "Name", "Size", "StrikeOut",
                                               "Underline"}));
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Size", ""), "13");
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Italic", ""), "1");
    EXPECT_EQ(store.ReadString("Compare\\ReportFont-1", "Bold", ""), "0");
    store.ReadSection("Compare\\Report\\Font-1", names);
    EXPECT_TRUE(names.empty());

    QFont back("Serif", 8);
    store.ReadFont("Compare\\Report", "Font-1", back);
    EXPECT_EQ(back.family(), "DejaVu Sans Mono");
    EXPECT_EQ(back.pointSize(), 13);
    EXPECT_TRUE(back.italic());
    EXPECT_TRUE(back.strikeOut());
    EXPECT_FALSE(back.bold());
    EXPECT_FALSE(back.underline());
}

TEST_F(Composites, AStyleStoredAsFalseIsNotTakenFromTheFont) {
    TMyIniFile store(Root);
    store.WriteString("Compare\\ReportFont-1", "Name", "Arial");
    store.WriteString("Compare\\ReportFont-1", "Size", "14");
    store.WriteString("Compare\\ReportFont-1", "Bold", "0");
    store.WriteString("Compare\\ReportFont-1", "Underline", "1");
    QFont font("Serif", 9);
    font.setBold(true);
    store.ReadFont("Compare\\Report", "Font-1", font);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.underline());
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 14);
}

TEST_F(Composites, AFontWithNothingStoredTakesTheDefaults) {
    TMyIniFile store(Root);
    QFont font("Serif", 9);
    font.setItalic(true);
    store.ReadFont("Compare\\Report", "Font-1", font);
    EXPECT_EQ(font.family(), "Courier New");
    EXPECT_EQ(font.pointSize(), 10);
    EXPECT_TRUE(font.italic());
}

TEST_F(Composites, APixelSizedFontIsStoredInPoints) {
    TMyIniFile store(Root);
    QFont font("DejaVu Sans");
    font.setPixelSize(16);
    store.WriteFont("Compare\\Report", "Font-1", font);
    EXPECT_EQ(store.ReadInteger("Compare\\ReportFont-1", "Size", 0), 12);
}

TEST_F(Composites, ARichEditKeepsItsTextInOneFileForEveryConfiguration) {
    const QString text = QString::fromUtf8("first line\n\n\xC3\xBC\xE6\x97\xA5 \\ 'x'\nlast\n");
    {
        TMyIniFile store(Named);
        QPlainTextEdit edit;
        edit.setPlainText(text);
        store.WriteRichEdit("Compare\\Report", "1", &edit);
    }
    const std::string file = KeptText("Compare/Report/1.txt");
    EXPECT_EQ(ReadFile(file), "first line\n\n\xC3\xBC\xE6\x97\xA5 \\ 'x'\nlast\n\n");

    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("old");
    store.ReadRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(edit.toPlainText(), text);

    edit.clear();
    store.WriteRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(ReadFile(file), "");
    edit.setPlainText("old");
    store.ReadRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(edit.toPlainText(), "");
}

TEST_F(Composites, ARichEditReadsEveryLineEnd) {
    const std::vector<std::pair<std::string, QString>> cases = {
        {"a\r\nb\r\n", "a\nb"},   {"a\rb\r", "a\nb"},           {"a\nb", "a\nb"},
        {"a\r\n\r\nb", "a\n\nb"}, {"a\n\r\nb\rc", "a\n\nb\nc"}, {"\r\n", ""},
    };
    TMyIniFile store(Root);
    for (const auto &[bytes, expected] : cases) {
        WriteFile(KeptText("Compare/Report/1.txt"), bytes);
        QPlainTextEdit edit;
        store.ReadRichEdit("Compare\\Report", "1", &edit);
        EXPECT_EQ(edit.toPlainText(), expected);
    }
}

TEST_F(Composites, AMissingKeptTextLeavesTheEditAndMakesTheFolder) {
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("unchanged");
    store.ReadRichEdit("Compare\\Report", "1", &edit);
    EXPECT_EQ(edit.toPlainText(), "unchanged");
    EXPECT_TRUE(fs::is_directory(KeptText("Compare/Report")));
    EXPECT_FALSE(fs::exists(KeptText("Compare/Report/1.txt")));
}

TEST_F(Composites, AKeptTextWhoseFolderCannotBeMadeFailsOnlyOnWrite) {
    WriteFile(WindowsDirectory() + "/Brackwater Software", "a file in the way");
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("unchanged");
    EXPECT_NO_THROW(store.ReadRichEdit("Compare\\Report", "1", &edit));
    EXPECT_EQ(edit.toPlainText(), "unchanged");
    QTreeWidget tree;
    EXPECT_NO_THROW(store.ReadTreeView("Compare\\Report", "2", &tree));

    for (auto write : {+[](TMyIniFile &s, QPlainTextEdit &e, QTreeWidget &) {
                           s.WriteRichEdit("Compare\\Report", "1", &e);
                       },
                       +[](TMyIniFile &s, QPlainTextEdit &, QTreeWidget &t) {
                           s.WriteTreeView("Compare\\Report", "1", &t);
                       }}) {
        try {
            write(store, edit, tree);
            ADD_FAILURE() << "writing below a file succeeded";
        } catch (const ERegistryException &e) {
            const std::string message = e.what();
            EXPECT_NE(message.find(KeptText("Compare/Report/1.txt")), std::string::npos) << message;
            EXPECT_GT(message.size(), KeptText("Compare/Report/1.txt").size() + 20) << message;
        }
    }
    EXPECT_EQ(ReadFile(WindowsDirectory() + "/Brackwater Software"), "a file in the way");
}

TEST_F(Composites, AFailedWriteLeavesTheOldKeptTextWhole) {
    const std::string folder = KeptText("Compare/Report");
    WriteFile(folder + "/1.txt", "old text\n");
    chmod(folder.c_str(), 0500);
    if (access(folder.c_str(), W_OK) == 0)
        GTEST_SKIP() << "permissions do not bind this user";
    TMyIniFile store(Root);
    QPlainTextEdit edit;
    edit.setPlainText("new text");
    EXPECT_THROW(store.WriteRichEdit("Compare\\Report", "1", &edit), ERegistryException);
    EXPECT_EQ(ReadFile(folder + "/1.txt"), "old text\n");
}

TEST_F(Composites, ATreeViewRoundTripsItsShape) {
    QTreeWidget tree;
    auto *top = new QTreeWidgetItem(&tree, QStringList("Top"));
    auto *child = new QTreeWidgetItem(top, QStringList("Child"));
    new QTreeWidgetItem(child, QStringList("Grandchild \xC3\xBC"));
    new QTreeWidgetItem(top, QStringList("Second child"));
    new QTreeWidgetItem(&tree, QStringList("Another top"));

    TMyIniFile store(Root);
    store.WriteTreeView("Compare\\Tree", "1", &tree);
    EXPECT_EQ(ReadFile(KeptText("Compare/Tree/1.txt")),
              "Top\n\tChild\n\t\tGrandchild \xC3\xBC\n\tSecond child\nAnother top\n");

    QTreeWidget back;
    new QTreeWidgetItem(&back, QStringList("stale"));
    store.ReadTreeView("Compare\\Tree", "1", &back);
    EXPECT_EQ(Shape(back), Shape(tree));
}

TEST_F(Composites, ATreeLineTooDeepEndsTheReadKeepingEarlierNodes) {
    const std::vector<std::pair<std::string, QStringList>> cases = {
        {"a\n b\n\t c\nd\n", {"0:a", "1:b", "2:c", "0:d"}},
        {"a\n\tb\n\t\tc\n\td\ne\n", {"0:a", "1:b", "2:c", "1:d", "0:e"}},
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
