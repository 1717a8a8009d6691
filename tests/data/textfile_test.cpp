#include "data/textfile.h"

#include "data/error.h"
#include "support/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace velta;
using velta::test::bytesOf;
namespace fs = std::filesystem;

namespace {

const std::string kUpper = "АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ";
const std::string kLower = "абвгдеёжзийклмнопрстуфхцчшщъыьэюя";

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const VeltaError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no VeltaError thrown";
    return {};
}

fs::path tempDir() {
    std::string tmpl = (fs::temp_directory_path() / "velta_textfile_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp");
    return tmpl;
}

}  // namespace

TEST(TextFileCp1251, CyrillicAlphabetHasItsSingleByteCodes) {
    const std::string upper = utf8ToCp1251(kUpper);
    const std::string lower = utf8ToCp1251(kLower);
    ASSERT_EQ(upper.size(), 33u);
    ASSERT_EQ(lower.size(), 33u);
    EXPECT_EQ(static_cast<unsigned char>(upper[0]), 0xC0);   // А
    EXPECT_EQ(static_cast<unsigned char>(upper[6]), 0xA8);   // Ё
    EXPECT_EQ(static_cast<unsigned char>(upper[32]), 0xDF);  // Я
    EXPECT_EQ(static_cast<unsigned char>(lower[6]), 0xB8);   // ё
    EXPECT_EQ(static_cast<unsigned char>(lower[32]), 0xFF);  // я
    EXPECT_EQ(cp1251ToUtf8(upper), kUpper);
    EXPECT_EQ(cp1251ToUtf8(lower), kLower);
}

TEST(TextFileCp1251, PunctuationAndUnmappedCharacters) {
    EXPECT_EQ(utf8ToCp1251("№«»–—"), "\xB9\xAB\xBB\x96\x97");
    EXPECT_EQ(cp1251ToUtf8("\xB9\xAB\xBB\x96\x97"), "№«»–—");
    EXPECT_EQ(utf8ToCp1251("ASCII 0.5,1E-05"), "ASCII 0.5,1E-05");
    // No code in the page: a question mark each, also for a broken UTF-8 sequence.
    EXPECT_EQ(utf8ToCp1251("a中é\xD0z"), "a???z");
    EXPECT_EQ(utf8ToCp1251("😀"), "?");
}

TEST(TextFileCp1251, EveryByteSurvivesDecodingAndEncoding) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(TextFileReader, LineEndsCrLfLfAndLoneCr) {
    std::istringstream in("first\r\nsecond\nthird\rfourth\r\n\r\nlast");
    TextReader r(in, "test.txt");
    EXPECT_EQ(r.readLine(), "first");
    EXPECT_EQ(r.readLine(), "second");
    EXPECT_EQ(r.readLine(), "third");
    EXPECT_EQ(r.readLine(), "fourth");
    EXPECT_EQ(r.readLine(), "");
    EXPECT_FALSE(r.eof());
    EXPECT_EQ(r.readLine(), "last");
    EXPECT_EQ(r.lineNumber(), 6);
    EXPECT_TRUE(r.eof());
}

TEST(TextFileReader, FinalLineEndAddsNoLineAndEndIsAnError) {
    std::istringstream in("\xDF\xE1\r\n");
    TextReader r(in, "Data.mnkd");
    EXPECT_EQ(r.readLine(), "Яб");
    EXPECT_TRUE(r.eof());
    EXPECT_EQ(message([&] { r.readLine(); }),
              "Ошибка чтения файла Data.mnkd: файл закончился раньше времени, ожидалась строка");
}

