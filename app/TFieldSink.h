#pragma once

#include "TReportSink.h"

#include <QElapsedTimer>
#include <QString>
#include <cstddef>

class QPlainTextEdit;
class QStatusBar;

// The report window's sink: report lines go to a plain-text control, the
// status text to a status bar. Lines are buffered and handed to the control
// in one insertion right before pending events are delivered, and both
// happen only when FlushIntervalMs have passed since the last delivery (and
// always at the first step of a run). So a walk costs neither a widget update
// nor an event round per line, while a command run from the delivery (a
// Stop, "&New", a nested run) still sees every line appended so far.
class TFieldSink : public TReportSink {
public:
    TFieldSink(QPlainTextEdit *Field, QStatusBar *Status);

    void AppendLine(std::string_view Prefix, std::string_view Text, TLineKind Kind) override;
    // Drops the buffered lines and empties the control.
    void Clear() override;
    // Flushes first, so the status never runs ahead of the report.
    void SetStatus(std::string_view Text) override;
    void ProcessMessages(std::size_t Done, std::size_t Total) override;

    // Makes the next ProcessMessages deliver at once: the start of a run.
    void BeginRun();
    // Appends the buffered lines to the control now. The control's text is
    // taken as a list of lines: an empty control holds none, otherwise a new
    // line starts after its last one.
    void Flush();

    static constexpr qint64 FlushIntervalMs = 15;

    // Measurements for the benchmark: how many deliveries there were and the
    // longest time pending events waited between two of them (the buffered
    // append included). Reset by ResetStatistics, not by BeginRun.
    std::size_t Deliveries() const { return FDeliveries; }
    double LongestGapMs() const { return static_cast<double>(FLongestGapNs) / 1e6; }
    void ResetStatistics();

private:
    void ShowProgress(std::size_t Done, std::size_t Total);

    QPlainTextEdit *FField; // not owned
    QStatusBar *FStatus;    // not owned
    QString FPending;       // buffered lines, each followed by '\n'
    QElapsedTimer FSinceDelivery;
    bool FDeliverNow = true;
    int FShownPercent = -1;
    std::size_t FDeliveries = 0;
    qint64 FLongestGapNs = 0;
};
