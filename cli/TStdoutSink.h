#pragma once

#include "TReportSink.h"

#include <cstddef>
#include <memory>
#include <string>

// The command-line tool's report: each line, then "\n", written to a file
// descriptor through one large buffer. Remembers whether any line was only
// in one file. A failed write throws TStdoutSink::TWriteFailed, which ends
// the walk; Error() keeps the reason.
class TStdoutSink : public TReportSink {
public:
    struct TWriteFailed {};

    explicit TStdoutSink(int Fd, std::size_t BufferSize = std::size_t(1) << 18);
    ~TStdoutSink() override;
    TStdoutSink(const TStdoutSink &) = delete;
    TStdoutSink &operator=(const TStdoutSink &) = delete;

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override;
    // The tool's output starts empty and has no status bar or event loop;
    // the status is kept for --summary.
    void Clear() override {}
    void SetStatus(std::string_view Text) override { FStatus = Text; }
    void ProcessMessages(std::size_t, std::size_t) override {}

    // Writes Bytes as they are, through the buffer; throws TWriteFailed.
    void Write(std::string_view Bytes) { Put(Bytes); }
    // Writes what the buffer holds; false (and Error() set) when that fails.
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

    bool WriteAll(const char *Data, std::size_t Length) noexcept;
    void Put(std::string_view Bytes);
};
