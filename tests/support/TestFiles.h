#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// The bytes of the file at Path; empty when it cannot be read.
inline std::string ReadWholeFile(const std::filesystem::path &Path) {
    std::ifstream In(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(In), {});
}

// Replaces the file at Path with Bytes, making its folders; returns the path.
inline std::string WriteBytes(const std::filesystem::path &Path, const std::string &Bytes) {
    std::filesystem::create_directories(std::filesystem::absolute(Path).parent_path());
    std::ofstream(Path, std::ios::binary) << Bytes;
    return Path.string();
}
