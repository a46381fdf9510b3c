#pragma once

#include "TTextBlocks.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

// Reads text into text blocks: splits it into lines and hands them on. A
// line ends at CR LF, CR or LF; byte 26 ends the text; the last line needs
// no line end; a zero byte cuts its line for every later use. The bytes are
// read straight into the blocks and split in place, so a line is
// copied only when its line end is longer than one byte or it does not fit
// in what is left of a block; the blocks end up laid out exactly as if each
// line had been placed in turn in the rest of the current block, or at the
// start of a fresh one where it does not fit, and a line longer than a block
// in a block of its own.
class TLineReader {
public:
    // Hook runs after about every mebibyte read; when it returns false the
    // reading ends there (ECANCELED), keeping the lines read so far.
    // Whatever it throws ends the reading and leaves the reader with it.
    using THook = std::function<bool()>;

    // One line read: its terminated text, and the length of that text up to
    // its first zero byte.
    struct TLine {
        char *Text;
        std::size_t Length;
    };
    // Takes the lines read, in order, a batch at a time, so the tightest loop
    // makes no call per line; the texts stay where they are. std::bad_alloc
    // thrown here ends the reading with ENOMEM.
    using TAddLines = std::function<void(std::span<const TLine> Lines)>;

    TLineReader(TTextBlocks &Blocks, TAddLines AddLines, THook Hook = {});
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

    // Lines read so far that a zero byte cut.
    std::size_t CutLines() const { return FCutLines; }
    // Whether the last line read had a line end (CR LF, CR or LF), rather
    // than ending with the text or at byte 26.
    bool LastLineEnded() const { return FLastEnded; }

private:
    // Lines handed on in one call.
    static constexpr std::size_t BatchSize = 256;

    TTextBlocks &FBlocks;
    TTextBlocks::TCursor &FCursor; // the blocks'
    TAddLines FAddLines;
    THook FHook;
    int FFd = -1;                // the file read, or -1 for the bytes in memory
    std::string_view FBytes;     // the bytes in memory not yet read
    int FError = 0;              // what ended the reading, 0 when nothing did
    std::size_t FPending = 0;    // text bytes of the unfinished line, at the cursor
    std::ptrdiff_t FCut = -1;    // offset of its first zero byte; -1 while it has none
    bool FSkipLF = false;        // the last byte read was a CR that ended a line
    bool FAtEnd = false;         // byte 26, a failure or a stop: read no further
    bool FLastEnded = true;      // the last line finished had a line end
    std::size_t FCutLines = 0;   // lines finished that a zero byte cut
    char *FTaken = nullptr;      // the last block taken
    TTextBlocks::TCursor FSaved; // the cursor before the unfinished line made the
                                 // reader take that block
    std::size_t FSinceHook = 0;  // bytes read since the hook last ran
    TLine FBatch[BatchSize];     // lines split, not yet handed over
    std::size_t FBatched = 0;

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
    void EndLongLine(char *Line, char *Stop, char *End);
    // Counts Bytes read; runs the hook once a mebibyte has come in.
    void CountRead(std::size_t Bytes);
    // Batches one line whose room the cursor has passed.
    void BatchLine(char *Text, std::size_t Length) {
        FBatch[FBatched++] = {Text, Length};
        if (FBatched == BatchSize)
            FlushLines();
    }
    // Hands the batched lines on.
    void FlushLines();
};
