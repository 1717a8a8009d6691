// --set on the text of a data file: one sample per family of file layouts, the reader's view
// of the changed text, and the refusals.
#include "data/dataoverride.h"
#include "data/textfile.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace velta;

namespace {

std::string sample(const std::string& rel) {
    std::ifstream f(std::string(VELTA_SOURCE_DIR) + "/User/" + rel, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// The line of the changed text that holds the key's value, as the reader will see it.
std::string valueLine(const std::string& bytes, const std::string& key) {
    const auto lines = splitLines(bytes);
    for (const auto& k : dataKeys(lines))
        if (k.name == key) return lines[static_cast<std::size_t>(k.line)];
    return "<no key " + key + ">";
}

struct Case {
    const char* family;
    const char* file;
    std::vector<DataOverride> sets;
    const char* key;       // key whose value line is checked
    const char* expected;  // that line after the overrides
};

}  // namespace

TEST(DataOverride, EverySampleFamilyTakesItsKeys) {
    const std::vector<Case> cases = {
        {"autonomous scalar", "Sym_Oscill.mnkd", {{"alfa", "25"}, {"GAMA", "2.5"}}, "ALFA", "ALFA = 25"},
        {"autonomous list", "Sym_Oscill.mnkd", {{"IC", "1,3"}}, "IC", "1,3"},
        {"list item", "Sym_Oscill.mnkd", {{"XP(2)", "7"}}, "XP", "2,7,2"},
        {"mixed-case key", "Kolco5.mtrd", {{"LSCREEN", "0"}}, "Lscreen", "Lscreen = 0"},
        {"delay", "Mnk/Tau1/Tau1_Oscill.mnzd", {{"TAUm", "1,2,3"}}, "TAUm", "1,2,3"},
        {"continuation", "Fold3.diud", {{"QMAX", "15"}}, "QMAX", "QMAX = 15"},
        {"synthesis named items", "Syn2_Oscill.sy2d", {{"GAMA2", "5"}}, "GAMA1", "4,5"},
        {"section 3", "Cirk3_Repress.stbd", {{"Amax", "12"}}, "Amax", "Amax = 12"},
        {"section 7", "StaResh5_LL1.stRd", {{"alMAX", "20"}}, "ALmax", "ALmax = 20"},
        {"section 6 list", "Suz/Tau0/Ring3_Oscill.suzd", {{"GAMA(2)", "9"}}, "GAMA", "2,9,2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        const std::string bytes = sample(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        const std::string out = overriddenText(bytes, c.sets);
        EXPECT_EQ(valueLine(out, c.key), c.expected);
        // Only the addressed lines change; the line ends stay CR LF.
        const auto before = splitLines(bytes), after = splitLines(out);
        ASSERT_EQ(before.size(), after.size());
        int changed = 0;
        for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i];
        EXPECT_EQ(changed, static_cast<int>(c.sets.size()));
        EXPECT_EQ(out.size() - out.find_last_of('\n'), 1u);
        EXPECT_EQ(out[out.size() - 2], '\r');
    }
}

TEST(DataOverride, LabelLinesThatLookLikeKeysAreNotKeys) {
    // "LGRAPH = 1 - X(t), 2 - ..." is the label above the real "LGRAPH = 1".
    const std::string bytes = sample("Sym_Oscill.mnkd");
    const std::string out = overriddenText(bytes, {{"LGRAPH", "2"}});
    const auto lines = splitLines(out);
    int hits = 0;
    for (const auto& l : lines) hits += l == "LGRAPH = 2";
    EXPECT_EQ(hits, 1);
    EXPECT_NE(out.find("LGRAPH = 1 - X(t)"), std::string::npos);
}

TEST(DataOverride, Refusals) {
    const std::string bytes = sample("Sym_Oscill.mnkd");
    const std::vector<std::pair<std::vector<DataOverride>, std::string>> bad = {
        {{{"FOO", "1"}}, "unknown key FOO; the keys of this data file: MCLASS, NDIM, KMOD, ALFA"},
        {{{"XP(4)", "1"}}, "holds 3 item(s)"},
        {{{"ALFA(1)", "1"}}, "is a single value"},
        {{{"XP(0)", "1"}}, "whole number from 1"},
    };
    for (const auto& [ovs, text] : bad) {
        try {
            overriddenText(bytes, ovs);
            ADD_FAILURE() << "accepted " << ovs[0].key;
        } catch (const OverrideError& e) {
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(parseOverride("ALFA"), OverrideError);
    EXPECT_THROW(parseOverride("=3"), OverrideError);
    EXPECT_THROW(parseOverride("ALFA=1 2"), OverrideError);  // the reader would keep "1" alone
    EXPECT_THROW(parseOverride("ALFA="), OverrideError);
    EXPECT_EQ(parseOverride("IC=1,2").value, "1,2");
}

TEST(DataOverride, ReaderGetsTheChangedTextAndTheFileStays) {
    const std::string path = std::string(VELTA_SOURCE_DIR) + "/User/Cirk3_Stable.stbd";
    const std::string before = sample("Cirk3_Stable.stbd");
    ASSERT_EQ(useOverrides(path, {"GAMA=4"}), "");
    auto r = openDataFile(path);
    bool seen = false;
    while (!r->eof()) seen = r->readLine() == "GAMA = 4" || seen;
    EXPECT_TRUE(seen);
    EXPECT_EQ(r->name(), path);  // messages name the user's file
    EXPECT_EQ(sample("Cirk3_Stable.stbd"), before);
    EXPECT_NE(useOverrides(path, {"NOPE=1"}).find("unknown key NOPE"), std::string::npos);
    setDataOverrides(path, {});
    auto plain = openDataFile(path);
    while (!plain->eof()) EXPECT_NE(plain->readLine(), "GAMA = 4");
}
