#include "TMyIniFile.h"

#include "Directories.h"
#include "TRegistryTransaction.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const std::string KeptTextRoot = "Brackwater Software\\Tarnwells";
// Pixel-sized fonts are stored in points as a 96 dpi screen shows them.
constexpr double PointsPerPixel = 72.0 / 96.0;

QString ToQString(const std::string &Text) {
    return QString::fromStdString(Text);
}

// Makes sure the folder of section's kept texts exists and returns the path
// of its file FileName. The folder is the same for every configuration.
QString KeptFilePath(const std::string &Section, const std::string &FileName) {
    EnsureDirectory(KeptTextRoot + "\\" + Section);
    std::string section = Section;
    std::replace(section.begin(), section.end(), '\\', '/');
    return ToQString(WindowsDirectory() + "/Brackwater Software/Tarnwells/" + section + "/" +
                     FileName);
}

QString KeptTextPath(const std::string &Section, const std::string &Ident) {
    return KeptFilePath(Section, Ident + ".txt");
}

// A kept text past this is not one the program wrote for a report it could show.
constexpr qint64 MaxKeptText = qint64(1) << 30;

// Asks for the memory of a large buffer not yet touched in pages of 2 MiB
// where the system has them: each page costs a fault when first written,
// and a kept report of 40 MB in pages of 4 KiB costs more time in them
// than the read itself (130 ms against 10, measured).
void PreferLargePages(QByteArray &Bytes) {
#ifdef MADV_HUGEPAGE
    constexpr qsizetype Large = qsizetype(4) << 20;
    if (Bytes.size() < Large)
        return;
    const auto page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const auto start = std::uintptr_t(Bytes.data());
    const std::uintptr_t from = (start + page - 1) / page * page;
    const std::uintptr_t to = (start + std::uintptr_t(Bytes.size())) / page * page;
    ::madvise(reinterpret_cast<void *>(from), to - from, MADV_HUGEPAGE); // only advice
#else
    (void)Bytes;
#endif
}

