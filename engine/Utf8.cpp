#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace {

// The ASCII bytes from S[At] on, taken eight at a time: lines of plain text
// are the common case. Fewer than eight ASCII bytes count as none.
std::size_t AsciiWords(std::string_view S, std::size_t At) {
    std::size_t End = At;
    std::uint64_t Word;
    while (S.size() - End >= 8 &&
           (std::memcpy(&Word, S.data() + End, 8), (Word & 0x8080808080808080u) == 0))
        End += 8;
    return End - At;
}

} // namespace

std::size_t CharacterBytes(std::string_view S, std::size_t At) {
    const unsigned char Lead = S[At];
    std::size_t Follow = 0;
    unsigned char Low = 0x80, High = 0xBF; // the second byte's range
    if (Lead >= 0xC2 && Lead <= 0xDF) {
        Follow = 1;
    } else if (Lead >= 0xE0 && Lead <= 0xEF) {
        Follow = 2;
        Low = Lead == 0xE0 ? 0xA0 : 0x80;  // overlong
        High = Lead == 0xED ? 0x9F : 0xBF; // surrogates
    } else if (Lead >= 0xF0 && Lead <= 0xF4) {
        Follow = 3;
        Low = Lead == 0xF0 ? 0x90 : 0x80;  // overlong
        High = Lead == 0xF4 ? 0x8F : 0xBF; // above U+10FFFF
    }
    // ASCII, a stray continuation byte, C0, C1 and F5 on stand alone.
    if (Follow == 0 || At + Follow >= S.size())
        return 1;
    for (std::size_t K = 1; K <= Follow; ++K) {
        const unsigned char Byte = S[At + K];
        if (Byte < (K == 1 ? Low : 0x80) || Byte > (K == 1 ? High : 0xBF))
            return 1;
    }
    return Follow + 1;
}

std::size_t CharacterCount(std::string_view S) {
    std::size_t Count = 0;
    std::size_t At = 0;
    while (At < S.size()) {
        if (const std::size_t Ascii = AsciiWords(S, At)) {
            Count += Ascii;
            At += Ascii;
            continue;
        }
        At += CharacterBytes(S, At);
        ++Count;
    }
    return Count;
}

std::optional<std::size_t> Utf8Length(std::string_view S) {
    std::size_t Count = 0;
    std::size_t At = 0;
    while (At < S.size()) {
        if (const std::size_t Ascii = AsciiWords(S, At)) {
            Count += Ascii;
            At += Ascii;
            continue;
        }
        const std::size_t Bytes = CharacterBytes(S, At);
        if (Bytes == 1 && static_cast<unsigned char>(S[At]) >= 0x80)
            return std::nullopt;
        At += Bytes;
        ++Count;
    }
    return Count;
}
