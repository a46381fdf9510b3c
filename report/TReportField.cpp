#include "TReportField.h"

#include "TDifferenceMap.h"
#include "TLineGutter.h"
#include "TReportLines.h"

#include <QScrollBar>
#include <algorithm>

TReportField::TReportField(QWidget *Parent) : QPlainTextEdit(Parent) {
    // The index first, so the gutter and the map read it up to date.
    TReportLines &lines = TReportLines::Of(document());
    FGutter = new TLineGutter(
        this, {.FirstVisible = [this] { return FirstVisibleBlock(); },
               .Where = [this](const QTextBlock &Block) { return BlockRect(Block); },
               .Current = [this] { return CurrentDifference(); }});
    FMap = new TDifferenceMap(this);
    connect(&lines, &TReportLines::Changed, this, &TReportField::UpdateMargins);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int Removed, int Added) {
        // A change of formats alone (a recolouring) leaves the lines as they are.
        if (Removed != Added && HasCurrentDifference()) {
            FCurrent = {-1, -1};
            FGutter->update();
            FMap->update();
        }
    });
    UpdateMargins();
}

void TReportField::SetLineNumbersShown(bool Shown) {
    FNumbersShown = Shown;
    UpdateMargins();
}

void TReportField::SetDifferenceMapShown(bool Shown) {
    FMapShown = Shown;
    UpdateMargins();
}

void TReportField::SetCurrentDifference(int First, int Last) {
    FCurrent = {First, Last};
    FGutter->update();
    FMap->update();
}

void TReportField::ShowNearTop(int Block) {
    setTextCursor(QTextCursor(document()->findBlockByNumber(Block)));
    // Some lines of what comes before stay in view, as context.
    const int context = std::min(3, VisibleLines() / 4);
    verticalScrollBar()->setValue(std::max(0, Block - context));
}

int TReportField::VisibleLines() const {
    const int height = std::max(1, fontMetrics().lineSpacing());
    return std::max(1, viewport()->height() / height);
}

void TReportField::UpdateMargins() {
    const int left = FNumbersShown ? FGutter->WidthNeeded() : 0;
    const int right = FMapShown ? TDifferenceMap::StripWidth : 0;
    FGutter->setVisible(FNumbersShown);
    FMap->setVisible(FMapShown);
    if (viewportMargins() != QMargins(left, 0, right, 0))
        setViewportMargins(left, 0, right, 0);
    const QRect view = viewport()->geometry();
    FGutter->setGeometry(view.left() - left, view.top(), left, view.height());
    FMap->setGeometry(view.right() + 1, view.top(), right, view.height());
}

void TReportField::resizeEvent(QResizeEvent *Event) {
    QPlainTextEdit::resizeEvent(Event);
    UpdateMargins();
}
