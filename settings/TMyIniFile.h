#pragma once

#include "TRegIniFile.h"

#include <QByteArray>
#include <QStringList>

#include <optional>
#include <string>

class QFont;
class QListWidget;
class QPlainTextEdit;
class QTreeWidget;

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
    // The bytes ReadRichEdit would put into its control, for a caller that
    // puts them in itself (a piece at a time): nothing when there is no
    // file or it is skipped, and then Skipped is ReadRichEdit's result.
    std::optional<QByteArray> ReadRichEditBytes(const std::string &Section,
                                                const std::string &Ident, std::string &Skipped);
    // Another file kept beside the texts of Section, named FileName ("1.lines"),
    // read and written as the texts are: the same checks and messages, the
    // file replaced atomically with Bytes.
    std::optional<QByteArray> ReadKeptFile(const std::string &Section, const std::string &FileName,
                                           std::string &Skipped);
    void WriteKeptFile(const std::string &Section, const std::string &FileName,
                       const QByteArray &Bytes);
    // Every style of Font (bold, italic, underline, strike-out) takes its
    // stored value; a style not stored is off.
    void ReadFont(const std::string &Section, const std::string &Ident, QFont &Font);
    void WriteFont(const std::string &Section, const std::string &Ident, const QFont &Font);
    // As ReadRichEdit, also for what it returns.
    std::string ReadTreeView(const std::string &Section, const std::string &Ident,
                             QTreeWidget *TreeView);
    void WriteTreeView(const std::string &Section, const std::string &Ident, QTreeWidget *TreeView);
};

// A kept text, or a piece of one cut after a line end, as the control's
// text: CR LF, CR and LF all become '\n'; the final line end of the Last
// piece adds no empty line.
QString DecodeKeptText(const QByteArray &Bytes, bool Last = true);

// The lines of a plain-text control exactly as shown, block by block:
// toPlainText() would turn a no-break space into a space. An empty control
// holds no line.
QStringList PlainTextLines(const QPlainTextEdit *Edit);
