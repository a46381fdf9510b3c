#include "ReportText.h"

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

std::size_t AppendReportTextUpTo(QString &Out, std::string_view Bytes, std::size_t Limit,
                                 TKeptText *Kept) {
    // Never more characters than bytes.
    if (Bytes.size() <= Limit) {
        AppendReportText(Out, Bytes);
        return 0;
    }
    const std::optional<std::size_t> length = Utf8Length(Bytes);
    if (!length) {
        Out.append(QLatin1StringView(Bytes.data(), static_cast<qsizetype>(Limit)));
        if (Kept)
            *Kept = {Limit, false};
        return Bytes.size() - Limit;
    }
    if (*length <= Limit) {
        Out.append(QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
        return 0;
    }
    // The kept characters end where the character after them starts.
    std::size_t kept = 0;
    for (std::size_t chars = 0; chars < Limit; ++chars)
        kept += CharacterBytes(Bytes, kept);
    Out.append(QString::fromUtf8(Bytes.data(), static_cast<qsizetype>(kept)));
    if (Kept)
        *Kept = {kept, true};
    return *length - Limit;
}

qsizetype ReportTextOffset(std::string_view Bytes, std::size_t ByteOffset, bool Utf8) {
    if (!Utf8)
        return qsizetype(ByteOffset);
    // Each character is one unit but for those of four bytes, two; a
    // continuation byte starts none.
    qsizetype units = 0;
    for (std::size_t k = 0; k < ByteOffset && k < Bytes.size(); ++k) {
        const unsigned char c = static_cast<unsigned char>(Bytes[k]);
        units += (c & 0xC0) != 0x80;
        units += c >= 0xF0;
    }
    return units;
}
