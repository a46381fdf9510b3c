#include "TChangeMarker.h"

#include <algorithm>

namespace {

bool IsOnlyIn(TLineKind Kind) {
    return Kind == TLineKind::OnlyInFirst || Kind == TLineKind::OnlyInSecond;
}

} // namespace

void TChangeMarker::Add(TLineKind Kind, std::string_view Text) {
    if (!IsOnlyIn(Kind)) {
        End();
        ++FNext;
        return;
    }
    auto &Side = Kind == TLineKind::OnlyInFirst ? FFirst : FSecond;
    Side.push_back({FNext++, std::string(Text)});
    // Past the limit the block pairs in order whatever its end brings, so
    // each pair is final as soon as both its lines are here.
    if (std::max(FFirst.size(), FSecond.size()) > SimilarityBlockLimit)
        while (FPairedInOrder < std::min(FFirst.size(), FSecond.size()))
            MarkPair(FPairedInOrder++);
}

void TChangeMarker::End() {
    if (FPairedInOrder == 0) {
        std::vector<std::string_view> First, Second;
        for (const TLine &Line : FFirst)
            First.push_back(Line.Text);
        for (const TLine &Line : FSecond)
            Second.push_back(Line.Text);
        for (const auto &[I, J] : PairBlockLines(First, Second)) {
            const TPairMarks Marks = MarkChanges(FFirst[I].Text, FSecond[J].Text);
            if (!Marks.First.empty())
                FMarked(FFirst[I].Number, FFirst[I].Text, Marks.First);
            if (!Marks.Second.empty())
                FMarked(FSecond[J].Number, FSecond[J].Text, Marks.Second);
        }
    }
    FFirst.clear();
    FSecond.clear();
    FPairedInOrder = 0;
}

void TChangeMarker::Reset() {
    FFirst.clear();
    FSecond.clear();
    FPairedInOrder = 0;
    FNext = 0;
}

void TChangeMarker::MarkPair(std::size_t K) {
    TLine &A = FFirst[K];
    TLine &B = FSecond[K];
    const TPairMarks Marks = MarkChanges(A.Text, B.Text);
    if (!Marks.First.empty())
        FMarked(A.Number, A.Text, Marks.First);
    if (!Marks.Second.empty())
        FMarked(B.Number, B.Text, Marks.Second);
    std::string().swap(A.Text);
    std::string().swap(B.Text);
}

std::vector<std::vector<TSpan>> MarkBlock(const std::vector<TLineKind> &Kinds,
                                          const std::vector<std::string_view> &Texts) {
    std::vector<std::vector<TSpan>> Spans(Texts.size());
    std::vector<std::size_t> FirstAt, SecondAt;
    std::vector<std::string_view> First, Second;
    for (std::size_t K = 0; K < Texts.size(); ++K) {
        if (Kinds[K] == TLineKind::OnlyInFirst) {
            FirstAt.push_back(K);
            First.push_back(Texts[K]);
        } else if (Kinds[K] == TLineKind::OnlyInSecond) {
            SecondAt.push_back(K);
            Second.push_back(Texts[K]);
        }
    }
    for (const auto &[I, J] : PairBlockLines(First, Second)) {
        TPairMarks Marks = MarkChanges(First[I], Second[J]);
        Spans[FirstAt[I]] = std::move(Marks.First);
        Spans[SecondAt[J]] = std::move(Marks.Second);
    }
    return Spans;
}
