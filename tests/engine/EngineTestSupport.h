#pragma once

#include "TReportSink.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder below the temporary home of the test process.
inline std::filesystem::path MakeTestFolder() {
    static int Counter = 0;
    const char *Home = std::getenv("HOME");
    std::filesystem::path Folder = std::filesystem::path(Home != nullptr ? Home : "/tmp") /
                                   ("case-" + std::to_string(++Counter));
    std::filesystem::create_directories(Folder);
    return Folder;
}

// Writes Bytes to Path exactly, creating its folder.
inline void WriteBytes(const std::filesystem::path &Path, const std::string &Bytes) {
    std::filesystem::create_directories(Path.parent_path());
    std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
    Out.write(Bytes.data(), std::streamsize(Bytes.size()));
    if (!Out)
        throw std::runtime_error("cannot write " + Path.string());
}

// Lines joined with "\n" after each.
inline std::string JoinLines(const std::vector<std::string> &Lines) {
    std::string Text;
    for (const std::string &Line : Lines)
        Text += Line + "\n";
    return Text;
}

// A report that keeps every call, for whole-report checks.
class TRecordingSink : public TReportSink {
public:
    struct TLine {
        std::string Prefix;
        std::string Text;
        TLineKind Kind;
    };

    std::vector<TLine> Lines;
    std::string Status;
    int Clears = 0;
    int Deliveries = 0;
    // Throws std::runtime_error from AppendLine once this many lines are kept.
    int ThrowAfter = -1;
    // Runs inside ProcessMessages, like an event a window delivers there.
    std::function<void(std::size_t Done, std::size_t Total)> OnMessages;

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind) override {
        if (ThrowAfter >= 0 && int(Lines.size()) >= ThrowAfter)
            throw std::runtime_error("report full");
        Lines.push_back({std::string(Prefix), std::string(Text), Kind});
    }
    void Clear() override {
        Lines.clear();
        ++Clears;
    }
    void SetStatus(std::string_view Text) override { Status = Text; }
    void ProcessMessages(std::size_t Done, std::size_t Total) override {
        ++Deliveries;
        if (OnMessages)
            OnMessages(Done, Total);
    }

    // Each line as the report shows it: prefix then text.
    std::vector<std::string> Shown() const {
        std::vector<std::string> Result;
        for (const TLine &Line : Lines)
            Result.push_back(Line.Prefix + Line.Text);
        return Result;
    }
};
