#include "data/rtftext.h"

#include "data/textfile.h"

#include <cctype>
#include <cstdlib>

namespace velta {

namespace {

struct Group {
    bool skip = false;  // a destination whose text is not part of the body
    int uc = 1;         // characters after \uN that stand in for it
    bool bold = false, italic = false;
    int size = 24;
};

bool skippedDestination(const std::string& word) {
    static const char* const names[] = {
        "fonttbl",  "colortbl",  "stylesheet",        "info",      "pict",
        "header",   "footer",    "headerl",           "headerr",   "footerl",
        "footerr",  "listtable", "listoverridetable", "rsidtbl",   "generator",
        "xmlnstbl", "object",    "themedata",         "datastore", "latentstyles",
        "fldinst"};
    for (const char* n : names)
        if (word == n) return true;
    return false;
}

}  // namespace

std::vector<RtfParagraph> rtfParagraphs(const std::string& rtf) {
    std::vector<RtfParagraph> out;
    std::vector<Group> stack{Group{}};
    RtfParagraph par;
    bool started = false;  // the paragraph has text, so its formatting is fixed
    bool centered = false;
    int indent = 0;
    int pendingSkip = 0;  // stand-in characters still to drop after \uN
    const auto begin = [&] {
        if (!started) {
            par.bold = stack.back().bold;
            par.italic = stack.back().italic;
            par.size = stack.back().size;
            par.centered = centered;
            par.indent = indent;
            started = true;
        }
    };
    const auto put = [&](const std::string& utf8) {
        if (stack.back().skip) return;
        if (pendingSkip > 0) {
            --pendingSkip;
            return;
        }
        begin();
        par.text += utf8;
    };
    const auto endParagraph = [&] {
        if (stack.back().skip) return;
        out.push_back(par);
        par = RtfParagraph{};
        started = false;
    };

    std::size_t i = 0;
    const std::size_t n = rtf.size();
    while (i < n) {
        const char c = rtf[i];
        if (c == '{') {
            stack.push_back(stack.back());
            ++i;
        } else if (c == '}') {
            if (stack.size() > 1) stack.pop_back();
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c != '\\') {
            put(std::string(1, c));
            ++i;
        } else if (i + 1 >= n) {
            ++i;
        } else if (rtf[i + 1] == '\'') {
            // A byte of the document's code page.
            const std::string hex = rtf.substr(i + 2, 2);
            i += 2 + hex.size();
            put(cp1251ToUtf8(std::string(1, static_cast<char>(std::strtol(hex.c_str(), nullptr, 16)))));
        } else if (!std::isalpha(static_cast<unsigned char>(rtf[i + 1]))) {
            const char sym = rtf[i + 1];
            i += 2;
            if (sym == '*') stack.back().skip = true;  // an optional destination
            else if (sym == '~') put("\xC2\xA0");
            else if (sym == '_') put("-");
            else if (sym == '\\' || sym == '{' || sym == '}') put(std::string(1, sym));
            else if (sym == '\r' || sym == '\n') endParagraph();
        } else {
            std::size_t j = i + 1;
            while (j < n && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
            const std::string word = rtf.substr(i + 1, j - i - 1);
            bool hasArg = false;
            long arg = 0;
            std::size_t k = j;
            if (k < n && (rtf[k] == '-' || std::isdigit(static_cast<unsigned char>(rtf[k])))) {
                ++k;
                while (k < n && std::isdigit(static_cast<unsigned char>(rtf[k]))) ++k;
                arg = std::strtol(rtf.substr(j, k - j).c_str(), nullptr, 10);
                hasArg = true;
            }
            if (k < n && rtf[k] == ' ') ++k;  // the delimiting blank belongs to the word
            i = k;
            Group& g = stack.back();
            if (word == "u" && hasArg) {
                if (!g.skip) {
                    begin();
                    appendUtf8(par.text, static_cast<char32_t>(arg < 0 ? arg + 65536 : arg));
                    pendingSkip = g.uc;
                }
            } else if (word == "uc") {
                g.uc = hasArg ? static_cast<int>(arg) : 1;
            } else if (word == "par" || word == "line") {
                endParagraph();
            } else if (word == "pard") {
                centered = false;
                indent = 0;
            } else if (word == "plain") {
                g.bold = g.italic = false;
                g.size = 24;
            } else if (word == "b") {
                g.bold = !hasArg || arg != 0;
            } else if (word == "i") {
                g.italic = !hasArg || arg != 0;
            } else if (word == "fs" && hasArg) {
                g.size = static_cast<int>(arg);
            } else if (word == "qc") {
                centered = true;
            } else if (word == "li" && hasArg) {
                indent = static_cast<int>(arg);
            } else if (word == "tab") {
                put("\t");
            } else if (word == "emdash") {
                put("\xE2\x80\x94");
            } else if (word == "endash") {
                put("\xE2\x80\x93");
            } else if (word == "bullet") {
                put("\xE2\x80\xA2");
            } else if (word == "lquote" || word == "rquote") {
                put("'");
            } else if (word == "ldblquote" || word == "rdblquote") {
                put("\"");
            } else if (skippedDestination(word)) {
                g.skip = true;
            }
        }
    }
    if (started) out.push_back(par);
    return out;
}

}  // namespace velta
