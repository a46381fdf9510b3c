#pragma once

#include <cstddef>

class QPlainTextEdit;

// Keeps the shaped text of the long lines in view of Field, so a repaint
// draws them from what was shaped before instead of shaping every one of
// their characters again. Qt keeps a line's shaping only while laying it
// out, so each blink of the cursor on or beside a line of 100,000
// characters cost tens of milliseconds, and an idle window used several
// percent of a processor; scrolling along such a line paid the same for
// every step. At most MaxShapedLines lines are kept, those nearest the
// cursor, and a line that leaves the view or falls out of them gives its
// shaping up (about 6 MB for 100,000 characters), so the memory this takes
// is bounded whatever the report holds.
void KeepLongLinesShaped(QPlainTextEdit *Field);

// Lines of at least this many characters are kept shaped while in view.
inline constexpr int LongLineLength = 1000;
inline constexpr std::size_t MaxShapedLines = 8;
