#include "SettingsRootKey.h"

#include <cstddef>

namespace {

constexpr std::size_t MaxNameCharacters = 255;

// The first Count characters of a UTF-8 text; never splits a character.
std::string FirstCharacters(const std::string &Text, std::size_t Count) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const bool startsCharacter = (static_cast<unsigned char>(Text[i]) & 0xC0) != 0x80;
        if (startsCharacter && seen++ == Count)
            return Text.substr(0, i);
    }
    return Text;
}

} // namespace

std::string SettingsRootKey(const std::vector<std::string> &Arguments, int ParamIndex) {
    std::string argument;
    if (ParamIndex >= 0 && static_cast<std::size_t>(ParamIndex) < Arguments.size())
        argument = Arguments[static_cast<std::size_t>(ParamIndex)];
    if (argument.empty())
        return DefaultRootKey;
    // Slash counts beside backslash and colon, so a Unix path names its last part.
    const std::size_t separator = argument.find_last_of("\\/:");
    const std::string name =
        separator == std::string::npos ? argument : argument.substr(separator + 1);
    return std::string(OthersKey) + "\\" + FirstCharacters(name, MaxNameCharacters);
}
