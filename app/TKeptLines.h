#pragma once

#include "TReportSink.h"

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

class QPlainTextEdit;
class QTextCursor;
class QTextDocument;
class TReportKinds;

// The kept report's second file, beside its text: what each kept line is
// (its kind, its numbers in the two files, its marked characters), so the
// report comes back as it was shown. It names the text it belongs to by its
// lines, its bytes and a hash of them: beside any other text (one written
// without it, or changed since) it is not used.
//
// The file is text: a first line "Tarnwell kept lines 1 LINES BYTES
// TEXTHASH BODYHASH LARGEST1 LARGEST2" (the greatest numbers of the two
// files), then a line a report line: a letter for the kind (a,
// b: only in the first, the second file; c common; s separator; h heading;
// - none), the two numbers (0 for none), and a START+LENGTH for each run of
// marked characters (UTF-16 units of the line).
class TKeptLines {
public:
    // The report in Field as the kept text holds it (each line in UTF-8,
    // then "\n") into Text; returns the second file for that text.
    static QByteArray Describe(QPlainTextEdit *Field, QByteArray &Text);
    // Bytes read as the second file of a text of TextSize bytes; nothing
    // when they describe a text of another size or are damaged. Whether
    // they describe the text itself, Check tells.
    static std::optional<TKeptLines> Read(QByteArray Bytes, qsizetype TextSize);
    // Checks, until Until has passed, that the lines describe Text: false
    // when they do not, true when they do, none when the check is not over
    // (the next call goes on). Hashing a text of many megabytes takes tens
    // of milliseconds: the window may show the first lines meanwhile.
    // Part bytes are hashed between looks at the clock (a multiple of 8).
    std::optional<bool> Check(const QByteArray &Text, std::chrono::steady_clock::time_point Until,
                              qsizetype Part = CheckPart);
    static constexpr qsizetype CheckPart = qsizetype(1) << 22; // a few milliseconds

    // Inserts Text, the next kept lines as DecodeKeptText gives them, at the
    // end of Cursor's document, each line in its kind's formats with its
    // marks: the first piece into the empty document's one block, each later
    // one into new blocks after it. A piece that is not the Last one ends
    // with a line end, which only parts it from the next piece. Appends to
    // Inserted the text as it went in, line ends as '\n'.
    void Insert(QTextCursor &Cursor, const TReportKinds &Kinds, const QString &Text, bool Last,
                QString &Inserted);
    // Gives the lines inserted since the last call their numbers; after the
    // edit that inserted them has ended.
    void Number(QTextDocument *Document);
    // The greatest numbers of the two files among the lines.
    TLineNumbers Largest() const { return FLargest; }
    // The count of lines they say the text has.
    qlonglong Count() const { return FExpected.Lines; }

private:
    // What the heading says of the text and the records.
    struct TExpected {
        qlonglong Lines = 0;
        std::uint64_t TextHash = 0;
        std::uint64_t BodyHash = 0;
    };
    TKeptLines(QByteArray Bytes, qsizetype Body, TLineNumbers Largest, TExpected Expected)
        : FBytes(std::move(Bytes)), FBody(Body), FAt(Body), FLargest(Largest), FExpected(Expected) {
    }

    struct TRecord {
        std::optional<TLineKind> Kind;
        TLineNumbers Numbers;
        std::vector<std::pair<qsizetype, qsizetype>> Marks; // start, length
    };
    // The next line's record; a line of no kind past the last one.
    TRecord Next();

    QByteArray FBytes;
    qsizetype FBody; // where the first record begins
    qsizetype FAt;   // where the next record begins
    TLineNumbers FLargest;
    TExpected FExpected;
    // How far Check has come: through the records, then the text.
    struct TCheck {
        bool RecordsDone = false;
        qsizetype At = 0; // bytes of the records, then of the text, checked
        qlonglong Lines = 0;
        std::uint64_t Body = 0;
        std::uint64_t Text = 0;
    };
    std::optional<TCheck> FCheck;
    bool FStarted = false; // a first piece went in
    int FFirst = -1;
    std::vector<TLineNumbers> FNumbers; // of lines inserted from block FFirst
};
