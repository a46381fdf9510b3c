#include "ReportText.h"

#include <cstdint>
#include <cstring>

namespace {

// The number of characters of Bytes when they are well-formed UTF-8, else -1.
std::ptrdiff_t Utf8Length(std::string_view Bytes) {
    const auto *p = reinterpret_cast<const std::uint8_t *>(Bytes.data());
    const auto *end = p + Bytes.size();
    std::ptrdiff_t characters = 0;
    while (p < end) {
        // Eight ASCII bytes at a time: lines of plain text are the common case.
        std::uint64_t word;
        if (end - p >= 8 && (std::memcpy(&word, p, 8), (word & 0x8080808080808080u) == 0)) {
            p += 8;
            characters += 8;
            continue;
        }
        const std::uint8_t c = *p;
        ++characters;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int follow;
        std::uint8_t low = 0x80, high = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            follow = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            follow = 2;
            if (c == 0xE0)
                low = 0xA0; // overlong
            else if (c == 0xED)
                high = 0x9F; // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            follow = 3;
            if (c == 0xF0)
                low = 0x90; // overlong
            else if (c == 0xF4)
                high = 0x8F; // above U+10FFFF
        } else {
            return -1; // stray continuation byte, C0, C1 or F5 and above
        }
        if (end - p <= follow)
            return -1;
        if (p[1] < low || p[1] > high)
            return -1;
        for (int i = 2; i <= follow; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return -1;
        p += follow + 1;
    }
    return characters;
}

} // namespace

bool IsValidUtf8(std::string_view Bytes) {
    return Utf8Length(Bytes) >= 0;
}

void AppendReportText(QString &Out, std::string_view Bytes) {
    const qsizetype size = static_cast<qsizetype>(Bytes.size());
    bool ascii = true;
    for (const char c : Bytes)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    // Latin-1 maps every byte to one character: right for ASCII, and the
    // fallback for anything that is not UTF-8.
    if (ascii || !IsValidUtf8(Bytes))
        Out.append(QLatin1StringView(Bytes.data(), size));
    else
        Out.append(QString::fromUtf8(Bytes.data(), size));
}

std::size_t AppendReportTextUpTo(QString &Out, std::string_view Bytes, std::size_t Limit) {
    // Never more characters than bytes.
    if (Bytes.size() <= Limit) {
        AppendReportText(Out, Bytes);
        return 0;
    }
    const std::ptrdiff_t length = Utf8Length(Bytes);
    if (length < 0) {
        Out.append(QLatin1StringView(Bytes.data(), static_cast<qsizetype>(Limit)));
        return Bytes.size() - Limit;
    }
    if (static_cast<std::size_t>(length) <= Limit) {
        Out.append(QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
        return 0;
    }
    // The kept characters end where the character after them starts.
    std::size_t kept = 0;
    for (std::size_t chars = 0; chars < Limit; ++chars)
        do
            ++kept;
        while ((static_cast<unsigned char>(Bytes[kept]) & 0xC0) == 0x80);
    Out.append(QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(kept)));
    return static_cast<std::size_t>(length) - Limit;
}
