#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Well-formed UTF-8 has no overlong form, no surrogate and nothing above
// U+10FFFF. Where bytes are not well-formed, each byte that is not part of
// a valid sequence stands for one character of its own (as Latin-1 shows it).

// Bytes of the character at S[At] (At < S.size()): a valid sequence's
// length, else 1.
std::size_t CharacterBytes(std::string_view S, std::size_t At);

// The characters of S, each byte outside a valid sequence counting as one.
std::size_t CharacterCount(std::string_view S);

// The characters of S when S is well-formed UTF-8 (plain ASCII included);
// nothing at the first byte that is not.
std::optional<std::size_t> Utf8Length(std::string_view S);

// True when S is well-formed UTF-8 (plain ASCII included).
inline bool IsValidUtf8(std::string_view S) {
    return Utf8Length(S).has_value();
}
