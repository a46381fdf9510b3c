#include "TKeptReport.h"

#include "TMyIniFile.h"
#include "TReportLines.h"
#include "TSearchText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPlainTextEdit>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

// The identifier of the report's kept text within its section, and the
// name of the file of its lines.
const std::string KeptIdent = "1";
const std::string KeptLinesFile = "1.lines";
const QString LoadingKept = QStringLiteral("Loading the kept report...");
const QString KeptPlain = QStringLiteral("The kept report's colours could not be restored");
// The time one piece of the kept report may hold the event loop.
constexpr std::chrono::milliseconds FillSlice(20);
// More characters than a slice of the fill puts in (about 300,000).
constexpr qsizetype SliceCharacters = qsizetype(1) << 20;
// How long the fill waits for its first screen to be drawn, at most.
constexpr std::chrono::milliseconds FirstScreenWait(50);
// The size of the pieces a kept report goes into its control in: a few
// milliseconds of work each, and a first one that fills a screen.
constexpr qsizetype PieceBytes = qsizetype(1) << 16;

const QString OutOfMemoryText = QStringLiteral("Not enough memory to show the whole kept report");

// What a byte of kept text costs in the control, at most (short lines; a
// line of 16 bytes costs about 190), and the room kept beyond that.
constexpr std::size_t CostPerByte = 12;
constexpr std::size_t SpareRoom = std::size_t(32) << 20;
// How much text may go in after one look for room: what it costs stays
// well inside the spare room. Asking costs about 0.2 ms (measured).
constexpr qsizetype RoomSpan = qsizetype(1) << 20;

// Qt's text layer does not report memory that runs out: it crashes. So
// text goes in only while there is room for the document to grow by as
// much again as it has cost so far (its tables grow by doubling), with the
// Next bytes to come:
// memory that runs out shows as std::bad_alloc here, before Qt needs it.
// Where memory is not limited, asking costs an address range and nothing else.
void EnsureRoom(qsizetype Inserted, qsizetype Next) {
    const std::size_t room = (std::size_t(Inserted) + std::size_t(Next)) * CostPerByte + SpareRoom;
    void *probe = std::malloc(room);
    if (probe == nullptr)
        throw std::bad_alloc();
    std::free(probe);
}

// Where a piece that may end at From ends: after the first line end there
// (CR LF, CR or LF), never between the CR and the LF of one; the end of the
// text when no line end follows.
qsizetype PieceEnd(const QByteArray &Bytes, qsizetype From) {
    const char *const data = Bytes.constData();
    const char *const stop = data + Bytes.size();
    const char *at = std::find_if(data + From, stop, [](char C) { return C == '\n' || C == '\r'; });
    if (at == stop)
        return Bytes.size();
    if (*at == '\r' && at + 1 < stop && at[1] == '\n')
        ++at;
    return at + 1 - data;
}

} // namespace

TKeptTextFill::TKeptTextFill(QPlainTextEdit *RichEdit, QByteArray Bytes,
                             std::optional<TKeptLines> Lines)
    : FRichEdit(RichEdit), FBytes(std::move(Bytes)),
      FUndo(RichEdit->document()->isUndoRedoEnabled()),
      FPolicy(RichEdit->verticalScrollBarPolicy()), FLines(std::move(Lines)),
      FKinds(RichEdit->palette()) {
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
    // The gutter, too, takes its width while the control is empty.
    if (FLines) {
        TReportLines &lines = TReportLines::Of(RichEdit->document());
        lines.Announce(FLines->Largest());
        // The count is not checked yet: no more lines than bytes are asked
        // room for.
        lines.Reserve(std::size_t(std::clamp<qlonglong>(FLines->Count(), 0, FBytes.size())) + 1);
    }
}

TKeptTextFill::~TKeptTextFill() {
    if (!FRichEdit)
        return;
    FRichEdit->document()->setUndoRedoEnabled(FUndo);
    FRichEdit->setVerticalScrollBarPolicy(FPolicy);
}

bool TKeptTextFill::Append(std::chrono::nanoseconds Budget) {
    if (!FRichEdit) {
        FStart = FBytes.size();
        FLines.reset();
    }
    if (Done())
        return true;
    const auto until = std::chrono::steady_clock::now() + Budget;
    // Checking the lines against the text hashes all of it: the first
    // screen does not wait for that, the rest does.
    if (Unchecked() && (FStart > 0 || AllIn() || Budget > std::chrono::nanoseconds(0))) {
        if (!CheckLines(until))
            return false;
        if (Done())
            return true;
    }
    // In bulk: one edit block, no list of lines joined again, and no second
    // pass over every block's character format as setPlainText makes. Each
    // piece is cut after a line end, so the text never stands in memory
    // whole a second time.
    // The kept text is no change of the user's; one typed meanwhile stays one.
    const bool modified = FRichEdit->document()->isModified();
    QTextCursor cursor(FRichEdit->document());
    cursor.movePosition(QTextCursor::End);
    // Searches read the text from here rather than from the control.
    TSearchText &searched = TSearchText::Of(FRichEdit->document());
    const int insertedAt = cursor.position();
    // Grown piece by piece, the copy would be copied again at each growth.
    QString inserted;
    inserted.reserve(std::min(FBytes.size() - FStart, SliceCharacters) + 2);
    cursor.beginEditBlock();
    // A block left open would keep the control from ever showing the text.
    struct TEndBlock {
        QTextCursor &Cursor;
        bool Open = true;
        void End() {
            if (Open)
                Cursor.endEditBlock();
            Open = false;
        }
        ~TEndBlock() { End(); }
    } endBlock{cursor};
    do {
        const qsizetype end = PieceEnd(FBytes, std::min(FStart + PieceBytes, FBytes.size()));
        if (end > FRoomUntil) {
            const qsizetype span = std::max(RoomSpan, end - FStart);
            EnsureRoom(FStart, span);
            FRoomUntil = FStart + span;
        }
        const QString text =
            DecodeKeptText(QByteArray::fromRawData(FBytes.constData() + FStart, end - FStart),
                           end == FBytes.size());
        if (FLines) {
            FLines->Insert(cursor, FKinds, text, end == FBytes.size(), inserted);
            FOpenLine = end != FBytes.size();
        } else {
            if (std::exchange(FOpenLine, false)) {
                cursor.insertBlock();
                inserted += QLatin1Char('\n');
            }
            cursor.insertText(text);
            inserted += text;
        }
        FStart = end;
    } while (!AllIn() && std::chrono::steady_clock::now() < until);
    endBlock.End();
    searched.Known(insertedAt,
                   std::move(inserted.append(QLatin1Char('\n')))); // and the last line end
    if (FLines)
        FLines->Number(FRichEdit->document());
    FRichEdit->document()->setModified(modified);
    // A short text is checked at once (a part of the check is megabytes).
    if (AllIn() && Unchecked())
        CheckLines(until);
    if (Done())
        FBytes.clear(); // the control holds it all now
    return Done();
}

