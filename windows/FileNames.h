#pragma once

#include <QString>
#include <string>
#include <string_view>

// File names as the file system has them (bytes) and as the windows show and
// edit them (text), with nothing lost either way. Well-formed UTF-8 reads as
// its characters; each byte outside a valid sequence becomes one of the lone
// surrogates U+DC80 to U+DCFF, which turns back into that byte. So a name
// that is not valid UTF-8 reaches the engine as the bytes given, where
// QFile::encodeName(QFile::decodeName(Name)) would give the bytes of U+FFFD.
QString DecodeFileName(std::string_view Bytes);
std::string EncodeFileName(const QString &Name);
