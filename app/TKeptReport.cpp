#include "TKeptReport.h"

#include "TMyIniFile.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <vector>

namespace {

// The identifier of the report's kept text within its section.
const std::string KeptIdent = "1";
const QString LoadingKept = QStringLiteral("Loading the kept report...");
// The time one piece of the kept report may hold the event loop.
constexpr std::chrono::milliseconds FillSlice(20);
// The size of the pieces a kept report goes into its control in: a few
// milliseconds of work each, and a first one that fills a screen.
constexpr qsizetype PieceBytes = qsizetype(1) << 16;

} // namespace

TKeptTextFill::TKeptTextFill(QPlainTextEdit *RichEdit, QByteArray Bytes)
    : FRichEdit(RichEdit), FBytes(std::move(Bytes)),
      FUndo(RichEdit->document()->isUndoRedoEnabled()),
      FPolicy(RichEdit->verticalScrollBarPolicy()) {
    // The control lays out every block afresh whenever its text width
    // changes: at its first show (a resize still pending) and when its
    // vertical scroll bar appears. Over a million lines that leaves a text
    // layout object on every block, more memory than the text itself (about
    // 240 MB more, measured). So both happen while it is still empty.
    // The window's own resize, which places the control, comes first.
    RichEdit->window()->ensurePolished();
    RichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    std::vector<QWidget *> chain{RichEdit->viewport()};
    for (QWidget *widget = RichEdit; widget != nullptr; widget = widget->parentWidget())
        chain.insert(chain.begin(), widget);
    for (QWidget *widget : chain)
        if (widget->testAttribute(Qt::WA_PendingResizeEvent)) {
            QResizeEvent resize(widget->size(), QSize());
            QCoreApplication::sendEvent(widget, &resize);
            widget->setAttribute(Qt::WA_PendingResizeEvent, false);
        }
    // An undo history of the whole text would double its memory.
    RichEdit->document()->setUndoRedoEnabled(false);
    RichEdit->clear(); // and unmodified: the user has changed nothing yet
}

TKeptTextFill::~TKeptTextFill() {
    if (!FRichEdit)
        return;
    FRichEdit->document()->setUndoRedoEnabled(FUndo);
    FRichEdit->setVerticalScrollBarPolicy(FPolicy);
}

bool TKeptTextFill::Append(std::chrono::nanoseconds Budget) {
    if (!FRichEdit)
        FStart = FBytes.size();
    if (Done())
        return true;
    // In bulk: one edit block, no list of lines joined again, and no second
    // pass over every block's character format as setPlainText makes. Each
    // piece is cut after a line feed, so the text never stands in memory
    // whole a second time.
    const auto until = std::chrono::steady_clock::now() + Budget;
    // The kept text is no change of the user's; one typed meanwhile stays one.
    const bool modified = FRichEdit->document()->isModified();
    QTextCursor cursor(FRichEdit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.beginEditBlock();
    do {
        const qsizetype cut = FBytes.indexOf('\n', std::min(FStart + PieceBytes, FBytes.size()));
        const qsizetype end = cut < 0 ? FBytes.size() : cut + 1;
        cursor.insertText(
            DecodeKeptText(QByteArray::fromRawData(FBytes.constData() + FStart, end - FStart),
                           end == FBytes.size()));
        FStart = end;
    } while (!Done() && std::chrono::steady_clock::now() < until);
    cursor.endEditBlock();
    FRichEdit->document()->setModified(modified);
    if (Done())
        FBytes.clear(); // the control holds it all now
    return Done();
}

TKeptReport::TKeptReport(QPlainTextEdit *Field, QStatusBar *Status)
    : FField(Field), FStatus(Status) {
    connect(&FTimer, &QTimer::timeout, this, &TKeptReport::FillSome);
}

TKeptReport::~TKeptReport() = default;

std::string TKeptReport::Load(TMyIniFile &Store, const std::string &Section, bool Whole) {
    Drop();
    std::string skipped;
    if (auto bytes = Store.ReadRichEditBytes(Section, KeptIdent, skipped))
        FFill = std::make_unique<TKeptTextFill>(FField, std::move(*bytes));
    // A first screenful at once.
    if (FFill && (Whole || FFill->Append(std::chrono::nanoseconds(0)))) {
        Complete();
    } else if (FFill) {
        FStatus->showMessage(LoadingKept);
        FTimer.start(0);
    }
    return skipped;
}

void TKeptReport::Save(TMyIniFile &Store, const std::string &Section) {
    Complete();
    Store.WriteRichEdit(Section, KeptIdent, FField);
}

void TKeptReport::FillSome() {
    if (FFill && !FFill->Append(FillSlice))
        return;
    Drop();
}

void TKeptReport::Complete() {
    if (FFill)
        FFill->AppendAll();
    Drop();
}

void TKeptReport::Drop() {
    FTimer.stop();
    if (!FFill)
        return;
    FFill.reset();
    if (FStatus->currentMessage() == LoadingKept)
        FStatus->clearMessage();
}
