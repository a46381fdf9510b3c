#pragma once

#include "TReportSink.h"

#include <QString>
#include <optional>
#include <vector>

class QTextCursor;
class TReportKinds;

// Where a run of lines of one kind starts in a text of lines; a run of no
// kind (lines typed into a report) is plain.
struct TKindRun {
    std::optional<TLineKind> Kind;
    qsizetype Start;
};

// Characters marked as changed, by position in a text of lines.
struct TTextMark {
    qsizetype Start;
    qsizetype Length;
    TLineKind Kind;
};

// Inserts Text, lines parted by '\n' (none after the last), at Cursor: each
// run of Runs in its kind's formats, the characters of Marks (in order) in
// the mark format. The first run goes into Cursor's block when IntoCurrent
// (an empty block, whose old formats it replaces), else into a new block
// after it. One insertion a run, or a part of a run between marks.
void InsertLines(QTextCursor &Cursor, const TReportKinds &Kinds, const QString &Text,
                 const std::vector<TKindRun> &Runs, const std::vector<TTextMark> &Marks,
                 bool IntoCurrent);
