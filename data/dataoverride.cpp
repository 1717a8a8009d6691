#include "data/dataoverride.h"

#include "data/textfile.h"
#include "data/textlist.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace velta {

namespace {

bool isName(const std::string& s) {
    if (s.empty() || !(std::isalpha(static_cast<unsigned char>(s[0])) || s[0] == '_')) return false;
    for (char ch : s)
        if (!(std::isalnum(static_cast<unsigned char>(ch)) || ch == '_')) return false;
    return true;
}

std::string upper(std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

std::string join(const std::vector<std::string>& parts, char sep) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) s += sep;
        s += parts[i];
    }
    return s;
}

// "KEY(I)" -> "KEY"; "" when the text is not a name with one bracketed index.
std::string indexedName(const std::string& s) {
    const auto open = s.find('(');
    if (open == std::string::npos || s.back() != ')' || s.find('(', open + 1) != std::string::npos) return {};
    const std::string name = s.substr(0, open), index = s.substr(open + 1, s.size() - open - 2);
    return isName(name) && !index.empty() && isName("x" + index) ? name : std::string();
}

// A label line "…:" of a list: its key names (one for "KEY(I):", several for "A,B:").
std::vector<std::string> listLabel(std::string s, bool& named) {
    named = false;
    if (s.size() < 2 || s.back() != ':') return {};
    s.pop_back();
    if (s.size() > 4 && s.compare(s.size() - 4, 4, ",...") == 0) s.resize(s.size() - 4);
    if (const std::string n = indexedName(s); !n.empty()) return {n};
    const auto names = split(s, ',');
    for (const auto& n : names)
        if (!isName(n)) return {};
    named = names.size() > 1;
    return names;
}

std::map<std::string, std::vector<DataOverride>>& registry() {
    static std::map<std::string, std::vector<DataOverride>> r;
    return r;
}

// The changed texts the readers read from, one per file, kept until the file is opened again.
std::map<std::string, std::unique_ptr<std::istringstream>>& texts() {
    static std::map<std::string, std::unique_ptr<std::istringstream>> t;
    return t;
}

}  // namespace

DataOverride parseOverride(const std::string& text) {
    const auto eq = text.find('=');
    if (eq == std::string::npos || eq == 0)
        throw OverrideError("--set needs KEY=VALUE, got \"" + text + "\"");
    DataOverride o{text.substr(0, eq), text.substr(eq + 1)};
    for (char ch : o.value)
        if (ch == ' ' || static_cast<unsigned char>(ch) < 0x20)
            throw OverrideError("--set " + o.key + ": the value \"" + o.value +
                                "\" holds a blank or a control character");
    if (o.value.empty()) throw OverrideError("--set " + o.key + ": the value is empty");
    return o;
}

std::vector<DataKey> dataKeys(const std::vector<std::string>& lines) {
    std::vector<DataKey> keys;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        const auto pieces = split(l, ' ');
        if (pieces.size() == 3 && pieces[1] == "=" && isName(pieces[0])) {
            keys.push_back({pieces[0], DataKeyKind::Scalar, static_cast<int>(i), 0});
            continue;
        }
        bool named = false;
        const auto names = listLabel(l, named);
        if (names.empty() || i + 1 >= lines.size()) continue;
        const int valueLine = static_cast<int>(i + 1);
        if (!named) keys.push_back({names[0], DataKeyKind::List, valueLine, 0});
        else
            for (std::size_t k = 0; k < names.size(); ++k)
                keys.push_back({names[k], DataKeyKind::Item, valueLine, static_cast<int>(k + 1)});
    }
    return keys;
}

std::string keyList(const std::vector<DataKey>& keys) {
    std::vector<std::string> seen;
    for (const auto& k : keys) {
        bool dup = false;
        for (const auto& s : seen) dup = dup || upper(s) == upper(k.name);
        if (!dup) seen.push_back(k.name);
    }
    std::string s;
    for (std::size_t i = 0; i < seen.size(); ++i) s += (i ? ", " : "") + seen[i];
    return s;
}

