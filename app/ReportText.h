#pragma once

#include <QString>
#include <string_view>

// Appends Bytes to Out as text: decoded as UTF-8 when the bytes are valid
// UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF), else byte
// by byte as Latin-1. Never yields a replacement character and never drops a
// byte, so every line of a report shows in full whatever its encoding.
void AppendReportText(QString &Out, std::string_view Bytes);

// True when Bytes is well-formed UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view Bytes);
