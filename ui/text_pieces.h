#pragma once

#include <QString>

// A screen reader reads a text piece by piece: the character, word, sentence
// or line at the caret, before it or after it. Every answer here is found in
// one pass over the text, for any offset at all.
namespace waitline {

enum class TextUnit { Character, Word, Sentence, Line };
enum class TextPlace { Before, At, After };

// A piece of a text; "nothing" is the empty text from -1 to -1.
struct TextPiece {
    QString text;
    int start = -1;
    int end = -1;

    friend bool operator==(const TextPiece&, const TextPiece&) = default;
};

// The piece of `unit` at, before or after `offset`. The pieces lie end to end
// over the whole text: a word, then the blanks or marks up to the next word.
// Offset -1 stands for the end of the text. At the end there is no piece, but
// there is one before it; outside the text there is nothing.
TextPiece PieceOfText(const QString& text, int offset, TextUnit unit, TextPlace place);

}  // namespace waitline
