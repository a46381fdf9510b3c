#pragma once

#include "ChangedSpans.h"
#include "TReportSink.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

// What the tool adds to the report's text when asked (-N, --color).
struct TOutputStyle {
    // After the prefix, each line's number in the first file and in the
    // second, right-aligned to the width of that file's line count
    // (blanks where it has none), a space between, two after.
    bool LineNumbers = false;
    // A line only in the first file between ESC[31m and ESC[m, one only
    // in the second between ESC[32m and ESC[m, each marked span of them
    // between ESC[7m and ESC[27m. The lines of a difference block wait
    // until the block ends.
    bool Colour = false;
};

// The command-line tool's report: each line, then "\n", written to a file
// descriptor through one large buffer. Remembers whether any line was only
// in one file. A failed write throws TStdoutSink::TWriteFailed, which ends
// the walk; Error() keeps the reason.
class TStdoutSink : public TReportSink {
public:
    struct TWriteFailed {};

    static constexpr std::size_t DefaultBufferSize = std::size_t(1) << 18;
    explicit TStdoutSink(int Fd, std::size_t BufferSize = DefaultBufferSize,
                         TOutputStyle Style = {});
    ~TStdoutSink() override;
    TStdoutSink(const TStdoutSink &) = delete;
    TStdoutSink &operator=(const TStdoutSink &) = delete;

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override;
    // The tool's output starts empty and has no status bar or event loop;
    // the status is kept for --summary.
    void Clear() override {}
    // The end of a run: the open difference block goes out.
    void SetStatus(std::string_view Text) override {
        FStatus = Text;
        WriteBlock();
    }
    void ProcessMessages(std::size_t, std::size_t) override {}
    void FilesRead(std::size_t Lines1, std::size_t Lines2) override;

    // Writes Bytes as they are, through the buffer; throws TWriteFailed.
    void Write(std::string_view Bytes) { Put(Bytes); }
    // Writes what the buffer holds, a difference block still open first;
    // false (and Error() set) when that fails.
    bool Flush() noexcept;

    bool HasDifferences() const { return FHasDifferences; }
    // The last status set: how the run ended.
    const std::string &Status() const { return FStatus; }
    // errno of the first failed write; 0 while every write succeeded.
    int Error() const { return FError; }

private:
    int FFd;
    std::size_t FSize;
    std::unique_ptr<char[]> FBuffer;
    std::size_t FUsed = 0;
    bool FHasDifferences = false;
    int FError = 0;
    std::string FStatus;

    TOutputStyle FStyle;
    std::size_t FWidth1 = 1, FWidth2 = 1; // the number columns
    // The open difference block's lines, while colours wait for its end.
    struct TLine {
        TLineKind Kind;
        std::string Prefix, Text;
        TLineNumbers Numbers;
    };
    std::vector<TLine> FBlock;

    bool WriteAll(const char *Data, std::size_t Length) noexcept;
    void Put(std::string_view Bytes);
    void PutNumber(std::size_t Number, std::size_t Width);
    // A line with the additions of the style; Spans are its marks.
    void PutStyled(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                   TLineNumbers Numbers, const std::vector<TSpan> &Spans);
    void WriteBlock();
};
