// Lists inside one text: a line cut at a separator, a comma list of a field, blank-separated words.
#pragma once
#include <string>
#include <vector>

namespace velta {

// The pieces between the separators, empty ones kept: "a,,b" gives three, "" gives one empty piece.
std::vector<std::string> split(const std::string& s, char sep);

// The items of a comma list as typed in a field: none for an empty text, else split at ','.
std::vector<std::string> listItems(const std::string& text);

// The words of a line separated by blanks and tabs; runs of them count as one.
std::vector<std::string> words(const std::string& s);

}  // namespace velta