TEST(TextFileReader, NumbersAcrossLinesAndCommas) {
    std::istringstream in("  1.5, 2 ,3\r\n-4E-02\r\n5,6\r\n");
    TextReader r(in, "n.txt");
    EXPECT_DOUBLE_EQ(r.readNumber(), 1.5);
    EXPECT_DOUBLE_EQ(r.readNumber(), 2);
    EXPECT_DOUBLE_EQ(r.readNumber(), 3);
    EXPECT_EQ(r.lineNumber(), 1);
    EXPECT_DOUBLE_EQ(r.readNumber(), -0.04);
    EXPECT_EQ(r.lineNumber(), 2);
    EXPECT_DOUBLE_EQ(r.readNumber(), 5);
    EXPECT_DOUBLE_EQ(r.readNumber(), 6);
    EXPECT_TRUE(r.eof());
}

TEST(TextFileReader, RestBehindTheLastNumberIsTheNextLine) {
    std::istringstream in("1,2,3\r\nnext\r\n");
    TextReader r(in, "n.txt");
    EXPECT_DOUBLE_EQ(r.readNumber(), 1);
    EXPECT_DOUBLE_EQ(r.readNumber(), 2);
    EXPECT_FALSE(r.eof());
    EXPECT_EQ(r.readLine(), ",3");
    EXPECT_EQ(r.readLine(), "next");
    EXPECT_EQ(r.lineNumber(), 2);
}

TEST(TextFileReader, NumberErrorsNameFileAndLine) {
    {
        std::istringstream in("1\r\n\r\n");
        TextReader r(in, "a.mnkd");
        r.readNumber();
        EXPECT_EQ(message([&] { r.readNumber(); }), "Ошибка чтения файла a.mnkd, строка 2: ожидалось число");
    }
    {
        std::istringstream in("x\r\n1,,2\r\n");
        TextReader r(in, "b.mnkd");
        r.readLine();
        r.readNumber();
        EXPECT_EQ(message([&] { r.readNumber(); }), "Ошибка чтения файла b.mnkd, строка 2: ожидалось число");
    }
    {
        std::istringstream in("0.5,1.2.3\r\n");
        TextReader r(in, "c.mnkd");
        r.readNumber();
        const std::string m = message([&] { r.readNumber(); });
        EXPECT_EQ(m.rfind("Ошибка чтения файла c.mnkd, строка 1: ожидалось число", 0), 0u) << m;
        EXPECT_NE(m.find("1.2.3"), std::string::npos) << m;
    }
    {
        std::istringstream in("7");
        TextReader r(in, "d.mnkd");
        r.readNumber();
        EXPECT_EQ(message([&] { r.readNumber(); }),
                  "Ошибка чтения файла d.mnkd: файл закончился раньше времени, ожидалось число");
    }
}

TEST(TextFileWriter, WindowsCodePageAndCrLf) {
    std::ostringstream out;
    {
        TextWriter w(out);
        w.line("Я = 1");
        w.text("ё");
        w.line("");
    }
    EXPECT_EQ(out.str(), "\xDF = 1\r\n\xB8\r\n");
}

TEST(TextFileWriter, FileIsReplacedAndReadBack) {
    const fs::path dir = tempDir();
    const std::string path = (dir / "Out.txt").string();
    {
        std::ofstream old(path, std::ios::binary);
        old << "old content that is longer than the new one\r\n";
    }
    {
        auto w = TextWriter::create(path);
        w->line("Контроль");
        w->line("");
        w->line("№ 5");
    }
    EXPECT_EQ(bytesOf(path), "\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\r\n\r\n\xB9 5\r\n");
    EXPECT_EQ(readAllLines(path), (std::vector<std::string>{"Контроль", "", "№ 5"}));
    fs::remove_all(dir);
}

TEST(TextFileWriter, MissingFilesAndFoldersAreErrorsNamingThePath) {
    const fs::path dir = tempDir();
    const std::string missing = (dir / "none.mnkd").string();
    EXPECT_NE(message([&] { TextReader::open(missing); }).find(missing), std::string::npos);
    EXPECT_NE(message([&] { readAllLines(missing); }).find(missing), std::string::npos);
    const std::string bad = (dir / "no_folder" / "x.txt").string();
    EXPECT_NE(message([&] { TextWriter::create(bad); }).find(bad), std::string::npos);
    fs::remove_all(dir);
}
