// Sequential text files of the package: Windows-1251 on disk, UTF-8 in memory, CR LF ends.
#pragma once
#include "data/error.h"

#include <cstdio>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace velta {

std::string cp1251ToUtf8(const std::string& bytes);
// Appends one code point of the Basic Multilingual Plane to a UTF-8 text.
void appendUtf8(std::string& out, char32_t cp);
// Characters without a Windows-1251 code become '?'.
std::string utf8ToCp1251(const std::string& utf8);

// Reads lines from a stream (or a file), decoding Windows-1251. A line ends at CR LF,
// LF or CR. Keeps the line number for messages. Also the number-stream reading of the
// data files: a value line must hold exactly the numbers read from it; whatever stands
// behind the last number read is returned by the next readLine().
class TextReader {
public:
    TextReader(std::istream& in, std::string name);                    // name for messages
    static std::unique_ptr<TextReader> open(const std::string& path);  // error if missing

    bool eof() const;        // no line is left (including a pending rest)
    std::string readLine();  // error "file ends early" at the end
    double readNumber();     // next number of a stream separated by "," or line ends
    // Consumes the next line when it exists and is empty (no pending rest); true if it did.
    bool skipEmptyLine();
    int lineNumber() const { return line_; }  // number of the last line taken
    const std::string& name() const { return name_; }
    // Error text naming the file, the line number and what was expected.
    [[noreturn]] void fail(const std::string& expected) const;

private:
    bool fetch(std::string& out);  // raw next line from the stream
    std::unique_ptr<std::istream> owned_;
    std::istream* in_;
    std::string name_;
    int line_ = 0;
    bool hasRest_ = false;  // a partly consumed line is pending
    std::string rest_;
};

// A failed write: the message names the file ("Ошибка записи в файл <path>").
class FileWriteError : public VeltaError {
public:
    using VeltaError::VeltaError;
};

// Writes lines in Windows-1251 with CR LF. A failed write throws FileWriteError at the
// line() or text() that meets it; close() writes out the rest and throws on a failure, so
// every writer of a file is closed explicitly at the end of its work. A writer destroyed
// without close() keeps what was written; when that happens while no exception unwinds
// (a forgotten close(), whose write error would be lost) it is counted in abandoned().
class TextWriter {
public:
    explicit TextWriter(std::ostream& out, std::string name = {});
    // Creates (replaces) the file: an error naming it if it cannot.
    static std::unique_ptr<TextWriter> create(const std::string& path);
    // A save that never leaves a half-written file: the text goes to a temporary file in
    // the same folder and close() renames it over path. Without a successful close() the
    // old file stays as it was.
    static std::unique_ptr<TextWriter> replace(const std::string& path);
    // Every output file of a run, created (emptied) only when all of them can be: a
    // refusal leaves every old file as it was.
    static std::vector<std::unique_ptr<TextWriter>> createAll(const std::vector<std::string>& paths);
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    void line(const std::string& utf8);  // the text and CR LF
    void text(const std::string& utf8);  // the text alone
    void flush();                        // writes out what is buffered; throws on a failure
    void close();                        // flush, close (a save: rename); throws on a failure
    // Closes with what was written and no error of its own: used while another error is
    // being reported. A save is dropped (the old file stays).
    void closeAfterError() noexcept;
    const std::string& name() const { return name_; }
    bool closed() const { return closed_; }

    // Writers of files destroyed without close() outside an exception unwind, since start.
    static long abandoned();

private:
    [[noreturn]] void failWrite();
    void check();
    std::unique_ptr<std::ostream> owned_;
    std::ostream* out_;
    std::string name_;
    std::string final_;  // a save: the file the temporary one replaces at close()
    bool finalExisted_ = false;
    bool closed_ = false;
    int unwinding_ = 0;  // exceptions in flight when the writer was made
};

// Checks that every path can be written (an existing file opened without emptying it, a
// missing one created and removed again); the error names the first that cannot.
void checkCanCreate(const std::vector<std::string>& paths);

// Quoted input in messages: the text cut to about 60 characters with "…" at the cut.
std::string quoteInput(const std::string& utf8);

// Whole file as lines (decoded), and whole-file writing; used by the text view.
std::vector<std::string> readAllLines(const std::string& path);

}  // namespace velta
