#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// A file to open: Name in the folder open as At, or a whole name with At
// AT_FDCWD. Opening through the folder spares the system the walk along
// the whole name, once for each of a tree's files.
struct TFileAt {
    int At;
    const char *Name;
};

// How the bytes of two files compare.
enum class TContents {
    Same,          // equal byte for byte
    TextDiffers,   // different, and neither is binary
    BinaryDiffers, // different, and at least one of them is binary
    Unreadable,    // one could not be opened or read
    Stopped,       // the hook asked to stop before the end
};

// Compares two regular files byte for byte, the cheap test that spares
// identical files the line walk, and tells whether either is binary: a zero
// byte among its first BinaryBytes bytes. Reads a chunk of each at a time
// and stops at the first chunk that differs; files larger than a chunk and
// of different sizes differ after their first chunks. Its two buffers
// serve every check.
class TContentCheck {
public:
    static constexpr std::size_t BinaryBytes = 8000;
    static constexpr std::size_t ChunkBytes = std::size_t(64) << 10;

    struct TResult {
        TContents Contents = TContents::Same;
        int Error = 0;             // Unreadable: the errno value (ENODEV: not a regular file)
        bool SecondFailed = false; // Unreadable: the second file gave Error
    };

    TContentCheck();
    ~TContentCheck();
    TContentCheck(const TContentCheck &) = delete;
    TContentCheck &operator=(const TContentCheck &) = delete;

    // Hook runs before each further chunk, so a window can deliver its
    // events during a long check; returning false stops it.
    TResult Check(TFileAt File1, TFileAt File2, const std::function<bool()> &Hook);
    // The same for two whole files already read: Same, TextDiffers or
    // BinaryDiffers.
    static TContents Compare(std::string_view Bytes1, std::string_view Bytes2);

private:
    // Files checked are closed KeptFiles at a time, a run of consecutive
    // descriptors with one call: a tree's thousands of files would otherwise
    // cost as many calls again.
    static constexpr std::size_t KeptFiles = 64;

    std::unique_ptr<char[]> FBuffer; // two chunks, one for each file
    std::vector<int> FKept;          // descriptors of checked files not yet closed

    // Takes Fd (if any) among the descriptors to close.
    void Keep(int Fd);
    void CloseKept();
};
