#include "LongLineShaping.h"

#include <QAbstractTextDocumentLayout>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class TLongLineShaping : public QObject {
public:
    explicit TLongLineShaping(QPlainTextEdit *Field) : QObject(Field), FField(Field) {}

protected:
    // Runs before the view paints, so the lines it is about to draw keep
    // the shaping their drawing does.
    bool eventFilter(QObject *Watched, QEvent *Event) override {
        if (Event->type() == QEvent::Paint)
            KeepInView();
        return QObject::eventFilter(Watched, Event);
    }

private:
    void KeepInView() {
        std::vector<QTextBlock> InView;
        QTextDocument *Document = FField->document();
        // Without wrapping the vertical scroll bar counts lines, as the view
        // itself finds its first line.
        QTextBlock Block = Document->findBlockByLineNumber(FField->verticalScrollBar()->value());
        const qreal Height = FField->viewport()->height();
        for (qreal Top = 0; Block.isValid() && Top <= Height; Block = Block.next()) {
            if (!Block.isVisible())
                continue;
            Top += Document->documentLayout()->blockBoundingRect(Block).height();
            if (Block.length() >= LongLineLength)
                InView.push_back(Block);
        }
        // The cursor's line and the lines beside it are drawn at every
        // blink; the rest only when the view moves.
        const int Cursor = FField->textCursor().blockNumber();
        const auto Distance = [Cursor](const QTextBlock &Line) {
            return std::abs(Line.blockNumber() - Cursor);
        };
        std::stable_sort(
            InView.begin(), InView.end(),
            [&](const QTextBlock &A, const QTextBlock &B) { return Distance(A) < Distance(B); });
        if (InView.size() > MaxShapedLines)
            InView.resize(MaxShapedLines);
        for (const int Number : FKept) {
            const QTextBlock Kept = Document->findBlockByNumber(Number);
            if (Kept.isValid() && std::find(InView.begin(), InView.end(), Kept) == InView.end())
                GiveUp(Kept);
        }
        FKept.clear();
        for (const QTextBlock &Long : InView) {
            Long.layout()->setCacheEnabled(true);
            FKept.push_back(Long.blockNumber());
        }
    }

    // The next layout of the line, when it is shown again or measured,
    // drops its shaping.
    static void GiveUp(const QTextBlock &Block) {
        QTextLayout *Layout = Block.layout();
        if (!Layout->cacheEnabled())
            return;
        Layout->setCacheEnabled(false);
        Layout->clearLayout();
    }

    QPlainTextEdit *FField;
    // The numbers of the lines kept at the last paint: a block handle
    // would outlive its line when the report is emptied.
    std::vector<int> FKept;
};

} // namespace

void KeepLongLinesShaped(QPlainTextEdit *Field) {
    Field->viewport()->installEventFilter(new TLongLineShaping(Field));
}
