#include "InsertLines.h"

#include "ReportKinds.h"

#include <QTextCursor>

void InsertLines(QTextCursor &Cursor, const TReportKinds &Kinds, const QString &Text,
                 const std::vector<TKindRun> &Runs, const std::vector<TTextMark> &Marks,
                 bool IntoCurrent) {
    auto mark = Marks.cbegin();
    for (std::size_t i = 0; i < Runs.size(); ++i) {
        const auto [kind, start] = Runs[i];
        // A run ends before the line end that precedes the next run.
        const qsizetype end = i + 1 < Runs.size() ? Runs[i + 1].Start - 1 : Text.size();
        const QTextCharFormat characters = kind ? Kinds.CharFormat(*kind) : QTextCharFormat();
        const QTextBlockFormat block = kind ? Kinds.BlockFormat(*kind) : QTextBlockFormat();
        if (i == 0 && IntoCurrent) {
            Cursor.setBlockFormat(block);
            Cursor.setBlockCharFormat(characters);
        } else {
            Cursor.insertBlock(block, characters);
        }
        qsizetype at = start;
        for (; mark != Marks.cend() && mark->Start < end; ++mark) {
            if (!kind || mark->Start < at)
                continue; // marks belong to lines of a kind, one after another
            Cursor.insertText(Text.mid(at, mark->Start - at), characters);
            Cursor.insertText(Text.mid(mark->Start, mark->Length), Kinds.MarkFormat(*kind));
            at = mark->Start + mark->Length;
        }
        Cursor.insertText(Text.mid(at, end - at), characters);
    }
}
