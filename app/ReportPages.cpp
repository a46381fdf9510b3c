#include "ReportPages.h"

#include <QAbstractTextDocumentLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextOption>
#include <memory>

int PrintReportPages(const QTextDocument &Document, QPagedPaintDevice &Device, int From, int To) {
    QPainter painter;
    if (!painter.begin(&Device))
        return -1;
    // A copy laid out for the device's resolution and page; the block formats
    // (the tints of the kinds of line) go with it.
    const std::unique_ptr<QTextDocument> copy(Document.clone());
    QTextOption option = copy->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    copy->setDefaultTextOption(option);
    QTextFrameFormat frame = copy->rootFrame()->frameFormat();
    frame.setMargin(0); // the page's own margins are the only ones
    frame.setPadding(0);
    frame.setBorder(0);
    copy->rootFrame()->setFrameFormat(frame);
    QAbstractTextDocumentLayout *layout = copy->documentLayout();
    layout->setPaintDevice(&Device);
    // The device's size is the part of the page inside the margins.
    const QSizeF page(Device.width(), Device.height());
    copy->setPageSize(page);

    const int count = copy->pageCount();
    const int first = From > 0 ? From : 1;
    const int last = To > 0 ? std::min(To, count) : count;
    int printed = 0;
    for (int number = first; number <= last; ++number) {
        if (printed > 0 && !Device.newPage())
            break;
        const QRectF shown(QPointF(0, (number - 1) * page.height()), page);
        painter.save();
        painter.translate(0, -shown.top());
        painter.setClipRect(shown);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = shown;
        // Black on paper whatever the screen's palette: a dark theme's light
        // text would not show.
        context.palette.setColor(QPalette::Text, Qt::black);
        layout->draw(&painter, context);
        painter.restore();
        ++printed;
    }
    painter.end();
    return printed;
}
