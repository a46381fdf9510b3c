#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTextDocument;

// Looks for a text in a report a slice at a time from the event loop, so a
// search through a million lines never holds the window. Past the end (or,
// backwards, the start) it wraps around, up to where it began. A search
// started while one runs replaces it.
class TReportSearch : public QObject {
    Q_OBJECT
public:
    explicit TReportSearch(QTextDocument *Document, QObject *Parent = nullptr);

    struct TQuery {
        QString Text;
        bool MatchCase = false;
        bool Backward = false;
        // A document position: forwards, the first match starting at or
        // after it; backwards, the last one starting before it.
        int From = 0;
    };
    // Starts a search; an empty text finds nothing at once.
    void Start(const TQuery &Query);
    void Cancel();
    bool Running() const { return FTimer.isActive(); }

    // The time one slice may take.
    static constexpr int SliceMs = 8;

signals:
    // The match's position and length; Wrapped when the search passed the
    // end of the report (or its start, backwards) to find it.
    void Found(int Position, int Length, bool Wrapped);
    void NotFound();

private:
    void Step();

    QPointer<QTextDocument> FDocument;
    QTimer FTimer;
    TQuery FQuery;
    int FBlock = 0;       // the block to look in next
    int FStartBlock = 0;  // where the search began
    int FStartOffset = 0; // and the position within that block
    bool FFirst = true;   // the start block has not been looked in yet
    bool FWrapped = false;
};
