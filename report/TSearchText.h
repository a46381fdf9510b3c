#pragma once

#include <QObject>
#include <QString>
#include <QStringView>
#include <initializer_list>
#include <vector>

class QTextDocument;

// A copy of a report's text, kept beside the document (a child of it) for
// searching: reading a million lines back out of a QTextDocument takes half
// a second, longer than a search may take. The report's own insertions hand
// their text in (Known); any other change (an edit, an undo, formats
// applied) leaves its stretch to be read back from the document when a
// search first needs it, so the copy never says what the document does not.
//
// Positions are the document's. Lines are parted by one character, as in
// the document: '\n' where the text was handed in, U+2029 where it was read
// back.
class TSearchText : public QObject {
    Q_OBJECT
public:
    // The copy of Document, made on first use as a child of it. Made before
    // a change, it keeps that change's text if handed in.
    static TSearchText &Of(QTextDocument *Document);

    // Says that the document's characters from Position on are the Parts
    // joined, as just inserted. Ignored when they cannot be (they reach past
    // the document's end, or a character checked differs).
    void Known(int Position, std::initializer_list<QStringView> Parts);
    void Known(int Position, QString Text);

    // The text from From up to To (excluded), within the document's text
    // (To <= characterCount() - 1). Parts not yet known are read from the
    // document first. Valid until the next call or change.
    QStringView Text(int From, int To);

    // Characters the document turns into the end of a line when they are
    // inserted.
    static bool EndsLine(QChar Character);

    // The characters not known yet: a search reads them from the document.
    int Unread() const;

    // Stretches read back that are at most this long are read at once, when
    // they change: what the user types is known before it is searched.
    static constexpr int ReadAtOnce = 4096;
    // Neighbouring known stretches this short together are joined, so that
    // typing does not split the copy into thousands of pieces.
    static constexpr int JoinBelow = 4096;

private:
    explicit TSearchText(QTextDocument *Document);

    // Characters From to From + Length of the document: Text from Offset
    // on, or not known when Text is null.
    struct TStretch {
        int From = 0;
        int Length = 0;
        QString Text;
        qsizetype Offset = 0;
        bool Known() const { return !Text.isNull(); }
        int To() const { return From + Length; }
    };

    void ContentsChange(int Position, int Removed, int Added);
    // Forgets everything: the whole document is to be read.
    void Reset();
    // The stretch holding Position (the last one for the end).
    std::size_t At(int Position) const;
    // Makes Position the start of a stretch; the index of that stretch.
    std::size_t Split(int Position);
    // Puts Stretch in the place of the characters From to To, which it
    // becomes (positions after To move by its length less theirs).
    void Replace(int From, int To, TStretch Stretch);
    // Reads From to To from the document into the copy.
    void Read(int From, int To);
    // Joins the known stretch at Index with short known neighbours.
    void Join(std::size_t Index);

    QTextDocument *FDocument;
    std::vector<TStretch> FStretches; // in order, covering the whole document
    QString FJoined;                  // Text's answer when it spans stretches
};
