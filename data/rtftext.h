// The text of a Rich Text Format document (the examples document VELTA_D.doc), paragraph
// by paragraph with the little formatting a reader needs: headings, emphasis, indents.
#pragma once
#include <string>
#include <vector>

namespace velta {

struct RtfParagraph {
    std::string text;     // UTF-8
    bool bold = false;    // the paragraph begins in bold
    bool italic = false;  // the paragraph begins in italics
    bool centered = false;
    int size = 24;   // font size in half-points at its beginning (\fs)
    int indent = 0;  // left indent in twips (\li)
};

// Paragraphs of the document body; font tables, information and pictures are skipped.
// Characters come from \uN (Unicode) and \'hh (bytes of code page 1251).
std::vector<RtfParagraph> rtfParagraphs(const std::string& rtf);

}  // namespace velta
