#include "TSearchText.h"

#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>

namespace {

// One line end stands for another in the copy.
bool SameCharacter(QChar Document, QChar Copy) {
    return Document == Copy || (TSearchText::EndsLine(Document) && TSearchText::EndsLine(Copy));
}

} // namespace

bool TSearchText::EndsLine(QChar Character) {
    const char16_t c = Character.unicode();
    return c == u'\n' || c == u'\r' || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1;
}

TSearchText &TSearchText::Of(QTextDocument *Document) {
    auto *text = Document->findChild<TSearchText *>(QString(), Qt::FindDirectChildrenOnly);
    return text != nullptr ? *text : *new TSearchText(Document);
}

TSearchText::TSearchText(QTextDocument *Document) : QObject(Document), FDocument(Document) {
    // A document tells its changes only once it has a layout.
    Document->documentLayout();
    connect(Document, &QTextDocument::contentsChange, this, &TSearchText::ContentsChange);
    Reset();
}

void TSearchText::Reset() {
    FStretches.assign(1, TStretch{.From = 0, .Length = FDocument->characterCount(), .Text = {}});
}

int TSearchText::Unread() const {
    int unread = 0;
    for (const TStretch &stretch : FStretches)
        unread += stretch.Known() ? 0 : stretch.Length;
    return unread;
}

std::size_t TSearchText::At(int Position) const {
    const auto after =
        std::upper_bound(FStretches.begin(), FStretches.end(), Position,
                         [](int Value, const TStretch &Stretch) { return Value < Stretch.From; });
    return std::size_t(std::max<std::ptrdiff_t>(after - FStretches.begin() - 1, 0));
}

std::size_t TSearchText::Split(int Position) {
    if (Position >= FStretches.back().To())
        return FStretches.size();
    const std::size_t index = At(Position);
    TStretch &stretch = FStretches[index];
    if (stretch.From == Position)
        return index;
    const int left = Position - stretch.From;
    TStretch right{.From = Position,
                   .Length = stretch.Length - left,
                   .Text = stretch.Text,
                   .Offset = stretch.Known() ? stretch.Offset + left : 0};
    stretch.Length = left;
    FStretches.insert(FStretches.begin() + std::ptrdiff_t(index) + 1, std::move(right));
    return index + 1;
}

void TSearchText::Replace(int From, int To, TStretch Stretch) {
    const std::size_t first = Split(From);
    const std::size_t last = Split(To);
    const int delta = Stretch.Length - (To - From);
    FStretches.erase(FStretches.begin() + std::ptrdiff_t(first),
                     FStretches.begin() + std::ptrdiff_t(last));
    std::size_t next = first;
    if (Stretch.Length > 0) {
        Stretch.From = From;
        FStretches.insert(FStretches.begin() + std::ptrdiff_t(first), std::move(Stretch));
        ++next;
    }
    for (std::size_t k = next; k < FStretches.size(); ++k)
        FStretches[k].From += delta;
    if (next != first)
        Join(first);
}

void TSearchText::Join(std::size_t Index) {
    const auto joins = [this](const TStretch &A, const TStretch &B) {
        if (A.Known() != B.Known())
            return false;
        return !A.Known() || A.Length + B.Length <= JoinBelow;
    };
    const auto join = [this](std::size_t First) {
        TStretch &a = FStretches[First];
        const TStretch &b = FStretches[First + 1];
        if (a.Known()) {
            QString text;
            text.reserve(a.Length + b.Length);
            text.append(QStringView(a.Text).mid(a.Offset, a.Length));
            text.append(QStringView(b.Text).mid(b.Offset, b.Length));
            a.Text = std::move(text);
            a.Offset = 0;
        }
        a.Length += b.Length;
        FStretches.erase(FStretches.begin() + std::ptrdiff_t(First) + 1);
    };
    if (Index + 1 < FStretches.size() && joins(FStretches[Index], FStretches[Index + 1]))
        join(Index);
    if (Index > 0 && joins(FStretches[Index - 1], FStretches[Index]))
        join(Index - 1);
}

// The change replaced Removed characters at Position with Added ones.
void TSearchText::ContentsChange(int Position, int Removed, int Added) {
    const int total = FStretches.back().To();
    const int count = FDocument->characterCount();
    // A change that takes in the last line's end may reach one past the
    // end; one that does not add up is never trusted.
    Removed = std::min(Removed, total - Position);
    if (Position < 0 || Removed < 0 || Added < 0 || total - Removed + Added != count) {
        Reset();
        return;
    }
    Replace(Position, Position + Removed, TStretch{.From = Position, .Length = Added, .Text = {}});
    if (Added <= ReadAtOnce)
        Read(Position, Position + Added);
}

void TSearchText::Read(int From, int To) {
    if (From >= To)
        return;
    // The document's last character, past where a cursor goes, always ends
    // its last line.
    const int last = FDocument->characterCount() - 1;
    QTextCursor cursor(FDocument);
    cursor.setPosition(std::min(From, last));
    cursor.setPosition(std::min(To, last), QTextCursor::KeepAnchor);
    QString text = cursor.selectedText();
    if (To > last)
        text += QChar::ParagraphSeparator;
    // One character a position; should that ever fail, the positions after
    // must still hold, and a line end matches no search.
    text.resize(To - From, QChar::ParagraphSeparator);
    Replace(From, To, TStretch{.Length = To - From, .Text = std::move(text)});
}

void TSearchText::Known(int Position, std::initializer_list<QStringView> Parts) {
    qsizetype length = 0;
    for (QStringView part : Parts)
        length += part.size();
    QString text;
    text.reserve(length);
    for (QStringView part : Parts)
        text.append(part);
    Known(Position, std::move(text));
}

void TSearchText::Known(int Position, QString Text) {
    const qsizetype length = Text.size();
    if (Position < 0 || length <= 0 || Position + length > FStretches.back().To())
        return;
    // Characters spread over it tell a caller that is wrong about where its
    // text went.
    const qsizetype samples = std::min<qsizetype>(length, 64);
    for (qsizetype k = 0; k < samples; ++k) {
        const qsizetype at = samples == 1 ? 0 : k * (length - 1) / (samples - 1);
        if (!SameCharacter(FDocument->characterAt(Position + int(at)), Text.at(at)))
            return;
    }
    Text.squeeze(); // kept for long: no room to spare
    Replace(Position, Position + int(length),
            TStretch{.Length = int(length), .Text = std::move(Text)});
}

QStringView TSearchText::Text(int From, int To) {
    if (FStretches.back().To() != FDocument->characterCount())
        Reset(); // never seen: a change went untold
    To = std::min(To, FDocument->characterCount() - 1);
    if (From >= To)
        return {};
    const auto within = [this](int At, int Until) {
        const TStretch &stretch = FStretches[this->At(At)];
        return std::pair(&stretch, std::min(Until, stretch.To()));
    };
    for (int at = From; at < To;) {
        const auto [stretch, end] = within(at, To);
        if (!stretch->Known())
            Read(at, end);
        at = end;
    }
    const auto view = [](const TStretch &Stretch, int From, int To) {
        return QStringView(Stretch.Text).mid(Stretch.Offset + (From - Stretch.From), To - From);
    };
    if (const auto [stretch, end] = within(From, To); stretch->Known() && end == To)
        return view(*stretch, From, To);
    FJoined.clear();
    FJoined.reserve(To - From);
    for (int at = From; at < To;) {
        const auto [stretch, end] = within(at, To);
        FJoined.append(view(*stretch, at, end));
        at = end;
    }
    return FJoined;
}
