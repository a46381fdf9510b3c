#pragma once

#include "TMyStringList.h"
#include "TReportSink.h"
#include "TestFiles.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder below the test process's temporary home.
inline std::filesystem::path MakeTestFolder() {
    static int Counter = 0;
    auto Folder =
        std::filesystem::path(std::getenv("HOME")) / ("case-" + std::to_string(++Counter));
    std::filesystem::create_directories(Folder);
    return Folder;
}

// Appends the lines of Bytes to Store, as reading a file of those bytes would.
inline int LoadBytes(TMyStringList &Store, std::string_view Bytes) {
    Store.LoadFromBytes(Bytes);
    return Store.LoadError();
}

// xorshift: the same numbers on every platform.
struct TRandom {
    std::uint64_t State;
    explicit TRandom(std::uint64_t Seed) : State(Seed * 0x9E3779B97F4A7C15ull + 7) {}
    unsigned Below(unsigned Limit) {
        State ^= State << 13, State ^= State >> 7, State ^= State << 17;
        return unsigned(State % Limit);
    }
};

// A report that keeps every line; it can refuse lines and run code where a
// window would deliver its pending events.
struct TRecordingSink : TReportSink {
    struct TLine {
        std::string Prefix, Text;
        TLineKind Kind;
        TLineNumbers Numbers;
    };
    std::vector<TLine> Lines;
    std::string Status;
    int Clears = 0, Deliveries = 0;
    std::size_t Files = 0; // the last count of a folder run's paths
    int ThrowAfter = -1;   // AppendLine throws once this many lines are kept
    std::function<void(std::size_t Done, std::size_t Total)> OnMessages = [](auto, auto) {};

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind,
                    TLineNumbers Numbers) override {
        if (ThrowAfter >= 0 && int(Lines.size()) >= ThrowAfter)
            throw std::runtime_error("report full");
        Lines.push_back({std::string(Prefix), std::string(Text), Kind, Numbers});
    }
    void Clear() override { Lines.clear(), ++Clears; }
    void SetStatus(std::string_view Text) override { Status = Text; }
    void ProcessMessages(std::size_t Done, std::size_t Total) override {
        ++Deliveries, OnMessages(Done, Total);
    }
    void FilesCompared(std::size_t Count) override { Files = Count; }
    // The report as shown: each line's prefix and text, then "\n".
    std::string Shown() const {
        std::string Text;
        for (const TLine &Line : Lines)
            Text += Line.Prefix + Line.Text + "\n";
        return Text;
    }
};