// The bytes of a kept text. Only a regular file (after links) of at most
// MaxKeptText bytes is read, and it is opened without blocking, so a FIFO in
// its place never hangs the program. Nothing when the file is missing; when
// it is there but not read, nothing and Why says why.
std::optional<QByteArray> ReadKeptBytes(const QString &Path, std::string &Why) {
    const int fd = ::open(QFile::encodeName(Path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            Why = std::strerror(errno);
        return std::nullopt;
    }
    std::optional<QByteArray> bytes;
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        Why = std::strerror(errno);
    else if (S_ISDIR(status.st_mode))
        Why = "it is a folder";
    else if (!S_ISREG(status.st_mode))
        Why = "it is not a regular file";
    else if (status.st_size > MaxKeptText)
        Why = "it is larger than 1 GiB";
    else
        PreferLargePages(bytes.emplace(status.st_size, Qt::Uninitialized));
    for (qsizetype done = 0; bytes && done < bytes->size();) {
        const ssize_t got = ::read(fd, bytes->data() + done, bytes->size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            Why = std::strerror(errno);
        if (got <= 0) { // an error, or the file shrank meanwhile
            bytes->truncate(got < 0 ? 0 : done);
            if (got < 0)
                bytes.reset();
            break;
        }
        done += got;
    }
    ::close(fd);
    return bytes;
}

// Names the kept text that was skipped and why; "" when nothing was skipped.
std::string SkipMessage(const QString &Path, const std::string &Why) {
    return Why.empty() ? Why : "The kept text " + Path.toStdString() + " was not loaded: " + Why;
}

// Replaces the file at once with what Write writes (false when a write
// failed); a crash or a full disk leaves the old file whole. A kept report
// holds the contents of the user's files: the file is the user's alone
// (0600), and so is its folder, also one an earlier version left open to
// others. Throws with the reason and the file name.
void WriteKept(const QString &Path, const std::function<bool(QSaveFile &)> &Write) {
    const QByteArray folder = QFile::encodeName(QFileInfo(Path).path());
    struct stat status {};
    if (::stat(folder.constData(), &status) == 0 && (status.st_mode & 077) != 0)
        ::chmod(folder.constData(), status.st_mode & 0700); // closes it, never opens it
    QSaveFile file(Path);
    const auto fail = [&](const QString &Why) {
        return ERegistryException("Cannot write file " + Path.toStdString() + ": " +
                                  Why.toStdString());
    };
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw fail(file.errorString());
    errno = 0;
    // commit() alone would not see a buffered write that failed nor a sync
    // that failed, and would put a cut file in the old one's place.
    if (!Write(file) || !file.flush() || ::fsync(file.handle()) != 0) {
        const QString why =
            errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.cancelWriting();
        throw fail(why);
    }
    if (!file.commit())
        throw fail(file.errorString());
}

// The file becomes Lines, each ended by '\n'.
void WriteLines(const QString &Path, const QStringList &Lines) {
    WriteKept(Path, [&Lines](QSaveFile &File) {
        for (const QString &line : Lines)
            if (File.write(line.toUtf8()) < 0 || File.write("\n", 1) != 1)
                return false;
        return true;
    });
}

void AppendTreeLines(QTreeWidgetItem *Item, int Depth, QStringList &Lines) {
    Lines.append(QString(Depth, QLatin1Char('\t')) + Item->text(0));
    for (int i = 0; i < Item->childCount(); ++i)
        AppendTreeLines(Item->child(i), Depth + 1, Lines);
}

} // namespace

// Stops at the first item value past the highest one stored, so a damaged
// "Count" cannot make the read run through billions of missing values.
void TMyIniFile::ReadListBox(const std::string &Section, const std::string &Ident,
                             QListWidget *ListBox) {
    ListBox->clear();
    const std::string key = Section + Ident;
    const int count = ReadInteger(key, "Count", 0);
    std::vector<std::string> names;
    ReadSection(key, names);
    int highest = 0;
    for (const std::string &name : names) {
        // Only "Item<n>" with n in plain decimal is ever read.
        if (name.size() < 5 || name.size() > 14 || name[4] == '0')
            continue;
        std::string prefix = name.substr(0, 4);
        std::transform(prefix.begin(), prefix.end(), prefix.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const std::string digits = name.substr(4);
        if (prefix != "item" || digits.find_first_not_of("0123456789") != std::string::npos)
            continue;
        highest =
            std::max(highest, static_cast<int>(std::min<long long>(std::stoll(digits), count)));
    }
    for (int i = 1; i <= std::min(count, highest); ++i) {
        const std::string item = ReadString(key, "Item" + std::to_string(i), "");
        if (!item.empty())
            ListBox->addItem(ToQString(item));
    }
}

void TMyIniFile::WriteListBox(const std::string &Section, const std::string &Ident,
                              QListWidget *ListBox) {
    const std::string key = Section + Ident;
    TRegistryTransaction transaction;
    WriteInteger(key, "Count", ListBox->count());
    for (int i = 0; i < ListBox->count(); ++i)
        WriteString(key, "Item" + std::to_string(i + 1), ListBox->item(i)->text().toStdString());
    if (!transaction.Commit())
        throw SaveFailure();
}

std::string TMyIniFile::ReadRichEdit(const std::string &Section, const std::string &Ident,
                                     QPlainTextEdit *RichEdit) {
    std::string skipped;
    if (const auto bytes = ReadRichEditBytes(Section, Ident, skipped))
        RichEdit->setPlainText(DecodeKeptText(*bytes));
    return skipped;
}

std::optional<QByteArray> TMyIniFile::ReadRichEditBytes(const std::string &Section,
                                                        const std::string &Ident,
                                                        std::string &Skipped) {
    return ReadKeptFile(Section, Ident + ".txt", Skipped);
}

std::optional<QByteArray> TMyIniFile::ReadKeptFile(const std::string &Section,
                                                   const std::string &FileName,
                                                   std::string &Skipped) {
    const QString path = KeptFilePath(Section, FileName);
    std::string why;
    auto bytes = ReadKeptBytes(path, why);
    Skipped = SkipMessage(path, why);
    return bytes;
}

void TMyIniFile::WriteKeptFile(const std::string &Section, const std::string &FileName,
                               const QByteArray &Bytes) {
    WriteKept(KeptFilePath(Section, FileName),
              [&Bytes](QSaveFile &File) { return File.write(Bytes) == Bytes.size(); });
}

void TMyIniFile::WriteRichEdit(const std::string &Section, const std::string &Ident,
                               QPlainTextEdit *RichEdit) {
    WriteLines(KeptTextPath(Section, Ident), PlainTextLines(RichEdit));
}

void TMyIniFile::ReadFont(const std::string &Section, const std::string &Ident, QFont &Font) {
    const std::string key = Section + Ident;
    Font.setFamily(ToQString(ReadString(key, "Name", "Courier New")));
    const int size = ReadInteger(key, "Size", 10);
    if (size > 0) // Qt refuses other sizes; the font keeps its own then
        Font.setPointSize(size);
    // Every style is the stored one, off when stored off or missing: a style
    // the font had before must not survive the read.
    Font.setBold(ReadBool(key, "Bold", false));
    Font.setItalic(ReadBool(key, "Italic", false));
    Font.setUnderline(ReadBool(key, "Underline", false));
    Font.setStrikeOut(ReadBool(key, "StrikeOut", false));
}

void TMyIniFile::WriteFont(const std::string &Section, const std::string &Ident,
                           const QFont &Font) {
    const std::string key = Section + Ident;
    const int size = Font.pointSize() > 0
                         ? Font.pointSize()
                         : static_cast<int>(std::lround(Font.pixelSize() * PointsPerPixel));
    TRegistryTransaction transaction;
    WriteString(key, "Name", Font.family().toStdString());
    WriteInteger(key, "Size", size);
    WriteBool(key, "Bold", Font.bold());
    WriteBool(key, "Italic", Font.italic());
    WriteBool(key, "Underline", Font.underline());
    WriteBool(key, "StrikeOut", Font.strikeOut());
    if (!transaction.Commit())
        throw SaveFailure();
}

// A line's leading TABs or spaces give its depth; a line more than one level
// deeper than the one before ends the read, keeping the nodes built so far.
std::string TMyIniFile::ReadTreeView(const std::string &Section, const std::string &Ident,
                                     QTreeWidget *TreeView) {
    const QString path = KeptTextPath(Section, Ident);
    std::string why;
    const auto bytes = ReadKeptBytes(path, why);
    if (!bytes)
        return SkipMessage(path, why);
    TreeView->clear();
    const QStringList lines =
        bytes->isEmpty() ? QStringList() : DecodeKeptText(*bytes).split(QLatin1Char('\n'));
    std::vector<QTreeWidgetItem *> parents; // the last node at each depth
    for (const QString &line : lines) {
        qsizetype depth = 0;
        while (depth < line.size() && (line[depth] == QLatin1Char('\t') || line[depth] == ' '))
            ++depth;
        if (depth > static_cast<qsizetype>(parents.size()))
            break;
        parents.resize(static_cast<std::size_t>(depth));
        auto *node = new QTreeWidgetItem(QStringList(line.mid(depth)));
        if (parents.empty())
            TreeView->addTopLevelItem(node);
        else
            parents.back()->addChild(node);
        parents.push_back(node);
    }
    return "";
}

void TMyIniFile::WriteTreeView(const std::string &Section, const std::string &Ident,
                               QTreeWidget *TreeView) {
    QStringList lines;
    for (int i = 0; i < TreeView->topLevelItemCount(); ++i)
        AppendTreeLines(TreeView->topLevelItem(i), 0, lines);
    WriteLines(KeptTextPath(Section, Ident), lines);
}

// In one pass, in place.
QString DecodeKeptText(const QByteArray &Bytes, bool Last) {
    QString text = QString::fromUtf8(Bytes);
    QChar *chars = text.data();
    qsizetype kept = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (chars[i] != QLatin1Char('\r')) {
            chars[kept++] = chars[i];
            continue;
        }
        chars[kept++] = QLatin1Char('\n');
        if (i + 1 < text.size() && chars[i + 1] == QLatin1Char('\n'))
            ++i;
    }
    text.truncate(kept);
    if (Last && text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QStringList PlainTextLines(const QPlainTextEdit *Edit) {
    QStringList lines;
    const QTextDocument *document = Edit->document();
    if (!document->isEmpty())
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
            lines.append(block.text());
    return lines;
}
