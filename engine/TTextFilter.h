#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Removes the text that matches a list of Perl-compatible patterns (PCRE2,
// compiled with its JIT) from a line, before the line is compared. Each
// pattern in turn removes every non-overlapping match of its own from what
// the patterns before it left; an empty match removes nothing. Lines are
// UTF-8 where they are valid and bytes where they are not.
//
// A match that takes too long (catastrophic backtracking) is cut off by
// PCRE2's match limit: the line then keeps all its text. A filter and its
// copies share the compiled patterns; each copy has scratch room of its own.
// Not for use from two threads at once.
class TTextFilter {
public:
    // Why a pattern does not compile.
    struct TPatternError {
        std::string Pattern;
        std::string Message;    // PCRE2's, e.g. "missing closing parenthesis"
        std::size_t Offset = 0; // where in the pattern, in bytes
        // "invalid pattern 'P': MESSAGE at offset N"
        std::string Text() const;
    };

    // A filter that removes nothing.
    TTextFilter();
    ~TTextFilter();
    TTextFilter(const TTextFilter &Other);
    TTextFilter &operator=(const TTextFilter &Other);

    // Compiles Patterns, which apply in this order. When one does not
    // compile, returns why, and the filter removes nothing.
    std::optional<TPatternError> Compile(const std::vector<std::string> &Patterns);
    // The error Compile would return for Patterns, if any.
    static std::optional<TPatternError> Check(const std::vector<std::string> &Patterns);

    // Whether there is any pattern at all.
    bool Active() const { return FShared != nullptr; }

    // Sets Out to Text with the matches removed; Text must not lie in Out.
    // False when a pattern hit the match limit (or failed otherwise): Out
    // is then Text unchanged.
    bool Strip(std::string_view Text, std::string &Out) const;

private:
    struct TShared;
    std::shared_ptr<const TShared> FShared;
    struct TScratch;
    mutable std::unique_ptr<TScratch> FScratch; // made on the first Strip
};
