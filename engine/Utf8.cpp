#include "Utf8.h"

#include <cstdint>
#include <cstring>

namespace {

// The length of the valid sequence that starts at P, whose lead byte is not
// ASCII; 0 when none does (a stray continuation byte, C0, C1, F5 and above,
// an overlong form, a surrogate, a value past U+10FFFF, a sequence cut short).
inline std::size_t SequenceBytes(const unsigned char *P, const unsigned char *End) {
    const unsigned char Lead = *P;
    std::ptrdiff_t Follow;
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
    } else {
        return 0;
    }
    if (End - P <= Follow || P[1] < Low || P[1] > High)
        return 0;
    for (std::ptrdiff_t K = 2; K <= Follow; ++K)
        if ((P[K] & 0xC0) != 0x80)
            return 0;
    return std::size_t(Follow) + 1;
}

// What a walk over the characters does at a byte outside a valid sequence.
enum class TInvalidByte { CountsAsOne, EndsTheWalk };

// The characters of S, eight ASCII bytes at a time where it can (lines of
// plain text are the common case); nothing when an invalid byte ends the walk.
template <TInvalidByte OnInvalid> std::optional<std::size_t> Walk(std::string_view S) {
    const auto *P = reinterpret_cast<const unsigned char *>(S.data());
    const auto *End = P + S.size();
    std::size_t Count = 0;
    while (P < End) {
        std::uint64_t Word;
        if (End - P >= 8 && (std::memcpy(&Word, P, 8), (Word & 0x8080808080808080u) == 0)) {
            P += 8;
            Count += 8;
            continue;
        }
        ++Count;
        if (*P < 0x80) {
            ++P;
            continue;
        }
        const std::size_t Bytes = SequenceBytes(P, End);
        if (Bytes == 0 && OnInvalid == TInvalidByte::EndsTheWalk)
            return std::nullopt;
        P += Bytes == 0 ? 1 : Bytes;
    }
    return Count;
}

} // namespace

std::size_t CharacterBytes(std::string_view S, std::size_t At) {
    const auto *P = reinterpret_cast<const unsigned char *>(S.data()) + At;
    if (*P < 0x80)
        return 1;
    const std::size_t Bytes =
        SequenceBytes(P, reinterpret_cast<const unsigned char *>(S.data() + S.size()));
    return Bytes == 0 ? 1 : Bytes;
}

std::size_t CharacterCount(std::string_view S) {
    return *Walk<TInvalidByte::CountsAsOne>(S);
}

std::optional<std::size_t> Utf8Length(std::string_view S) {
    return Walk<TInvalidByte::EndsTheWalk>(S);
}
