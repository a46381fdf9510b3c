#pragma once

#include <QPlainTextEdit>
#include <QRectF>
#include <QTextBlock>

class TDifferenceMap;
class TLineGutter;

// The report's text control: a plain-text edit with the lines' numbers in a
// gutter on its left (TLineGutter) and a map of the differences on its
// right, beside the scroll bar (TDifferenceMap). It remembers the run of
// differences F8 went to, which both mark, until the text changes.
class TReportField : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit TReportField(QWidget *Parent = nullptr);

    void SetLineNumbersShown(bool Shown);
    bool LineNumbersShown() const { return FNumbersShown; }
    void SetDifferenceMapShown(bool Shown);
    bool DifferenceMapShown() const { return FMapShown; }

    // The run of lines (block numbers First to Last) to mark as the current
    // difference; none after any change to the text.
    void SetCurrentDifference(int First, int Last);
    std::pair<int, int> CurrentDifference() const { return FCurrent; }
    bool HasCurrentDifference() const { return FCurrent.first >= 0; }

    // The cursor to the start of block Block, that line a few lines below
    // the top of the view (at the top when the report is short).
    void ShowNearTop(int Block);

    // For the gutter and the map: what the view shows.
    QTextBlock FirstVisibleBlock() const { return firstVisibleBlock(); }
    // Where Block lies in the view (viewport coordinates).
    QRectF BlockRect(const QTextBlock &Block) const {
        return blockBoundingGeometry(Block).translated(contentOffset());
    }
    // Lines the view shows at once.
    int VisibleLines() const;

    TLineGutter *Gutter() const { return FGutter; }
    TDifferenceMap *Map() const { return FMap; }

protected:
    void resizeEvent(QResizeEvent *Event) override;

private:
    void UpdateMargins();

    TLineGutter *FGutter;
    TDifferenceMap *FMap;
    bool FNumbersShown = true;
    bool FMapShown = true;
    std::pair<int, int> FCurrent{-1, -1};
};
