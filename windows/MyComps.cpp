#include "MyComps.h"

#include "FileNames.h"
#include "TMyIniFile.h"
#include "TRegistry.h"
#include "TRegistryTransaction.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
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
        if (itemText(I) == Text) {
            removeItem(I);
            break;
        }
    }
    insertItem(0, Text);
    // Removing and inserting items may have replaced the edit text.
    setEditText(Text);
    return currentText();
}

void THistoryBox::showPopup() {
    int Widest = 0;
    const QFontMetrics Metrics(view()->font());
    for (int I = 0; I < count(); ++I)
        Widest = std::max(Widest, Metrics.horizontalAdvance(itemText(I)));
    // The item's own margins and a scroll bar beside a long list.
    Widest += 4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 8 +
              view()->verticalScrollBar()->sizeHint().width();
    // The list lies in a frame, which must fit on the screen too.
    const auto *Frame = qobject_cast<const QFrame *>(view()->parentWidget());
    const int FrameWidth = Frame != nullptr ? 2 * Frame->frameWidth() : 0;
    if (const QScreen *Screen = screen())
        Widest = std::min(Widest, Screen->availableGeometry().width() - FrameWidth);
    view()->setTextElideMode(Qt::ElideMiddle);
    view()->setMinimumWidth(std::max(Widest, width()));
    QComboBox::showPopup();
    // The combo box highlights its current index, which need not be the
    // entry the edit text names.
    const int Current = findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (Current >= 0)
        view()->setCurrentIndex(model()->index(Current, modelColumn()));
    else
        view()->selectionModel()->clear();
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
            addItem(DecodeFileName(Item));
    }
    const std::string Text = Store.ReadString(Key, "Text", EncodeFileName(Current));
    setEditText(StripQuotes(DecodeFileName(Text)));
}

void THistoryBox::SaveHistory(TMyIniFile &Store, const std::string &Name, int Number) {
    const std::string Key = HistoryKey(Name, Number);
    TRegistryTransaction Transaction;
    Store.WriteString(Key, "Text", EncodeFileName(currentText()));
    Store.WriteInteger(Key, "Count", count());
    const int Written = std::min(Size, count());
    for (int I = 1; I <= Written; ++I)
        Store.WriteString(Key, ItemName(I), EncodeFileName(itemText(I - 1)));
    if (!Transaction.Commit())
        throw TRegistry::SaveFailure();
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
