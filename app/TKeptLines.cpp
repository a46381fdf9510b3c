#include "TKeptLines.h"

#include "InsertLines.h"
#include "ReportKinds.h"
#include "TReportLines.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>

namespace {

const QByteArray Heading = "Tarnwell kept lines 1 ";
constexpr char KindLetters[] = "abcsh"; // by TLineKind

// A hash of bytes that tells a changed text: a word at a time, so a text of
// many megabytes takes milliseconds. It may be taken a part at a time, each
// part but the last a whole number of words long, so that a long check can
// let the event loop run between parts.
std::uint64_t HashBegin(qsizetype Size) {
    return 0x243F6A8885A308D3ull ^ std::uint64_t(Size);
}

std::uint64_t HashAdd(std::uint64_t Hash, const char *Data, qsizetype Size) {
    const qsizetype words = Size / 8;
    for (qsizetype k = 0; k < words; ++k) {
        std::uint64_t word;
        std::memcpy(&word, Data + 8 * k, 8);
        Hash = (Hash ^ word) * 0x9E3779B97F4A7C15ull;
        Hash ^= Hash >> 29;
    }
    for (qsizetype k = 8 * words; k < Size; ++k)
        Hash = (Hash ^ (unsigned char)Data[k]) * 0x100000001B3ull;
    return Hash;
}

std::uint64_t HashEnd(std::uint64_t Hash) {
    return Hash ^ (Hash >> 32);
}

std::uint64_t Hash(const QByteArray &Bytes) {
    return HashEnd(HashAdd(HashBegin(Bytes.size()), Bytes.constData(), Bytes.size()));
}

// Reads a decimal number at At, then skips one byte (the separator after it).
template <class T> bool ReadNumber(const QByteArray &Bytes, qsizetype &At, T &Value) {
    const char *end = Bytes.constData() + Bytes.size();
    const auto [next, error] = std::from_chars(Bytes.constData() + At, end, Value);
    if (error != std::errc())
        return false;
    At = next - Bytes.constData() + 1;
    return true;
}

} // namespace

QByteArray TKeptLines::Describe(QPlainTextEdit *Field, QByteArray &Text) {
    QTextDocument *document = Field->document();
    const TReportLines &lines = TReportLines::Of(document);
    Text.clear();
    QByteArray body;
    int count = 0;
    TLineNumbers largest;
    for (QTextBlock block = document->begin(); !document->isEmpty() && block.isValid();
         block = block.next(), ++count) {
        Text += block.text().toUtf8();
        Text += '\n';
        const std::optional<TLineKind> kind = BlockKind(block);
        const TLineNumbers numbers = lines.Numbers(block.blockNumber()).value_or(TLineNumbers{});
        largest = {std::max(largest.First, numbers.First),
                   std::max(largest.Second, numbers.Second)};
        body += kind ? KindLetters[int(*kind)] : '-';
        body += QByteArray::number(qulonglong(numbers.First)) + ' ' +
                QByteArray::number(qulonglong(numbers.Second));
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (IsMarked(it.fragment().charFormat()))
                body += ' ' + QByteArray::number(it.fragment().position() - block.position()) +
                        '+' + QByteArray::number(it.fragment().length());
        body += '\n';
    }
    return Heading + QByteArray::number(count) + ' ' + QByteArray::number(Text.size()) + ' ' +
           QByteArray::number(qulonglong(Hash(Text)), 16) + ' ' +
           QByteArray::number(qulonglong(Hash(body)), 16) + ' ' +
           QByteArray::number(qulonglong(largest.First)) + ' ' +
           QByteArray::number(qulonglong(largest.Second)) + '\n' + body;
}

std::optional<TKeptLines> TKeptLines::Read(QByteArray Bytes, qsizetype TextSize) {
    if (!Bytes.startsWith(Heading))
        return std::nullopt;
    const qsizetype headEnd = Bytes.indexOf('\n');
    if (headEnd < 0)
        return std::nullopt;
    const QList<QByteArray> head = Bytes.mid(Heading.size(), headEnd - Heading.size()).split(' ');
    if (head.size() != 6)
        return std::nullopt;
    bool ok[6] = {};
    TExpected expected;
    expected.Lines = head[0].toLongLong(&ok[0]);
    const qlonglong size = head[1].toLongLong(&ok[1]);
    expected.TextHash = head[2].toULongLong(&ok[2], 16);
    expected.BodyHash = head[3].toULongLong(&ok[3], 16);
    const TLineNumbers largest{head[4].toULongLong(&ok[4]), head[5].toULongLong(&ok[5])};
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool Ok) { return Ok; }) || size != TextSize)
        return std::nullopt;
    return TKeptLines(std::move(Bytes), headEnd + 1, largest, expected);
}

