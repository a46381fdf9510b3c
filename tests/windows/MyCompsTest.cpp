#include "WindowsTest.h"

#include "MyComps.h"
#include "TMyIniFile.h"

#include <QLineEdit>

namespace {

const std::string Box = "Test\\Dialog-History-3";

class THistoryBoxTest : public FrameworkTest {};

QStringList Items(const QComboBox &Box) {
    QStringList Result;
    for (int I = 0; I < Box.count(); ++I)
        Result << Box.itemText(I);
    return Result;
}

} // namespace

// notes.txt and Notes.txt are two files: letter case counts.
TEST_F(THistoryBoxTest, UpdateReplacesAnExactlyEqualEntry) {
    THistoryBox History;
    EXPECT_EQ(History.insertPolicy(), QComboBox::NoInsert);
    History.addItems({"/x/Notes.txt", "/x/b.txt", "/x/notes.txt", "/x/notes.txt"});
    History.setEditText("/x/notes.txt");
    History.lineEdit()->selectAll();
    EXPECT_EQ(History.UpdateHistory(), "/x/notes.txt");
    // Only the first match goes.
    EXPECT_EQ(Items(History),
              QStringList({"/x/notes.txt", "/x/Notes.txt", "/x/b.txt", "/x/notes.txt"}));
    EXPECT_FALSE(History.lineEdit()->hasSelectedText());
    History.setEditText("");
    EXPECT_EQ(History.UpdateHistory(), "");
    EXPECT_EQ(Items(History).first(), "");
}

// Size caps what is saved and restored, never the list in memory. The cases
// share one store: the last finds the items the one before it saved.
TEST_F(THistoryBoxTest, SizeCapsOnlyWhatIsStored) {
    struct TCase {
        int Size, Entries, ItemsInStore, Restored;
    };
    for (const TCase Case : {TCase{0, 3, 0, 0}, TCase{20, 25, 20, 20}, TCase{20, 5, 20, 5}}) {
        SCOPED_TRACE(Case.Size * 100 + Case.Entries);
        THistoryBox History;
        History.Size = Case.Size;
        for (int I = 1; I <= Case.Entries; ++I) {
            History.setEditText(QString("file%1").arg(I));
            History.UpdateHistory();
        }
        TMyIniFile Store(RootKey);
        History.SaveHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(Store.ReadInteger(Box, "Count", -1), Case.Entries);
        EXPECT_EQ(Store.ReadString(Box, "Text", ""), "file" + std::to_string(Case.Entries));
        int Written = 0;
        while (Store.ReadString(Box, "Item" + std::to_string(Written + 1), "") != "")
            ++Written;
        EXPECT_EQ(Written, Case.ItemsInStore);
        THistoryBox Restored;
        Restored.Size = Case.Size;
        Restored.LoadHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(Items(Restored), Items(History).mid(0, Case.Restored));
    }
}

TEST_F(THistoryBoxTest, RestoredTextLosesOnePairOfQuotes) {
    const std::pair<QString, QString> Cases[] = {
        {"\"c:\\a b.txt\"", "c:\\a b.txt"},
        {"'single'", "single"},
        {"\"\"x\"\"", "\"x\""},
        {"\"open", "\"open"},
        {"close\"", "close\""},
        {"\"mixed'", "\"mixed'"},
        {"\"", ""},
        {"", ""},
    };
    TMyIniFile Store(RootKey);
    for (const auto &[Saved, Expected] : Cases) {
        SCOPED_TRACE(Saved.toStdString());
        Store.WriteString(Box, "Text", Saved.toStdString());
        THistoryBox History;
        History.setEditText("before");
        History.LoadHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(History.currentText(), Expected);
    }
}
