#include "ui/text_pieces.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <vector>

namespace waitline {

namespace {

// Where the pieces of `unit` begin, and the end of the text: ascending, from
// 0 to the text's length.
std::vector<int> PieceStarts(const QString& text, TextUnit unit)
{
    const auto length = static_cast<int>(text.size());
    std::vector<int> starts{0};
    if (unit == TextUnit::Line) {
        // A line ends after its newline.
        for (int i = 0; i < length; ++i) {
            if (text.at(i) == QLatin1Char('\n')) {
                starts.push_back(i + 1);
            }
        }
    } else {
        const QTextBoundaryFinder::BoundaryType type = unit == TextUnit::Character ? QTextBoundaryFinder::Grapheme
                                                       : unit == TextUnit::Word    ? QTextBoundaryFinder::Word
                                                                                   : QTextBoundaryFinder::Sentence;
        QTextBoundaryFinder finder(type, text);
        // Each step moves forward, and the finder ends with -1 after the
        // end of the text.
        for (qsizetype at = finder.toNextBoundary(); at > 0 && at <= length; at = finder.toNextBoundary()) {
            // Between words, only where a word begins or ends; the blanks and
            // marks in between are one piece.
            const bool edge =
                unit != TextUnit::Word ||
                (finder.boundaryReasons() & (QTextBoundaryFinder::StartOfItem | QTextBoundaryFinder::EndOfItem));
            if (edge) {
                starts.push_back(static_cast<int>(at));
            }
        }
    }
    if (starts.back() != length) {
        starts.push_back(length);
    }
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
    return starts;
}

TextPiece Piece(const QString& text, int start, int end) { return {text.mid(start, end - start), start, end}; }

}  // namespace

TextPiece PieceOfText(const QString& text, int offset, TextUnit unit, TextPlace place)
{
    const auto length = static_cast<int>(text.size());
    if (offset == -1) {
        offset = length;
    }
    if (text.isEmpty() || offset < 0 || offset > length) {
        return {};
    }
    const std::vector<int> starts = PieceStarts(text, unit);
    // The piece holding the offset is [starts[i], starts[i + 1]); at the end
    // of the text, i is the last boundary, the end itself.
    const auto i =
        static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin() - 1);
    const bool atEnd = offset == length;
    switch (place) {
    case TextPlace::At:
        if (atEnd) {
            return {};
        }
        return Piece(text, starts[i], starts[i + 1]);
    case TextPlace::Before:
        if (i == 0) {
            return {};
        }
        return Piece(text, starts[i - 1], starts[i]);
    case TextPlace::After:
        if (atEnd || i + 2 >= starts.size()) {
            return {};
        }
        return Piece(text, starts[i + 1], starts[i + 2]);
    }
    return {};
}

}  // namespace waitline
