#pragma once

#include "TReportSink.h"

#include <QRectF>
#include <QString>
#include <QTextBlock>
#include <QWidget>
#include <functional>
#include <utility>

class QPlainTextEdit;

// What the gutter asks of the text it stands beside (the report field):
// the first block in view, where a block lies in the view (viewport
// coordinates), and the block numbers of the current difference's first and
// last lines (-1 for none).
struct TGutterView {
    std::function<QTextBlock()> FirstVisible;
    std::function<QRectF(const QTextBlock &)> Where;
    std::function<std::pair<int, int>()> Current;
};

// The strip left of the report's text that shows, beside each line, its
// number in the first file and in the second, in two right-aligned columns
// (blank where the line is in no file), and a bar beside the lines of the
// current difference. It takes the report's font.
class TLineGutter : public QWidget {
public:
    TLineGutter(QPlainTextEdit *Field, TGutterView View);

    // The width both columns need for the greatest numbers in the report.
    int WidthNeeded() const;
    // What the gutter shows beside block Block: the two columns and the
    // space between them; blanks for a line in no file.
    QString LineText(int Block) const;
    // The columns for Numbers when the greatest numbers are Largest.
    static QString Columns(TLineNumbers Numbers, TLineNumbers Largest);

protected:
    void paintEvent(QPaintEvent *Event) override;

private:
    QPlainTextEdit *FField;
    TGutterView FView;
};
