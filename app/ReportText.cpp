#include "ReportText.h"

#include <cstdint>

bool IsValidUtf8(std::string_view Bytes) {
    const auto *p = reinterpret_cast<const std::uint8_t *>(Bytes.data());
    const auto *end = p + Bytes.size();
    while (p < end) {
        const std::uint8_t c = *p;
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
            return false; // stray continuation byte, C0, C1 or F5 and above
        }
        if (end - p <= follow)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= follow; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += follow + 1;
    }
    return true;
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
