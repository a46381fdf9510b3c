#include "MyComps.h"

#include "TMyIniFile.h"
#include "TRegistry.h"

#include <QLineEdit>
#include <algorithm>

namespace {

std::string HistoryKey(const std::string &Name, int Number) {
    return Name + "-History-" + std::to_string(Number);
}

std::string ItemName(int Index) {
    return "Item" + std::to_string(Index);
}

} // namespace

THistoryBox::THistoryBox(QWidget *Parent) : QComboBox(Parent) {
    setEditable(true);
    // The history is kept by UpdateHistory alone: Qt must neither add the
    // text on Enter nor complete what is typed, which could change its case.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
}

QString THistoryBox::UpdateHistory() {
    if (lineEdit() != nullptr)
        lineEdit()->deselect();
    const QString Text = currentText();
    for (int I = 0; I < count(); ++I) {
        if (QString::compare(itemText(I), Text, Qt::CaseInsensitive) == 0) {
            removeItem(I);
            break;
        }
    }
    insertItem(0, Text);
    // Removing and inserting items may have replaced the edit text.
    setEditText(Text);
    return currentText();
}

void THistoryBox::LoadHistory(TMyIniFile &Store, const std::string &Name, int Number) {
    const std::string Key = HistoryKey(Name, Number);
    // Clearing the list empties the edit text, which is the default below.
    const QString Current = currentText();
    clear();
    const int Count = std::min(Size, Store.ReadInteger(Key, "Count", 0));
    for (int I = 1; I <= Count; ++I) {
        const std::string Item = Store.ReadString(Key, ItemName(I), "");
        if (!Item.empty())
            addItem(QString::fromStdString(Item));
    }
    const std::string Text = Store.ReadString(Key, "Text", Current.toStdString());
    setEditText(StripQuotes(QString::fromStdString(Text)));
}

void THistoryBox::SaveHistory(TMyIniFile &Store, const std::string &Name, int Number) {
    const std::string Key = HistoryKey(Name, Number);
    TRegistryTransaction Transaction;
    Store.WriteString(Key, "Text", currentText().toStdString());
    Store.WriteInteger(Key, "Count", count());
    const int Written = std::min(Size, count());
    for (int I = 1; I <= Written; ++I)
        Store.WriteString(Key, ItemName(I), itemText(I - 1).toStdString());
    if (!Transaction.Commit())
        throw ERegistryException("Failed to set data for 'Text'");
}

QString THistoryBox::StripQuotes(const QString &Text) {
    if (Text.isEmpty())
        return Text;
    const QChar First = Text.front();
    const QChar Last = Text.back();
    if ((First == QLatin1Char('"') && Last == QLatin1Char('"')) ||
        (First == QLatin1Char('\'') && Last == QLatin1Char('\''))) {
        // A lone quote is both the first and the last character: removing
        // the first leaves nothing to remove.
        return Text.mid(1).chopped(Text.size() > 1 ? 1 : 0);
    }
    return Text;
}