std::optional<bool> TKeptLines::Check(const QByteArray &Text,
                                      std::chrono::steady_clock::time_point Until, qsizetype Part) {
    const QByteArray body =
        QByteArray::fromRawData(FBytes.constData() + FBody, FBytes.size() - FBody);
    if (!FCheck)
        FCheck = TCheck{.Body = HashBegin(body.size()), .Text = HashBegin(Text.size())};
    TCheck &check = *FCheck;
    // The records first, then the text, a part at a time: at least a
    // part's worth of bytes each call, so a short text is checked in one.
    for (qsizetype done = 0;;) {
        const bool records = !check.RecordsDone;
        const QByteArray &bytes = records ? body : Text;
        if (check.At == bytes.size()) {
            if (!records)
                return HashEnd(check.Text) == FExpected.TextHash;
            if (check.Lines != FExpected.Lines || HashEnd(check.Body) != FExpected.BodyHash)
                return false;
            check.RecordsDone = true;
            check.At = 0;
            continue;
        }
        if (done >= Part && std::chrono::steady_clock::now() >= Until)
            return std::nullopt;
        const char *const data = bytes.constData() + check.At;
        const qsizetype part = std::min(Part, bytes.size() - check.At);
        if (records) {
            check.Lines += std::count(data, data + part, '\n');
            check.Body = HashAdd(check.Body, data, part);
        } else {
            check.Text = HashAdd(check.Text, data, part);
        }
        check.At += part;
        done += part;
    }
}

TKeptLines::TRecord TKeptLines::Next() {
    TRecord record;
    const qsizetype end = FBytes.indexOf('\n', FAt);
    if (FAt >= FBytes.size() || end < 0)
        return record;
    const char *letter = std::strchr(KindLetters, FBytes[FAt]);
    if (letter != nullptr && *letter != '\0')
        record.Kind = TLineKind(letter - KindLetters);
    qsizetype at = FAt + 1;
    std::size_t first = 0, second = 0;
    if (ReadNumber(FBytes, at, first) && ReadNumber(FBytes, at, second))
        record.Numbers = {first, second};
    for (qsizetype start = 0, length = 0;
         at < end && ReadNumber(FBytes, at, start) && ReadNumber(FBytes, at, length);)
        record.Marks.emplace_back(start, length);
    FAt = end + 1;
    return record;
}

void TKeptLines::Insert(QTextCursor &Cursor, const TReportKinds &Kinds, const QString &Text,
                        bool Last, QString &Inserted) {
    // Later pieces go into blocks of their own: formatting the empty last
    // block in the same edit as text after it makes the control misplace its
    // widest line, and then measure every line of the report to find it again
    // (seconds, and a text layout kept on every line).
    const bool intoCurrent = !FStarted;
    FStarted = true;
    if (FFirst < 0)
        FFirst = Cursor.document()->blockCount() - (intoCurrent ? 1 : 0);
    // A piece that is not the last ends with its last line's end.
    const QString lines = Last ? Text : Text.chopped(1);
    std::vector<TKindRun> runs;
    std::vector<TTextMark> marks;
    for (qsizetype start = 0;;) {
        qsizetype end = lines.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = lines.size();
        const TRecord record = Next();
        if (runs.empty() || runs.back().Kind != record.Kind)
            runs.push_back({record.Kind, start});
        for (const auto &[from, length] : record.Marks)
            if (record.Kind && from >= 0 && length > 0 && from + length <= end - start)
                marks.push_back({start + from, length, *record.Kind});
        FNumbers.push_back(record.Numbers);
        if (end == lines.size())
            break;
        start = end + 1;
    }
    InsertLines(Cursor, Kinds, lines, runs, marks, intoCurrent);
    if (!intoCurrent)
        Inserted += QLatin1Char('\n');
    Inserted += lines;
}

void TKeptLines::Number(QTextDocument *Document) {
    if (FFirst >= 0)
        TReportLines::Of(Document).SetNumbers(FFirst, FNumbers);
    FFirst = -1;
    FNumbers.clear();
}
