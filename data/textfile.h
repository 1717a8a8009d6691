// Sequential text files of the package: Windows-1251 on disk, UTF-8 in memory, CR LF ends.
#pragma once
#include <cstdio>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace velta {

std::string cp1251ToUtf8(const std::string& bytes);
// Characters without a Windows-1251 code become '?'.
std::string utf8ToCp1251(const std::string& utf8);

// Reads lines from a stream (or a file), decoding Windows-1251. A line ends at CR LF,
// LF or CR. Keeps the line number for messages. Also the number-stream reading of the
// data files: a value line must hold exactly the numbers read from it; whatever stands
// behind the last number read is returned by the next readLine().
class TextReader {
public:
    TextReader(std::istream& in, std::string name);     // name for messages
    static std::unique_ptr<TextReader> open(const std::string& path);  // error if missing

    bool eof() const;                 // no line is left (including a pending rest)
    std::string readLine();           // error "file ends early" at the end
    double readNumber();              // next number of a stream separated by "," or line ends
    // Consumes the next line when it exists and is empty (no pending rest); true if it did.
    bool skipEmptyLine();
    int lineNumber() const { return line_; }  // number of the last line taken
    const std::string& name() const { return name_; }
    // Error text naming the file, the line number and what was expected.
    [[noreturn]] void fail(const std::string& expected) const;

private:
    bool fetch(std::string& out);     // raw next line from the stream
    std::unique_ptr<std::istream> owned_;
    std::istream* in_;
    std::string name_;
    int line_ = 0;
    bool hasRest_ = false;            // a partly consumed line is pending
    std::string rest_;
};

// Writes lines in Windows-1251 with CR LF; the file is closed with what was written
// when the writer goes out of scope (also after an error).
class TextWriter {
public:
    explicit TextWriter(std::ostream& out);
    static std::unique_ptr<TextWriter> create(const std::string& path);  // replaces; error if it cannot
    ~TextWriter();
    void line(const std::string& utf8);   // the text and CR LF
    void text(const std::string& utf8);   // the text alone
    void flush();

private:
    std::unique_ptr<std::ostream> owned_;
    std::ostream* out_;
};

// Whole file as lines (decoded), and whole-file writing; used by the text view.
std::vector<std::string> readAllLines(const std::string& path);

} // namespace velta
