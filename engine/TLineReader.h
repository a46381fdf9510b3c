#pragma once

#include "TMyStringList.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// Reads text into a line store: splits it into lines and appends them. A
// line ends at CR LF, CR or LF; byte 26 ends the text; the last line needs
// no line end; a zero byte cuts its line for every later use. The bytes are
// read straight into the store's blocks and split in place, so a line is
// copied only when its line end is longer than one byte or it does not fit
// in what is left of a block; the blocks end up laid out exactly as if every
// line had been placed by AllocText.
class TLineReader {
public:
    // Hook runs after about every mebibyte read; when it returns false the
    // reading ends there (ECANCELED), keeping the lines read so far.
    // Whatever it throws ends the reading and leaves the reader with it.
    using THook = std::function<bool()>;

    explicit TLineReader(TMyStringList &Store, THook Hook = {});
    TLineReader(const TLineReader &) = delete;
    TLineReader &operator=(const TLineReader &) = delete;

    // Appends the lines of FileName. Never throws but what the hook throws:
    // returns 0 when the file was read whole, else the errno value that
    // stopped it (ENOENT, EISDIR, EIO, ENOMEM, ECANCELED ...; ENODEV for a
    // name that is not a regular file or a directory). A name that cannot be
    // opened adds nothing; a later failure keeps the lines read so far.
    int ReadFile(const std::string &FileName);
    // The same for bytes in memory.
    int ReadBytes(std::string_view Bytes);

private:
    TMyStringList &FStore;
    THook FHook;
    int FFd = -1;                // the file read, or -1 for the bytes in memory
    std::string_view FBytes;     // the bytes in memory not yet read
    int FError = 0;              // what ended the reading, 0 when nothing did
    std::size_t FPending = 0;    // text bytes of the unfinished line, at the store's FNext
    std::ptrdiff_t FCut = -1;    // offset of its first zero byte; -1 while it has none
    bool FSkipLF = false;        // the last byte read was a CR that ended a line
    bool FAtEnd = false;         // byte 26, a failure or a stop: read no further
    char *FSavedNext = nullptr;  // the current block as it was before the unfinished
    std::int32_t FSavedFree = 0; // line made the store take a fresh one
    std::size_t FSinceHook = 0;  // bytes read since the hook last ran

    int Read(std::size_t FileSize);
    // Reads up to Size bytes to Into: the count, 0 at the end, -1 on failure.
    long ReadSome(char *Into, std::size_t Size);
    // Gives back the last Count bytes read; false when that fails.
    bool GiveBack(std::size_t Count);
    void ReadLines();
    void FinishLine();
    void ReleaseUnusedBlock();
    void SplitChunk(char *End);
    char *SplitPlainLines(char *Read, char *End);
    void ReadLongLine();
    char *TakeLongLineBlock(std::size_t &Capacity);
    void EndLongLine(char *Line, int Index, char *Stop, char *End);
    // Counts Bytes read; runs the hook once a mebibyte has come in.
    void CountRead(std::size_t Bytes);
};
