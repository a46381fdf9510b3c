#pragma once

#include "TReportSink.h"

#include <QString>
#include <QWidget>

class TReportField;

// The strip left of the report's text that shows, beside each line, its
// number in the first file and in the second, in two right-aligned columns
// (blank where the line is in no file), and a bar beside the lines of the
// current difference. It takes the report's font.
class TLineGutter : public QWidget {
public:
    explicit TLineGutter(TReportField *Field);

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
    TReportField *FField;
};
