#include "FileNames.h"

#include "Utf8.h"

namespace {

constexpr char16_t EscapeBase = 0xDC00; // plus the byte, for bytes 0x80 to 0xFF

} // namespace

QString DecodeFileName(std::string_view Bytes) {
    QString Name;
    Name.reserve(qsizetype(Bytes.size()));
    std::size_t Run = 0; // start of the well-formed bytes not yet taken
    const auto TakeRun = [&](std::size_t End) {
        Name += QString::fromUtf8(Bytes.data() + Run, qsizetype(End - Run));
    };
    for (std::size_t At = 0; At < Bytes.size();) {
        const auto Byte = static_cast<unsigned char>(Bytes[At]);
        const std::size_t Length = CharacterBytes(Bytes, At);
        if (Byte >= 0x80 && Length == 1) { // not part of a valid sequence
            TakeRun(At);
            Name += QChar(char16_t(EscapeBase + Byte));
            Run = At + 1;
        }
        At += Length;
    }
    TakeRun(Bytes.size());
    return Name;
}

std::string EncodeFileName(const QString &Name) {
    std::string Bytes;
    Bytes.reserve(std::size_t(Name.size()));
    qsizetype Run = 0;
    const auto TakeRun = [&](qsizetype End) { Bytes += Name.mid(Run, End - Run).toStdString(); };
    for (qsizetype At = 0; At < Name.size(); ++At) {
        const char16_t Unit = Name[At].unicode();
        if (QChar::isHighSurrogate(Unit) && At + 1 < Name.size() && Name[At + 1].isLowSurrogate()) {
            ++At; // a whole pair: a character above U+FFFF
        } else if (Unit >= EscapeBase + 0x80 && Unit <= EscapeBase + 0xFF) {
            TakeRun(At);
            Bytes += char(Unit - EscapeBase);
            Run = At + 1;
        }
    }
    TakeRun(Name.size());
    return Bytes;
}
