#include "WindowsTest.h"

#include "MyComps.h"
#include "TMyIniFile.h"

#include <QLineEdit>
#include <array>

namespace {

using THistoryBoxTest = FrameworkTest;

QStringList Items(const QComboBox &Box) {
    QStringList Result;
    for (int I = 0; I < Box.count(); ++I)
        Result << Box.itemText(I);
    return Result;
}

} // namespace

// notes.txt and Notes.txt are two files: letter case counts. Only the first
// match goes; an empty text is an entry too.
TEST_F(THistoryBoxTest, UpdateReplacesAnExactlyEqualEntry) {
    THistoryBox History;
    History.addItems({"/x/Notes.txt", "/x/b.txt", "/x/notes.txt", "/x/notes.txt"});
    History.setEditText("/x/notes.txt");
    History.lineEdit()->selectAll();
    EXPECT_EQ(History.UpdateHistory(), "/x/notes.txt");
    EXPECT_FALSE(History.lineEdit()->hasSelectedText());
    History.setEditText("");
    History.UpdateHistory();
    EXPECT_EQ(Items(History),
              QStringList({"", "/x/notes.txt", "/x/Notes.txt", "/x/b.txt", "/x/notes.txt"}));
}

// Size caps what is saved and restored, never the list in memory. The cases
// share one store: the last finds the items the one before it saved. The
// restored text loses one pair of matching quotes.
TEST_F(THistoryBoxTest, SizeCapsOnlyWhatIsStored) {
    const std::string Key = "Test-History-3";
    TMyIniFile Store(RootKey);
    for (const auto [Size, Entries, Restored] : {std::array{0, 3, 0}, {20, 25, 20}, {20, 5, 5}}) {
        THistoryBox History, Back;
        History.Size = Back.Size = Size;
        for (int I = 1; I <= Entries; ++I)
            History.setEditText(QString("file%1").arg(I)), History.UpdateHistory();
        History.SaveHistory(Store, "Test", 3);
        EXPECT_EQ(Store.ReadInteger(Key, "Count", -1), Entries);
        // Items beyond Size are not written, nor removed when an earlier save wrote them.
        EXPECT_EQ(Store.ReadString(Key, "Item" + std::to_string(Size + 1), ""), "");
        EXPECT_EQ(Store.ReadString(Key, "Item" + std::to_string(Size), "") != "", Size > 0);
        Back.LoadHistory(Store, "Test", 3);
        EXPECT_EQ(Items(Back), Items(History).mid(0, Restored)) << Size << " " << Entries;
        EXPECT_EQ(Back.currentText(), History.currentText());
    }
    for (const auto &[Saved, Expected] :
         {std::pair<QString, QString>{"\"c:\\a b.txt\"", "c:\\a b.txt"},
          {"'single'", "single"},
          {"\"\"x\"\"", "\"x\""},
          {"\"mixed'", "\"mixed'"},
          {"\"", ""},
          {"", ""}}) {
        Store.WriteString(Key, "Text", Saved.toStdString());
        THistoryBox History;
        History.setEditText("before");
        History.LoadHistory(Store, "Test", 3);
        EXPECT_EQ(History.currentText(), Expected) << Saved.toStdString();
    }
}
