#include "FrameworkTest.h"

#include "MyComps.h"
#include "TMyIniFile.h"

#include <QLineEdit>

namespace {

const std::string Key = "Brackwater Software\\Tarnwells";
const std::string Box = "Test\\Dialog-History-3";

class THistoryBoxTest : public FrameworkTest {};

QStringList Items(const QComboBox &Box) {
    QStringList Result;
    for (int I = 0; I < Box.count(); ++I)
        Result << Box.itemText(I);
    return Result;
}

} // namespace

TEST_F(THistoryBoxTest, EditableWithoutQtInsertingOnEnter) {
    THistoryBox History;
    EXPECT_TRUE(History.isEditable());
    EXPECT_EQ(History.insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(History.Size, 0);
}

TEST_F(THistoryBoxTest, UpdateReplacesACaseInsensitiveEqualEntry) {
    THistoryBox History;
    History.addItems({"d:\\one.txt", "e:\\two.txt", "C:\\A.TXT", "c:\\a.txt", "f:\\x"});
    History.setEditText("c:\\a.txt");
    History.lineEdit()->selectAll();
    EXPECT_EQ(History.UpdateHistory(), "c:\\a.txt");
    // Only the first match goes; the entry is spelled as entered.
    EXPECT_EQ(Items(History),
              QStringList({"c:\\a.txt", "d:\\one.txt", "e:\\two.txt", "c:\\a.txt", "f:\\x"}));
    EXPECT_EQ(History.currentText(), "c:\\a.txt");
    EXPECT_FALSE(History.lineEdit()->hasSelectedText());

    History.setEditText("");
    EXPECT_EQ(History.UpdateHistory(), "");
    EXPECT_EQ(History.count(), 6);
    EXPECT_EQ(History.itemText(0), "");
}

TEST_F(THistoryBoxTest, SizeCapsOnlyWhatIsStored) {
    struct TCase {
        int Size, Entries, Restored;
    };
    for (const TCase Case : {TCase{0, 3, 0}, TCase{20, 25, 20}, TCase{20, 5, 5}}) {
        SCOPED_TRACE(Case.Size);
        TMyIniFile Store(Key + "\\Size" + std::to_string(Case.Size) + "-" +
                         std::to_string(Case.Entries));
        THistoryBox History;
        History.Size = Case.Size;
        for (int I = 1; I <= Case.Entries; ++I) {
            History.setEditText(QString("file%1").arg(I));
            History.UpdateHistory();
        }
        EXPECT_EQ(History.count(), Case.Entries);
        History.SaveHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(Store.ReadInteger(Box, "Count", -1), Case.Entries);
        EXPECT_EQ(Store.ReadString(Box, "Text", ""),
                  QString("file%1").arg(Case.Entries).toStdString());
        for (int I = 1; I <= Case.Entries; ++I)
            EXPECT_EQ(Store.ReadString(Box, "Item" + std::to_string(I), "<none>") != "<none>",
                      I <= Case.Size)
                << I;
        EXPECT_EQ(Store.ReadString(Box, "Item1", ""),
                  Case.Size > 0 ? QString("file%1").arg(Case.Entries).toStdString() : "");

        THistoryBox Restored;
        Restored.Size = Case.Size;
        Restored.LoadHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(Restored.count(), Case.Restored);
        if (Case.Restored > 0) {
            EXPECT_EQ(Restored.itemText(0), History.itemText(0));
        }
    }
}

TEST_F(THistoryBoxTest, LoadSkipsEmptyItemsAndKeepsStaleOnes) {
    TMyIniFile Store(Key);
    Store.WriteInteger(Box, "Count", 4);
    Store.WriteString(Box, "Item1", "a");
    Store.WriteString(Box, "Item2", "");
    Store.WriteString(Box, "Item3", "c");
    Store.WriteString(Box, "Item5", "stale");
    THistoryBox History;
    History.Size = 20;
    History.setEditText("kept");
    History.LoadHistory(Store, "Test\\Dialog", 3);
    EXPECT_EQ(Items(History), QStringList({"a", "c"}));
    EXPECT_EQ(History.currentText(), "kept");

    // A shorter list saved later leaves the item beyond it in the store.
    History.SaveHistory(Store, "Test\\Dialog", 3);
    EXPECT_EQ(Store.ReadString(Box, "Count", ""), "2");
    EXPECT_EQ(Store.ReadString(Box, "Item5", ""), "stale");
}

TEST_F(THistoryBoxTest, RestoredTextLosesOnePairOfQuotes) {
    const std::vector<std::pair<QString, QString>> Cases = {
        {"\"c:\\a b.txt\"", "c:\\a b.txt"},
        {"'single'", "single"},
        {"\"\"x\"\"", "\"x\""},
        {"\"open", "\"open"},
        {"close\"", "close\""},
        {"\"mixed'", "\"mixed'"},
        {"\"", ""},
        {"'", ""},
        {"", ""},
        {"plain", "plain"},
    };
    TMyIniFile Store(Key);
    for (const auto &[Stored, Expected] : Cases) {
        SCOPED_TRACE(Stored.toStdString());
        EXPECT_EQ(THistoryBox::StripQuotes(Stored), Expected);
        Store.WriteString(Box, "Text", Stored.toStdString());
        THistoryBox History;
        History.setEditText("before");
        History.LoadHistory(Store, "Test\\Dialog", 3);
        EXPECT_EQ(History.currentText(), Expected);
    }
}
