#include "data/rtftext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

using namespace velta;

TEST(RtfText, CharactersGroupsAndFormatting) {
    struct Case {
        std::string rtf;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        // \uN with its stand-in, \'hh bytes of code page 1251, escaped braces and backslash.
        {R"({\rtf1\uc1 \u1055?\u1088?\'e8\'ec\'e5\'f0 \{x\}\\y\par})", {"Пример {x}\\y"}},
        // Font table, information and starred destinations are not text.
        {R"({\rtf1{\fonttbl{\f0 Times New Roman;}}{\info{\title T}}{\*\generator G;}A\par B})", {"A", "B"}},
        // Negative \u values (above U+7FFF); \uc0 has no stand-in to drop.
        {R"({\rtf1\uc0\u-3937 x\par})",
         {"\xEF\x82\x9F"
          "x"}},
        {R"({\rtf1 a\tab b\line c\emdash d})",
         {"a\tb",
          "c\xE2\x80\x94"
          "d"}},
    };
    for (const Case& c : cases) {
        const auto pars = rtfParagraphs(c.rtf);
        ASSERT_EQ(pars.size(), c.texts.size()) << c.rtf;
        for (std::size_t i = 0; i < pars.size(); ++i) EXPECT_EQ(pars[i].text, c.texts[i]) << c.rtf;
    }
    const auto f = rtfParagraphs(
        R"({\rtf1\pard\qc\fs36\b Title\b0\par\pard\li567 {\i item}\par\pard plain\par})");
    ASSERT_EQ(f.size(), 3u);
    EXPECT_TRUE(f[0].bold && f[0].centered && f[0].size == 36);
    EXPECT_TRUE(f[1].italic && !f[1].bold && f[1].indent == 567);
    EXPECT_FALSE(f[2].centered || f[2].bold || f[2].indent);
}

TEST(RtfText, ShippedExamplesDocument) {
    std::ifstream in(std::string(VELTA_SOURCE_DIR) + "/User/VELTA_D.doc", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    const auto pars = rtfParagraphs(s.str());
    ASSERT_GT(pars.size(), 30u);
    EXPECT_EQ(pars[0].text, "Пакет программ VELTA. Примеры задач");
    EXPECT_TRUE(pars[0].bold && pars[0].size == 36);
    int headings = 0, words = 0, questions = 0;
    for (const auto& p : pars) {
        // No control word left ("\\User\\Results.mnk" is text: an escaped backslash).
        for (auto b = p.text.find('\\'); b != std::string::npos; b = p.text.find('\\', b + 1))
            EXPECT_FALSE(b + 1 < p.text.size() && std::islower(static_cast<unsigned char>(p.text[b + 1])))
                << p.text;
        questions += static_cast<int>(std::count(p.text.begin(), p.text.end(), '?'));
        headings += p.bold && p.size == 26;
        std::istringstream ws(p.text);
        for (std::string w; ws >> w;) ++words;
    }
    EXPECT_LE(questions, 3);  // the stand-ins of \uN are dropped: a "?" is a question mark
    EXPECT_GE(headings, 17);  // a heading per section at least
    EXPECT_GT(words, 1200);
}
