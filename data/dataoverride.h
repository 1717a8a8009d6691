// Values of a data file replaced for one run ("--set KEY=VALUE"): the text of the file is
// changed in memory before the section's reader parses it, so the reader's own checks and
// its echo into the check file apply; the file on disk is never touched.
//
// Keys are found in the file's text, spelled as the file spells them, matched without
// regard to letter case:
//   scalar  a line of exactly three blank-separated pieces "KEY = value": KEY=v replaces value;
//   list    a label line "KEY(I):" (or "KEY(i),...:"): KEY=a,b,c replaces the next line whole,
//           KEY(j)=v replaces its j-th comma-separated item;
//   names   a label line "A,B,C:" naming the items of the next line: B=v replaces item 2.
#pragma once
#include "data/error.h"

#include <memory>
#include <string>
#include <vector>

namespace velta {

class TextReader;

// A --set that cannot be applied: unknown key, item beyond the line, a value with blanks.
class OverrideError : public VeltaError {
public:
    using VeltaError::VeltaError;
};

struct DataOverride {
    std::string key;    // "ALFA", "IC", "XP(2)"
    std::string value;  // text put into the file
};

// "KEY=VALUE" -> override; throws OverrideError when there is no "=", no key, or the value
// holds a blank or a control character (a blank would silently cut the value short).
DataOverride parseOverride(const std::string& text);

enum class DataKeyKind { Scalar, List, Item };

struct DataKey {
    std::string name;  // as spelled in the file
    DataKeyKind kind;
    int line;  // 0-based line holding the value
    int item;  // Item: 1-based item of that line
};

// The keys of a data file's lines (bytes, line ends removed).
std::vector<DataKey> dataKeys(const std::vector<std::string>& lines);
// "MCLASS, NDIM, ..." in the order of the file, each name once.
std::string keyList(const std::vector<DataKey>& keys);

// The lines with every override applied in order. Throws OverrideError naming the key and
// listing the file's keys when a key is not in the file.
std::vector<std::string> applyOverrides(std::vector<std::string> lines, const std::vector<DataOverride>& ovs);

// Splits file bytes into lines without their ends; `ends` receives each line's end ("\r\n",
// "\n", "\r" or "" for the last line without one). joinLines puts them back.
std::vector<std::string> splitLines(const std::string& bytes, std::vector<std::string>* ends = nullptr);
std::string joinLines(const std::vector<std::string>& lines, const std::vector<std::string>& ends);

// The file's bytes with the overrides applied (ends kept as they were).
std::string overriddenText(const std::string& bytes, const std::vector<DataOverride>& ovs);

// Overrides that apply when the data file `path` is read (one file per process: the runner's
// data file). An empty list clears them.
void setDataOverrides(const std::string& path, std::vector<DataOverride> ovs);
// Forgets every override and changed text (a process that runs one point after another).
void clearDataOverrides();
// Opens a data file for reading: with overrides set for it, a reader over the changed text,
// named as the file; otherwise TextReader::open(path).
std::unique_ptr<TextReader> openDataFile(const std::string& path);

// The runner's --set: parses the KEY=VALUE texts, checks them against the file at path and
// sets them for its reading. Returns "" or why not (no "=", a blank in a value, an unknown
// key with the file's keys listed, an unreadable file).
std::string useOverrides(const std::string& path, const std::vector<std::string>& sets);
// The bytes the reader gets from path: the file with the overrides set for it.
std::string dataFileText(const std::string& path);

}  // namespace velta
