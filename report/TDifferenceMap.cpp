#include "TDifferenceMap.h"

#include "ReportKinds.h"
#include "TReportField.h"
#include "TReportLines.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace {

constexpr std::uint8_t FirstKind = std::uint8_t(int(TLineKind::OnlyInFirst) + 1);
constexpr std::uint8_t SecondKind = std::uint8_t(int(TLineKind::OnlyInSecond) + 1);

} // namespace

TDifferenceMap::TDifferenceMap(TReportField *Field) : QWidget(Field), FField(Field) {
    setObjectName(QStringLiteral("differenceMap"));
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("Differences in the whole report: click to go there"));
    connect(&TReportLines::Of(Field->document()), &TReportLines::Changed, this, [this] {
        FStale = true;
        update();
    });
    connect(Field->verticalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
}

const std::vector<std::uint8_t> &TDifferenceMap::Rows() {
    if (!FStale && int(FRows.size()) == height())
        return FRows;
    FStale = false;
    const std::vector<std::uint8_t> &kinds = TReportLines::Of(FField->document()).Kinds();
    const std::size_t lines = kinds.size(), rows = std::size_t(std::max(0, height()));
    FRows.assign(rows, 0);
    if (lines == 0 || rows == 0)
        return FRows;
    // Each row takes the lines that fall on it; a line taller than a row
    // (a short report) covers all its rows.
    for (std::size_t row = 0; row < rows; ++row) {
        const std::size_t from = row * lines / rows;
        const std::size_t to = std::max(from + 1, (row + 1) * lines / rows);
        bool first = false, second = false;
        for (std::size_t k = from; k < to; ++k) {
            first |= kinds[k] == FirstKind;
            second |= kinds[k] == SecondKind;
        }
        FRows[row] = std::uint8_t((first ? 1 : 0) | (second ? 2 : 0));
    }
    return FRows;
}

int TDifferenceMap::RowOf(int Block) const {
    const int lines = std::max(1, TReportLines::Of(FField->document()).Count());
    return int(qint64(Block) * height() / lines);
}

int TDifferenceMap::BlockAt(int Y) const {
    const int lines = TReportLines::Of(FField->document()).Count();
    const int row = std::clamp(Y, 0, std::max(0, height() - 1));
    return std::min(lines - 1, int(qint64(row) * lines / std::max(1, height())));
}

void TDifferenceMap::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    // The tints of changed characters: the line tints are too pale for a
    // strip this narrow.
    const TReportKinds kinds(palette());
    const QColor first = kinds.MarkFormat(TLineKind::OnlyInFirst).background().color();
    const QColor second = kinds.MarkFormat(TLineKind::OnlyInSecond).background().color();
    const std::vector<std::uint8_t> &rows = Rows();
    const int half = width() / 2;
    for (int y = 0; y < int(rows.size()); ++y) {
        switch (rows[std::size_t(y)]) {
        case 1:
            painter.fillRect(0, y, width(), 1, first);
            break;
        case 2:
            painter.fillRect(0, y, width(), 1, second);
            break;
        case 3:
            painter.fillRect(0, y, half, 1, first);
            painter.fillRect(half, y, width() - half, 1, second);
            break;
        default:
            break;
        }
    }
    if (FField->HasCurrentDifference()) {
        const auto [from, to] = FField->CurrentDifference();
        const int top = RowOf(from), bottom = std::max(RowOf(to + 1), top + 3);
        painter.fillRect(0, top, width(), bottom - top, palette().color(QPalette::Highlight));
    }
    const QTextBlock firstShown = FField->FirstVisibleBlock();
    if (firstShown.isValid()) {
        const int from = firstShown.blockNumber();
        const int top = RowOf(from);
        const int bottom = std::max(RowOf(from + FField->VisibleLines()), top + 3);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawRect(0, top, width() - 1, std::min(bottom, height()) - top - 1);
    }
}

void TDifferenceMap::ScrollTo(int Y) {
    // The line clicked comes to the middle of the view.
    FField->verticalScrollBar()->setValue(BlockAt(Y) - FField->VisibleLines() / 2);
}

void TDifferenceMap::mousePressEvent(QMouseEvent *Event) {
    if (Event->button() == Qt::LeftButton)
        ScrollTo(int(Event->position().y()));
}

void TDifferenceMap::mouseMoveEvent(QMouseEvent *Event) {
    if (Event->buttons() & Qt::LeftButton)
        ScrollTo(int(Event->position().y()));
}

void TDifferenceMap::resizeEvent(QResizeEvent *Event) {
    QWidget::resizeEvent(Event);
    FStale = true;
}
