#include "WindowsTest.h"

#include "MyComps.h"
#include "TMyIniFile.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <array>

using THistoryBoxTest = FrameworkTest;

static QStringList Items(const QComboBox &Box) {
    QStringList Result;
    for (int I = 0; I < Box.count(); ++I)
        Result << Box.itemText(I);
    return Result;
}

// notes.txt and Notes.txt are two files: letter case counts. Only the first
// match goes; an empty text is an entry too.
TEST_F(THistoryBoxTest, UpdateReplacesAnExactlyEqualEntry) {
    THistoryBox History;
    History.addItems({"/x/Notes.txt", "/x/b.txt", "/x/notes.txt", "/x/notes.txt"});
    History.setEditText("/x/c.txt");
    QKeyEvent Enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(History.lineEdit(), &Enter); // adds nothing by itself
    History.setEditText("/x/notes.txt");
    EXPECT_EQ(History.UpdateHistory(), "/x/notes.txt");
    History.setEditText("");
    History.UpdateHistory();
    EXPECT_EQ(Items(History),
              QStringList({"", "/x/notes.txt", "/x/Notes.txt", "/x/b.txt", "/x/notes.txt"}));
}

// Size caps what is saved and restored, never the list in memory. The cases
// share one store: each finds the items the ones before it saved. The
// restored text loses one pair of matching quotes.
TEST_F(THistoryBoxTest, SizeCapsOnlyWhatIsStored) {
    const std::string Key = "Test-History-3";
    TMyIniFile Store(RootKey);
    for (const auto [Size, Entries, Restored] : {std::array{20, 25, 20}, {0, 3, 0}, {20, 5, 5}}) {
        THistoryBox History, Back;
        History.Size = Back.Size = Size;
        for (int I = 1; I <= Entries; ++I)
            History.setEditText(QString("file%1").arg(I)), History.UpdateHistory();
        History.SaveHistory(Store, "Test", 3);
        EXPECT_EQ(Store.ReadInteger(Key, "Count", -1), Entries);
        // Items beyond Size are not written, nor removed when an earlier save wrote them.
        EXPECT_EQ(Store.ReadString(Key, "Item21", ""), "");
        EXPECT_EQ(Store.ReadString(Key, "Item" + std::to_string(Size), "") != "", Size > 0);
        Back.LoadHistory(Store, "Test", 3);
        EXPECT_EQ(Items(Back), Items(History).mid(0, Restored)) << Size << " " << Entries;
        EXPECT_EQ(Back.currentText(), History.currentText());
    }
    const QStringList Quoted = {"\"a b\"", "a b",      "'single'", "single",  "\"\"x\"\"",
                                "\"x\"",   "\"mixed'", "\"mixed'", "close\"", "close\"",
                                "\"",      "",         "",         ""};
    for (int I = 0; I < Quoted.size(); I += 2) { // saved, restored
        const QString Saved = Quoted[I], Expected = Quoted[I + 1];
        Store.WriteString(Key, "Text", Saved.toStdString());
        THistoryBox History;
        History.setEditText("before");
        History.LoadHistory(Store, "Test", 3);
        EXPECT_EQ(History.currentText(), Expected) << Saved.toStdString();
    }
}
