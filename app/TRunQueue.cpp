#include "TRunQueue.h"

#include "Compare.h"

#include <utility>

TRunQueue::TRunQueue(std::function<void(const TCompareRequest &)> Run, std::function<void()> Clear)
    : FRun(std::move(Run)), FClear(std::move(Clear)) {}

void TRunQueue::Run(const TCompareRequest &Request) {
    if (FRunning) {
        // The run in progress lies below on the stack: it must unwind before
        // the report can be prepared for this one.
        FWaiting = Request;
        StopRequested = true;
        return;
    }
    std::optional<TCompareRequest> next = Request;
    while (next) {
        FRunning = true;
        try {
            FRun(*next);
        } catch (...) {
            FRunning = false;
            FWaiting.reset();
            FClearAfterRun = false;
            throw;
        }
        FRunning = false;
        if (std::exchange(FClearAfterRun, false))
            FClear();
        next = std::exchange(FWaiting, std::nullopt);
    }
}

void TRunQueue::Stop() {
    if (FRunning)
        StopRequested = true;
    FWaiting.reset();
}

void TRunQueue::Clear() {
    if (FRunning) {
        Stop();
        FClearAfterRun = true;
    }
    FClear();
}