std::vector<std::string> applyOverrides(std::vector<std::string> lines,
                                        const std::vector<DataOverride>& ovs) {
    const auto keys = dataKeys(lines);
    for (const auto& o : ovs) {
        // "KEY(j)" addresses item j of a list.
        std::string name = o.key;
        int item = 0;
        if (const std::string n = indexedName(o.key); !n.empty()) {
            const std::string idx = o.key.substr(n.size() + 1, o.key.size() - n.size() - 2);
            if (idx.find_first_not_of("0123456789") != std::string::npos || idx.size() > 4 ||
                std::stoi(idx) < 1)
                throw OverrideError("--set " + o.key + ": the item number must be a whole number from 1");
            name = n;
            item = std::stoi(idx);
        }
        bool applied = false;
        for (const auto& k : keys) {
            if (upper(k.name) != upper(name)) continue;
            std::string& line = lines[static_cast<std::size_t>(k.line)];
            if (k.kind == DataKeyKind::Scalar) {
                if (item)
                    throw OverrideError("--set " + o.key + ": " + k.name + " is a single value, not a list");
                line = k.name + " = " + o.value;
            } else if (k.kind == DataKeyKind::List && !item) {
                line = o.value;
            } else {
                if (k.kind == DataKeyKind::Item && item)
                    throw OverrideError("--set " + o.key + ": " + k.name + " is one item of a list");
                const int j = k.kind == DataKeyKind::Item ? k.item : item;
                auto parts = split(line, ',');
                if (j > static_cast<int>(parts.size()))
                    throw OverrideError("--set " + o.key + ": the line of " + k.name + " holds " +
                                        std::to_string(parts.size()) + " item(s)");
                parts[static_cast<std::size_t>(j - 1)] = o.value;
                line = join(parts, ',');
            }
            applied = true;
        }
        if (!applied)
            throw OverrideError("unknown key " + o.key + "; the keys of this data file: " + keyList(keys));
    }
    return lines;
}

std::vector<std::string> splitLines(const std::string& bytes, std::vector<std::string>* ends) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t p = bytes.find_first_of("\r\n", start);
        if (p == std::string::npos) {
            lines.push_back(bytes.substr(start));
            if (ends) ends->push_back("");
            break;
        }
        lines.push_back(bytes.substr(start, p - start));
        const std::size_t len = bytes[p] == '\r' && p + 1 < bytes.size() && bytes[p + 1] == '\n' ? 2 : 1;
        if (ends) ends->push_back(bytes.substr(p, len));
        start = p + len;
    }
    return lines;
}

std::string joinLines(const std::vector<std::string>& lines, const std::vector<std::string>& ends) {
    std::string s;
    for (std::size_t i = 0; i < lines.size(); ++i)
        s += lines[i] + (i < ends.size() ? ends[i] : std::string("\r\n"));
    return s;
}

std::string overriddenText(const std::string& bytes, const std::vector<DataOverride>& ovs) {
    std::vector<std::string> ends;
    auto lines = splitLines(bytes, &ends);
    return joinLines(applyOverrides(std::move(lines), ovs), ends);
}

void setDataOverrides(const std::string& path, std::vector<DataOverride> ovs) {
    if (ovs.empty()) registry().erase(path);
    else registry()[path] = std::move(ovs);
}

void clearDataOverrides() {
    registry().clear();
    texts().clear();
}

std::unique_ptr<TextReader> openDataFile(const std::string& path) {
    if (registry().find(path) == registry().end()) return TextReader::open(path);
    auto& text = texts()[path];
    text = std::make_unique<std::istringstream>(dataFileText(path));
    return std::make_unique<TextReader>(*text, path);
}

std::string dataFileText(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f.is_open()) throw VeltaError("Не удалось открыть файл " + path);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    const auto it = registry().find(path);
    return it == registry().end() ? bytes : overriddenText(bytes, it->second);
}

std::string useOverrides(const std::string& path, const std::vector<std::string>& sets) {
    try {
        std::vector<DataOverride> ovs;
        for (const auto& s : sets) ovs.push_back(parseOverride(s));
        setDataOverrides(path, {});
        const std::string bytes = dataFileText(path);
        overriddenText(bytes, ovs);  // an unknown key or a missing item is refused here
        setDataOverrides(path, std::move(ovs));
        return {};
    } catch (const std::exception& e) {
        return e.what();
    }
}

}  // namespace velta
