#pragma once
// How text is folded for finding: one table per choice of options that
// gives each UTF-16 code unit its folded form, so both the joke view's
// search and the preview's search in pages fold letters the same way.
//
// Case folding maps a letter to its folded case. Without accents a letter
// loses every accent its canonical decomposition carries (ǖ is u), letters
// with a stroke of their own lose it (ł is l, ø is o), and a mark that only
// carries an accent folds to 0: it is dropped. Surrogates fold to
// themselves.

#include <array>

using SearchFoldTable = std::array<char16_t, 0x10000>;

// The table for the options, made once.
const SearchFoldTable &SearchFolding(bool ignoreCase, bool ignoreAccents);
