#pragma once

#include "Utf8.h" // IsValidUtf8, the test AppendReportText applies

#include <QString>
#include <cstddef>
#include <string_view>

// Appends Bytes to Out as text: decoded as UTF-8 when the bytes are valid
// UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), else byte
// by byte as Latin-1. Never yields a replacement character and never drops a
// byte, so every line of a report shows in full whatever its encoding.
void AppendReportText(QString &Out, std::string_view Bytes);

// What AppendReportTextUpTo kept of a line it cut: its first Bytes bytes,
// decoded as UTF-8 when Utf8 (the whole line is), else as Latin-1.
struct TKeptText {
    std::size_t Bytes = 0;
    bool Utf8 = false;
};

// AppendReportText for at most Limit characters of Bytes (a character is a
// decoded code point, or a byte where Bytes are not UTF-8); returns how many
// characters were left out, and when some were, what was kept in *Kept.
// Only the kept part is decoded, so a line of any length costs one scan of
// its bytes.
std::size_t AppendReportTextUpTo(QString &Out, std::string_view Bytes, std::size_t Limit,
                                 TKeptText *Kept = nullptr);

// Where the character at byte ByteOffset of Bytes begins in the text
// AppendReportText makes of Bytes, in UTF-16 units. Utf8 says whether Bytes
// are well-formed UTF-8 (IsValidUtf8), and so decoded as such.
qsizetype ReportTextOffset(std::string_view Bytes, std::size_t ByteOffset, bool Utf8);
