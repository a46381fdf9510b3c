#pragma once

#include "TCompareRequest.h"

#include <functional>
#include <optional>

// The report window's runs of the comparison. A run delivers pending events
// at every step, so a command may ask for another run, a stop or an empty
// report while it goes: the queue makes such a command wait until the run
// in progress has unwound, so two reports never mix.
//
// Rules: a run asked for during a run stops it and starts once it has
// unwound, and of several such requests the last wins; Stop ends the run at
// its step in progress and drops a waiting one; Clear does the same and
// empties the report again once the run has unwound (its step in progress
// appended after the first emptying).
class TRunQueue {
public:
    // Run carries out one request to the end; Clear empties the report.
    TRunQueue(std::function<void(const TCompareRequest &)> Run, std::function<void()> Clear);

    // Runs Request now, or after the run in progress.
    void Run(const TCompareRequest &Request);
    // Stops the run in progress (if any) and drops a waiting one.
    void Stop();
    // Empties the report now, and again after the run in progress, which
    // stops; a waiting run is dropped.
    void Clear();

    bool Running() const { return FRunning; }
    bool Waiting() const { return FWaiting.has_value(); }

private:
    std::function<void(const TCompareRequest &)> FRun;
    std::function<void()> FClear;
    bool FRunning = false;
    std::optional<TCompareRequest> FWaiting;
    bool FClearAfterRun = false;
};
