#pragma once

#include <cstddef>
#include <string>

// "Stopped at P %: the report is incomplete", the status of a run cut short
// after Done of Total steps of its walk (lines of both files, or the files of
// a folder). P is rounded down, so a run that did not finish never reads
// 100 %; it is 0 when Total is 0 (stopped before the walk began) and never
// above 100.
std::string StoppedStatus(std::size_t Done, std::size_t Total);
