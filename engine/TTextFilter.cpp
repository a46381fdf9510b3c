#define PCRE2_CODE_UNIT_WIDTH 8
#include "TTextFilter.h"

#include <pcre2.h>

namespace {

// How much work one search may do before it gives up: well under a
// millisecond. Ordinary patterns stay below it even on lines of a
// megabyte; a pattern that backtracks without end reaches it at once, so
// many such lines cost seconds, not hours (a line that hits it is searched
// again at each comparison).
constexpr std::uint32_t MatchLimit = 100000;
// The JIT's stack: room for patterns that nest deeply.
constexpr std::size_t JitStackStart = 32 * 1024;
constexpr std::size_t JitStackMost = 1024 * 1024;

} // namespace

struct TTextFilter::TShared {
    std::vector<pcre2_code *> Codes;
    std::vector<bool> Jitted; // the JIT compiled the pattern of the same index
    pcre2_match_context *Context = nullptr;
    pcre2_jit_stack *Stack = nullptr;

    TShared() = default;
    TShared(const TShared &) = delete;
    TShared &operator=(const TShared &) = delete;
    ~TShared() {
        for (pcre2_code *Code : Codes)
            pcre2_code_free(Code);
        pcre2_match_context_free(Context);
        pcre2_jit_stack_free(Stack);
    }
};

struct TTextFilter::TScratch {
    pcre2_match_data *Match = nullptr;
    std::string Other; // the text between two patterns
    TScratch() : Match(pcre2_match_data_create(1, nullptr)) {}
    TScratch(const TScratch &) = delete;
    TScratch &operator=(const TScratch &) = delete;
    ~TScratch() { pcre2_match_data_free(Match); }
};

std::string TTextFilter::TPatternError::Text() const {
    return "invalid pattern '" + Pattern + "': " + Message + " at offset " + std::to_string(Offset);
}

TTextFilter::TTextFilter() = default;
TTextFilter::~TTextFilter() = default;

TTextFilter::TTextFilter(const TTextFilter &Other) : FShared(Other.FShared) {}

TTextFilter &TTextFilter::operator=(const TTextFilter &Other) {
    FShared = Other.FShared;
    return *this;
}

std::optional<TTextFilter::TPatternError>
TTextFilter::Compile(const std::vector<std::string> &Patterns) {
    FShared.reset();
    if (Patterns.empty())
        return std::nullopt;
    auto Shared = std::make_shared<TShared>();
    for (const std::string &Pattern : Patterns) {
        int Error = 0;
        PCRE2_SIZE Offset = 0;
        pcre2_code *Code =
            pcre2_compile(reinterpret_cast<PCRE2_SPTR>(Pattern.data()), Pattern.size(),
                          PCRE2_UTF | PCRE2_MATCH_INVALID_UTF, &Error, &Offset, nullptr);
        if (Code == nullptr) {
            PCRE2_UCHAR Message[256];
            pcre2_get_error_message(Error, Message, sizeof Message);
            return TPatternError{Pattern, reinterpret_cast<const char *>(Message),
                                 std::size_t(Offset)};
        }
        Shared->Codes.push_back(Code);
        // Without the JIT (a platform it does not know) the interpreter works too.
        Shared->Jitted.push_back(pcre2_jit_compile(Code, PCRE2_JIT_COMPLETE) == 0);
    }
    Shared->Context = pcre2_match_context_create(nullptr);
    Shared->Stack = pcre2_jit_stack_create(JitStackStart, JitStackMost, nullptr);
    if (Shared->Context == nullptr || Shared->Stack == nullptr)
        throw std::bad_alloc();
    pcre2_set_match_limit(Shared->Context, MatchLimit);
    pcre2_jit_stack_assign(Shared->Context, nullptr, Shared->Stack);
    FShared = std::move(Shared);
    return std::nullopt;
}

std::optional<TTextFilter::TPatternError>
TTextFilter::Check(const std::vector<std::string> &Patterns) {
    return TTextFilter().Compile(Patterns);
}

bool TTextFilter::Strip(std::string_view Text, std::string &Out) const {
    if (!FShared) {
        Out.assign(Text);
        return true;
    }
    if (!FScratch)
        FScratch = std::make_unique<TScratch>();
    pcre2_match_data *Match = FScratch->Match;
    const PCRE2_SIZE *Vector = pcre2_get_ovector_pointer(Match);
    std::string_view Subject = Text;
    std::string *Target = &Out;
    for (std::size_t K = 0; K < FShared->Codes.size(); ++K) {
        const pcre2_code *Code = FShared->Codes[K];
        Target->clear();
        std::size_t Start = 0;  // where the next search begins
        std::size_t Copied = 0; // the subject up to here is in Target
        std::uint32_t Options = 0;
        for (;;) {
            const auto Bytes = reinterpret_cast<PCRE2_SPTR>(Subject.data());
            const int Result = FShared->Jitted[K]
                                   ? pcre2_jit_match(Code, Bytes, Subject.size(), Start, Options,
                                                     Match, FShared->Context)
                                   : pcre2_match(Code, Bytes, Subject.size(), Start, Options, Match,
                                                 FShared->Context);
            if (Result == PCRE2_ERROR_NOMATCH)
                break;
            if (Result < 0) {
                Out.assign(Text);
                return false;
            }
            // \K in a lookahead can put a match's start after its end: such
            // a match is taken as empty.
            const std::size_t End = Vector[1];
            const std::size_t Begin = std::min(Vector[0], End);
            if (End > Begin) {
                if (Begin > Copied)
                    Target->append(Subject.data() + Copied, Begin - Copied);
                Copied = std::max(Copied, End);
            }
            // After an empty match the next one must not be empty at the
            // same place, or the search would never move on.
            Options = End == Begin ? PCRE2_NOTEMPTY_ATSTART : 0;
            Start = End;
        }
        Target->append(Subject.data() + Copied, Subject.size() - Copied);
        Subject = *Target;
        Target = Target == &Out ? &FScratch->Other : &Out;
    }
    // The last pattern wrote to the string Target is not.
    if (Target == &Out)
        Out.swap(FScratch->Other);
    return true;
}
