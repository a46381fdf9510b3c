#include "TRegIniFile.h"

#include "THive.h"
#include "TRegistryTransaction.h"

#include <cstddef>
#include <optional>

namespace {

constexpr long long MaxMagnitude = 2147483648LL; // one past INT_MAX, for the minus sign

int DigitValue(char Digit, int Base) {
    int value = 99;
    if (Digit >= '0' && Digit <= '9')
        value = Digit - '0';
    else if (Digit >= 'a' && Digit <= 'f')
        value = Digit - 'a' + 10;
    else if (Digit >= 'A' && Digit <= 'F')
        value = Digit - 'A' + 10;
    return value < Base ? value : -1;
}

// The magnitude of the digits from Start on; empty when there are none, a
// character is not a digit, or the number passes MaxMagnitude.
std::optional<long long> Magnitude(const std::string &Text, std::size_t Start, int Base) {
    if (Start >= Text.size())
        return std::nullopt;
    long long value = 0;
    for (std::size_t i = Start; i < Text.size(); ++i) {
        const int digit = DigitValue(Text[i], Base);
        if (digit < 0)
            return std::nullopt;
        value = value * Base + digit;
        if (value > MaxMagnitude)
            return std::nullopt;
    }
    return value;
}

// "0x1F" and "$1F" are hexadecimal; otherwise decimal with an optional sign.
// Leading spaces are skipped except before "0x"; anything after the digits,
// the empty text and values outside 32 signed bits do not convert.
std::optional<int> ParseInteger(const std::string &Text) {
    std::optional<long long> value;
    if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        value = Magnitude(Text, 2, 16);
    } else {
        std::size_t i = Text.find_first_not_of(' ');
        if (i == std::string::npos)
            return std::nullopt;
        if (Text[i] == '$') {
            value = Magnitude(Text, i + 1, 16);
        } else {
            const bool negative = Text[i] == '-';
            if (Text[i] == '-' || Text[i] == '+')
                ++i;
            value = Magnitude(Text, i, 10);
            if (value && negative)
                value = -*value;
        }
    }
    if (!value || *value > MaxMagnitude - 1)
        return std::nullopt;
    return static_cast<int>(*value);
}

// Key and value names compare without regard to ASCII case.
std::string KnownKey(const std::string &Section, const std::string &Ident) {
    std::string key = Section + '\0' + Ident;
    for (char &c : key)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return key;
}

} // namespace

// Opens a section for one access and returns to the store's key afterwards,
// also when the access throws.
class TRegIniFile::TSection {
public:
    TSection(TRegIniFile &Store, const std::string &Section, bool Create)
        : FStore(Store), FSaved(Store.SaveKey()), FOpened(Store.OpenKey(Section, Create)) {}
    ~TSection() { FStore.RestoreKey(FSaved); }
    TSection(const TSection &) = delete;
    TSection &operator=(const TSection &) = delete;

    bool Opened() const { return FOpened; }

private:
    TRegIniFile &FStore;
    TKeyState FSaved;
    bool FOpened;
};

TRegIniFile::TRegIniFile(const std::string &KeyPath)
    : FKeyPath(KeyPath), FKnownSince(THive::Instance().FailedCommits) {
    if (!OpenKey(KeyPath, true))
        CloseKey(); // sections are then taken relative to the hive
}

void TRegIniFile::Remember(const std::string &Section, const std::string &Ident,
                           const std::string &Value) {
    Remembers(Section, Ident, Value); // forgets all first when a commit failed
    FKnown[KnownKey(Section, Ident)] = Value;
}

bool TRegIniFile::Remembers(const std::string &Section, const std::string &Ident,
                            const std::string &Value) {
    if (const unsigned failed = THive::Instance().FailedCommits; failed != FKnownSince) {
        FKnown.clear();
        FKnownSince = failed;
    }
    const auto known = FKnown.find(KnownKey(Section, Ident));
    return known != FKnown.end() && known->second == Value;
}

std::string TRegIniFile::ReadString(const std::string &Section, const std::string &Ident,
                                    const std::string &Default) {
    std::string value = Default;
    {
        TSection section(*this, Section, false);
        if (section.Opened() && ValueExists(Ident))
            value = TRegistry::ReadString(Ident);
    }
    Remember(Section, Ident, value);
    return value;
}

void TRegIniFile::WriteString(const std::string &Section, const std::string &Ident,
                              const std::string &Value) {
    if (Remembers(Section, Ident, Value))
        return;
    // Creating the section and setting the value are one commit.
    TRegistryTransaction transaction;
    {
        TSection section(*this, Section, true);
        if (!section.Opened())
            throw SaveFailure();
        TRegistry::WriteString(Ident, Value);
    }
    if (!transaction.Commit())
        throw SaveFailure();
    Remember(Section, Ident, Value);
}

// Remembered as the number read, in the form WriteInteger writes it.
int TRegIniFile::ReadInteger(const std::string &Section, const std::string &Ident, int Default) {
    int value = Default;
    {
        TSection section(*this, Section, false);
        if (section.Opened() && ValueExists(Ident))
            value = ParseInteger(TRegistry::ReadString(Ident)).value_or(Default);
    }
    Remember(Section, Ident, std::to_string(value));
    return value;
}

void TRegIniFile::WriteInteger(const std::string &Section, const std::string &Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TRegIniFile::ReadBool(const std::string &Section, const std::string &Ident, bool Default) {
    const bool value = ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
    Remember(Section, Ident, value ? "1" : "0");
    return value;
}

void TRegIniFile::WriteBool(const std::string &Section, const std::string &Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSections(std::vector<std::string> &Strings) {
    Strings.clear();
    GetKeyNames(Strings);
}

void TRegIniFile::ReadSection(const std::string &Section, std::vector<std::string> &Strings) {
    Strings.clear();
    TSection section(*this, Section, false);
    if (section.Opened())
        GetValueNames(Strings);
}
