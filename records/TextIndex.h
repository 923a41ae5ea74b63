#pragma once

#include "records/ListQuery.h"

#include <QList>
#include <QString>

// The server's text index of the list's three text filters (astext_gram's bitmaps and
// astext_new's recent grams, kept by the triggers of data/schema.sql): the records that
// may contain a typed text. It only
// narrows the records the list checks; the list's own conditions decide.

// A gram: two neighbouring letters, digits or Korean characters, as the index keeps
// them: the CP949 codes of the two characters (ASCII letters in upper case) as
// code1 * 65536 + code2.
using TextGram = quint32;

// The distinct grams of `text` (up to a NUL, as statements carry it) in the order they
// first appear. A record that contains
// the text contains each of them in the same kind of column; one character, or
// characters that are all blanks and punctuation, give none.
QList<TextGram> TextGrams(const QString& text);

// The kinds of text the index keeps, the indexes of the text filters (txtFindMemo).
enum class TextKind
{
    ScreenName = 0,
    Texts = 1,
    Company = 2
};

// How many index rows of one gram count it as common: a filter whose grams are all
// that common does not narrow the search, and the walk finds its records at once.
inline constexpr int kCommonGramRows = 2000;
// The most candidates the search checks; with more the walk is as quick.
inline constexpr int kMaxTextCandidates = 10000;

// One row per gram: kind, gram and its rows in the index (the bitmaps and the triggers'
// recent grams, each counted up to kCommonGramRows).
QString TextGramCountStatement(const QList<std::pair<TextKind, TextGram>>& grams);
// Rows (blk, bits) of the blocks whose records contain every gram of `grams` (rarest
// first) in texts of `kind`; the records whose grams could not be indexed come too.
QString TextMatchStatement(TextKind kind, const QList<TextGram>& grams);

// True when the database of the read connection holds a complete text index; asked
// once per connection (quietly: a server without it is not an error).
bool TextIndexReady();

// The plan: every record that may match the filters' texts, ascending, when the index
// narrows them; none when it does not (one character, common texts, no index), and
// the search walks as without it. The statements go through the statement functions,
// so each is logged as it is sent.
SeqRestriction FindTextCandidates(const ListFilters& filters);