bool TKeptTextFill::CheckLines(std::chrono::steady_clock::time_point Until) {
    const std::optional<bool> describes = FLines->Check(FBytes, Until);
    if (!describes)
        return false;
    FChecked = true;
    if (!*describes)
        DropLines();
    return true;
}

void TKeptTextFill::DropLines() {
    FLines.reset();
    FDropped = true;
    QTextDocument *document = FRichEdit->document();
    const bool modified = document->isModified();
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setCharFormat(QTextCharFormat());
    document->setModified(modified);
    TReportLines &lines = TReportLines::Of(document);
    lines.SetNumbers(0, std::vector<TLineNumbers>(std::size_t(lines.Count())));
}

TKeptReport::TKeptReport(QPlainTextEdit *Field, QStatusBar *Status)
    : FField(Field), FStatus(Status) {
    connect(&FTimer, &QTimer::timeout, this, &TKeptReport::FillSome);
    Field->viewport()->installEventFilter(this);
    // Only the user's own edits reach the undo history: the fill and the
    // runs keep none.
    connect(Field->document(), &QTextDocument::undoCommandAdded, this,
            [this] { FLeaveFile = false; });
}

TKeptReport::~TKeptReport() = default;

std::string TKeptReport::Load(TMyIniFile &Store, const std::string &Section, bool Whole) {
    Drop();
    std::string skipped;
    try {
        if (auto bytes = Store.ReadRichEditBytes(Section, KeptIdent, skipped)) {
            // Its lines' file is only ever read beside it: a message about it
            // would be one too many.
            std::string unused;
            auto lines = Store.ReadKeptFile(Section, KeptLinesFile, unused);
            std::optional<TKeptLines> kept =
                lines ? TKeptLines::Read(std::move(*lines), bytes->size()) : std::nullopt;
            FPlain = !kept && !bytes->isEmpty();
            FFill = std::make_unique<TKeptTextFill>(FField, std::move(*bytes), std::move(kept));
        }
        FLeaveFile = !skipped.empty();
        // A first screenful at once.
        if (FFill && (Whole || FFill->Append(std::chrono::nanoseconds(0)))) {
            Complete();
        } else if (FFill) {
            FStatus->showMessage(LoadingKept);
            // The rest once the first screen is drawn: a piece of the fill
            // before would keep the window from showing it. A window never
            // drawn gets its fill all the same.
            FFirstScreen = true;
            FTimer.start(FirstScreenWait);
        }
    } catch (const std::bad_alloc &) {
        OutOfMemory();
    }
    return skipped;
}

// The text first: a lines' file that does not name it is not used.
void TKeptReport::Save(TMyIniFile &Store, const std::string &Section) {
    Complete();
    if (FLeaveFile)
        return;
    QByteArray text;
    const QByteArray lines = TKeptLines::Describe(FField, text);
    Store.WriteKeptFile(Section, KeptIdent + ".txt", text);
    Store.WriteKeptFile(Section, KeptLinesFile, lines);
}

void TKeptReport::RunStarts(bool Clear) {
    if (Clear)
        Drop();
    else
        Complete();
    FLeaveFile = false;
}

bool TKeptReport::eventFilter(QObject *Watched, QEvent *Event) {
    if (FFirstScreen && Event->type() == QEvent::Paint) {
        FFirstScreen = false;
        FTimer.start(0); // after this paint
    }
    return QObject::eventFilter(Watched, Event);
}

void TKeptReport::FillSome() {
    FFirstScreen = false;
    FTimer.setInterval(0);
    try {
        if (FFill && !FFill->Append(FillSlice))
            return;
    } catch (const std::bad_alloc &) {
        OutOfMemory();
        return;
    }
    Finished();
}

void TKeptReport::Complete() {
    try {
        if (FFill)
            FFill->AppendAll();
    } catch (const std::bad_alloc &) {
        OutOfMemory();
        return;
    }
    Finished();
}

void TKeptReport::Finished() {
    const bool plain = FFill && (FPlain || FFill->LinesDropped());
    Drop();
    if (plain)
        FStatus->showMessage(KeptPlain);
}

void TKeptReport::OutOfMemory() {
    Drop();
    FLeaveFile = true;
    FStatus->showMessage(OutOfMemoryText);
}

void TKeptReport::Drop() {
    FTimer.stop();
    FFirstScreen = false;
    if (!FFill)
        return;
    FFill.reset();
    FPlain = false;
    if (FStatus->currentMessage() == LoadingKept)
        FStatus->clearMessage();
}
