#pragma once

#include "TRegIniFile.h"

#include <QByteArray>
#include <QPointer>
#include <QStringList>

#include <chrono>
#include <memory>
#include <string>

class QFont;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;
class TKeptTextFill;

// The settings store of a persistent window: the registry-ini layer plus
// readers and writers that persist a whole control in one call. List boxes
// and fonts live in the subkey Section+Ident (no separator between them);
// the texts of plain-text edits and tree views live in
// WindowsDirectory()/Brackwater Software/Tarnwells/<Section>/<Ident>.txt,
// the same file for every configuration.
class TMyIniFile : public TRegIniFile {
public:
    using TRegIniFile::TRegIniFile;

    void ReadListBox(const std::string &Section, const std::string &Ident, QListWidget *ListBox);
    void WriteListBox(const std::string &Section, const std::string &Ident, QListWidget *ListBox);
    // Reading takes only a regular file (after links) of at most 1 GiB, and
    // never blocks on a FIFO. Returns "" when the text was read or there is
    // no file; otherwise leaves the text as it was and returns the message
    // for the user, naming the file and the reason ("The kept text <file>
    // was not loaded: it is not a regular file"). Never throws for a read.
    // Writing replaces the file atomically, mode 0600 in a folder of mode
    // 0700, and throws ERegistryException with the reason when it cannot.
    [[nodiscard]] std::string ReadRichEdit(const std::string &Section, const std::string &Ident,
                                           QPlainTextEdit *RichEdit);
    void WriteRichEdit(const std::string &Section, const std::string &Ident,
                       QPlainTextEdit *RichEdit);
    // The same read, for RichEdit to take a piece at a time: empties it and
    // returns the fill, or returns none when ReadRichEdit would change
    // nothing, with Skipped set as its result.
    std::unique_ptr<TKeptTextFill> OpenRichEdit(const std::string &Section,
                                                const std::string &Ident, QPlainTextEdit *RichEdit,
                                                std::string &Skipped);
    // Every style of Font (bold, italic, underline, strike-out) takes its
    // stored value; a style not stored is off.
    void ReadFont(const std::string &Section, const std::string &Ident, QFont &Font);
    void WriteFont(const std::string &Section, const std::string &Ident, const QFont &Font);
    // As ReadRichEdit, also for what it returns.
    std::string ReadTreeView(const std::string &Section, const std::string &Ident,
                             QTreeWidget *TreeView);
    void WriteTreeView(const std::string &Section, const std::string &Ident, QTreeWidget *TreeView);
};

// Puts a kept text into its control a piece at a time, each piece ending at a
// line end, so a long text can be on screen, and its window live, before all
// of it is in. The control keeps no undo history until the fill ends, all in
// or dropped; what was put in stays.
class TKeptTextFill {
public:
    TKeptTextFill(QPlainTextEdit *RichEdit, QByteArray Bytes);
    ~TKeptTextFill();
    TKeptTextFill(const TKeptTextFill &) = delete;
    TKeptTextFill &operator=(const TKeptTextFill &) = delete;

    // Appends pieces at the end of the text until Budget has passed, at
    // least one; true once the text is all in.
    bool Append(std::chrono::nanoseconds Budget);
    void AppendAll() {
        while (!Append(std::chrono::hours(1))) {
        }
    }
    bool Done() const { return FStart >= FBytes.size(); }

private:
    QPointer<QPlainTextEdit> FRichEdit;
    QByteArray FBytes;
    qsizetype FStart = 0;
    bool FUndo;
    Qt::ScrollBarPolicy FPolicy;
};

// The lines of a plain-text control exactly as shown, block by block:
// toPlainText() would turn a no-break space into a space. An empty control
// holds no line.
QStringList PlainTextLines(const QPlainTextEdit *Edit);
