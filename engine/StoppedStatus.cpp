#include "StoppedStatus.h"

#include <algorithm>

std::string StoppedStatus(std::size_t Done, std::size_t Total) {
    // Steps are lines or files: far too few for the product to overflow.
    const std::size_t Percent = Total == 0 ? 0 : std::min(Done, Total) * 100 / Total;
    return "Stopped at " + std::to_string(Percent) + " %: the report is incomplete";
}
