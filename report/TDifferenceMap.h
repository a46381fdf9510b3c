#pragma once

#include <QWidget>
#include <cstdint>
#include <vector>

class TReportField;

// The strip right of the report's text, beside its scroll bar: the whole
// report scaled to the strip's height, with rows in the tint of the lines
// only in the first file and of those only in the second where such lines
// are, a frame around the part in view and the current difference marked.
// A click or a drag moves the view there.
class TDifferenceMap : public QWidget {
public:
    explicit TDifferenceMap(TReportField *Field);

    static constexpr int StripWidth = 12;

    // What each row of the strip shows, top to bottom: 1 for lines only in
    // the first file, 2 only in the second, 3 both, 0 none.
    const std::vector<std::uint8_t> &Rows();
    // The block the strip's row Y stands for.
    int BlockAt(int Y) const;

protected:
    void paintEvent(QPaintEvent *Event) override;
    void mousePressEvent(QMouseEvent *Event) override;
    void mouseMoveEvent(QMouseEvent *Event) override;
    void resizeEvent(QResizeEvent *Event) override;

private:
    // The row of the strip where block Block is drawn.
    int RowOf(int Block) const;
    void ScrollTo(int Y);

    TReportField *FField;
    std::vector<std::uint8_t> FRows;
    bool FStale = true; // the rows must be drawn from the lines again
};
