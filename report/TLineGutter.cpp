#include "TLineGutter.h"

#include "TReportLines.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>

namespace {

// Space around the columns, and the current difference's bar at the right.
constexpr int Padding = 4;
constexpr int BarWidth = 3;

QString Column(std::size_t Number, std::size_t Largest) {
    const qsizetype width = QString::number(Largest).size();
    return (Number == 0 ? QString() : QString::number(Number)).rightJustified(width);
}

} // namespace

TLineGutter::TLineGutter(QPlainTextEdit *Field, TGutterView View)
    : QWidget(Field), FField(Field), FView(std::move(View)) {
    setObjectName(QStringLiteral("lineGutter"));
    setAutoFillBackground(false);
    connect(Field, &QPlainTextEdit::updateRequest, this, [this](const QRect &Rect, int Dy) {
        if (Dy != 0)
            scroll(0, Dy);
        else
            update(0, Rect.y(), width(), Rect.height());
    });
}

QString TLineGutter::Columns(TLineNumbers Numbers, TLineNumbers Largest) {
    return Column(Numbers.First, Largest.First) + QLatin1Char(' ') +
           Column(Numbers.Second, Largest.Second);
}

QString TLineGutter::LineText(int Block) const {
    const TReportLines &lines = TReportLines::Of(FField->document());
    return Columns(lines.Numbers(Block).value_or(TLineNumbers{}), lines.Largest());
}

int TLineGutter::WidthNeeded() const {
    const TLineNumbers largest = TReportLines::Of(FField->document()).Largest();
    const qsizetype digits = Columns({}, largest).size();
    return 2 * Padding + BarWidth +
           FField->fontMetrics().horizontalAdvance(QLatin1Char('9')) * int(digits);
}

void TLineGutter::paintEvent(QPaintEvent *Event) {
    QPainter painter(this);
    painter.fillRect(Event->rect(), palette().color(QPalette::Window));
    painter.setFont(FField->font());
    // Numbers in a softer colour than the text: they are not part of it.
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const TReportLines &lines = TReportLines::Of(FField->document());
    const auto [first, last] = FView.Current();
    const int textWidth = width() - 2 * Padding - BarWidth;
    for (QTextBlock block = FView.FirstVisible(); block.isValid(); block = block.next()) {
        const QRectF rect = FView.Where(block);
        if (rect.top() > Event->rect().bottom())
            break;
        if (!block.isVisible() || rect.bottom() < Event->rect().top())
            continue;
        const int number = block.blockNumber();
        const QRect line(Padding, int(rect.top()), textWidth, int(rect.height()));
        if (const auto numbers = lines.Numbers(number))
            painter.drawText(line, Qt::AlignRight | Qt::AlignTop,
                             Columns(*numbers, lines.Largest()));
        if (number >= first && number <= last)
            painter.fillRect(width() - BarWidth, int(rect.top()), BarWidth, int(rect.height()) + 1,
                             palette().color(QPalette::Highlight));
    }
}
