#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QTextDocument;
class TSearchText;

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
    // Starts a search; an empty text finds nothing at once, and a text
    // holding a line end finds nothing.
    void Start(const TQuery &Query);
    void Cancel();
    bool Running() const { return FTimer.isActive(); }

    // The time one slice may take, and the characters of text looked at in
    // one go (whole lines: a match never spans lines).
    static constexpr int SliceMs = 8;
    static constexpr int PieceCharacters = 1 << 18;

signals:
    // The match's position and length; Wrapped when the search passed the
    // end of the report (or its start, backwards) to find it.
    void Found(int Position, int Length, bool Wrapped);
    void NotFound();

private:
    void Step();
    // Looks at the next piece of text; true when the search is over.
    bool Forward(TSearchText &Text, Qt::CaseSensitivity Case);
    bool Backward(TSearchText &Text, Qt::CaseSensitivity Case);
    // Ends the search: found at Position, or not found (Position < 0).
    void Finish(int Position);

    QPointer<QTextDocument> FDocument;
    QTimer FTimer;
    TQuery FQuery;
    // Forwards, where the next piece begins; backwards, the position the
    // next match must start before.
    int FPosition = 0;
    int FStartLineEnd = 0; // the end of the line the search began in
    bool FWrapped = false;
};
