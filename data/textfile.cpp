#include "data/textfile.h"

#include "data/error.h"
#include "data/numtext.h"

#include <array>
#include <atomic>
#include <exception>
#include <filesystem>
#include <fstream>

namespace velta {

namespace {

// Code points of the bytes 0x80..0xBF of Windows-1251; 0xC0..0xFF are А..я (U+0410..U+044F).
// 0x98 has no character in the code page and is carried through as U+0098.
constexpr std::array<char32_t, 64> kHigh = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
};

char32_t byteToCode(unsigned char b) {
    if (b < 0x80) return b;
    if (b >= 0xC0) return 0x0410 + (b - 0xC0);
    return kHigh[b - 0x80];
}

int codeToByte(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    if (cp >= 0x0410 && cp <= 0x044F) return static_cast<int>(0xC0 + (cp - 0x0410));
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == cp) return static_cast<int>(0x80 + i);
    return '?';
}

// The message of a reading that ran out of lines.
std::string endedText(const std::string& name, const std::string& expected) {
    return "Ошибка чтения файла " + name + ": файл закончился раньше времени, ожидалось " + expected;
}

}  // namespace

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string cp1251ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) appendUtf8(out, byteToCode(b));
    return out;
}

std::string utf8ToCp1251(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    const std::size_t n = utf8.size();
    std::size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        int len = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            len = 1;
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            len = 2;
            cp = b & 0x1F;
        } else if ((b & 0xF0) == 0xE0) {
            len = 3;
            cp = b & 0x0F;
        } else if ((b & 0xF8) == 0xF0) {
            len = 4;
            cp = b & 0x07;
        }
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= n;
        for (int k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80) ok = false;
            else cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {  // a broken sequence: one '?' for its first byte
            out += '?';
            ++i;
            continue;
        }
        out += static_cast<char>(codeToByte(cp));
        i += static_cast<std::size_t>(len);
    }
    return out;
}

// ---------------------------------------------------------------- TextReader

TextReader::TextReader(std::istream& in, std::string name) : in_(&in), name_(std::move(name)) {}

std::unique_ptr<TextReader> TextReader::open(const std::string& path) {
    auto file = std::make_unique<std::ifstream>(path, std::ios::binary);
    if (!file->is_open()) throw VeltaError("Не удалось открыть файл " + path);
    auto reader = std::make_unique<TextReader>(*file, path);
    reader->owned_ = std::move(file);
    return reader;
}

bool TextReader::fetch(std::string& out) {
    out.clear();
    std::streambuf* sb = in_->rdbuf();
    if (!sb) return false;
    using Tr = std::char_traits<char>;
    int c = sb->sbumpc();
    if (Tr::eq_int_type(c, Tr::eof())) return false;
    while (!Tr::eq_int_type(c, Tr::eof())) {
        if (c == '\n') break;
        if (c == '\r') {
            if (sb->sgetc() == '\n') sb->sbumpc();
            break;
        }
        out += static_cast<char>(c);
        c = sb->sbumpc();
    }
    out = cp1251ToUtf8(out);
    ++line_;
    return true;
}

bool TextReader::skipEmptyLine() {
    if (hasRest_) return false;  // a pending rest starts with a comma
    std::streambuf* sb = in_->rdbuf();
    if (!sb) return false;
    const int c = sb->sgetc();
    if (c != '\r' && c != '\n') return false;
    std::string line;
    fetch(line);
    return true;
}

bool TextReader::eof() const {
    if (hasRest_) return false;
    std::streambuf* sb = in_->rdbuf();
    return !sb || std::char_traits<char>::eq_int_type(sb->sgetc(), std::char_traits<char>::eof());
}

std::string TextReader::readLine() {
    if (hasRest_) {
        hasRest_ = false;
        return std::move(rest_);
    }
    std::string s;
    if (!fetch(s))
        throw VeltaError("Ошибка чтения файла " + name_ +
                         ": файл закончился раньше времени, ожидалась строка");
    return s;
}

double TextReader::readNumber() {
    std::string src;
    std::size_t pos = 0;
    if (hasRest_) {
        // The rest of a line whose last field ended at a comma: that comma is skipped.
        hasRest_ = false;
        src = std::move(rest_);
        while (pos < src.size() && src[pos] == ' ') ++pos;
        if (pos < src.size() && src[pos] == ',') ++pos;
    } else if (!fetch(src)) {
        throw VeltaError(endedText(name_, "число"));
    }
    while (pos < src.size() && src[pos] == ' ') ++pos;
    const std::size_t comma = src.find(',', pos);
    const std::string field = src.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos);
    if (comma != std::string::npos) {
        rest_ = src.substr(comma);
        hasRest_ = true;
    }
    if (field.find_first_not_of(' ') == std::string::npos) fail("число");
    try {
        return textToReal(field);
    } catch (const std::exception&) {
        fail("число, прочитано «" + quoteInput(field) + "»");
    }
}

void TextReader::fail(const std::string& expected) const {
    throw VeltaError("Ошибка чтения файла " + name_ + ", строка " + std::to_string(line_) + ": ожидалось " +
                     expected);
}

// ---------------------------------------------------------------- TextWriter

namespace {

std::atomic<long> abandonedWriters{0};

namespace fs = std::filesystem;

// An existing file opened for writing without emptying it.
bool writableInPlace(const std::string& path) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    return f.is_open();
}

[[noreturn]] void cannotCreate(const std::string& path) {
    throw VeltaError("Не удалось создать файл " + path);
}

}  // namespace

TextWriter::TextWriter(std::ostream& out, std::string name)
    : out_(&out), name_(std::move(name)), unwinding_(std::uncaught_exceptions()) {}

std::unique_ptr<TextWriter> TextWriter::create(const std::string& path) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) cannotCreate(path);
    auto file = std::make_unique<std::ofstream>(path, std::ios::binary | std::ios::trunc);
    if (!file->is_open()) cannotCreate(path);
    auto writer = std::make_unique<TextWriter>(*file, path);
    writer->owned_ = std::move(file);
    return writer;
}

std::unique_ptr<TextWriter> TextWriter::replace(const std::string& path) {
    std::error_code ec;
    // A link is followed: the file it names is the one replaced.
    fs::path target = fs::is_symlink(path, ec) ? fs::weakly_canonical(path, ec) : fs::path(path);
    if (ec) target = path;
    const bool existed = fs::exists(target, ec);
    if (fs::is_directory(target, ec)) cannotCreate(path);
    // A file that cannot be written in place is not replaced either.
    if (existed && !writableInPlace(target.string())) cannotCreate(path);
    const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string base = target.filename().string();
    for (int n = 0; n < 100; ++n) {
        const fs::path tmp = dir / ("." + base + ".tmp" + (n ? std::to_string(n) : std::string()));
        if (fs::exists(tmp, ec) || fs::is_symlink(tmp, ec)) continue;
        auto file = std::make_unique<std::ofstream>(tmp, std::ios::binary | std::ios::trunc);
        if (!file->is_open()) break;  // the folder takes no new file
        auto writer = std::make_unique<TextWriter>(*file, tmp.string());
        writer->owned_ = std::move(file);
        writer->final_ = target.string();
        writer->finalExisted_ = existed;
        return writer;
    }
    // No temporary file beside it (a folder without write permission): the file itself is
    // rewritten, as it can be.
    auto writer = create(target.string());
    writer->name_ = path;
    return writer;
}

std::vector<std::unique_ptr<TextWriter>> TextWriter::createAll(const std::vector<std::string>& paths) {
    checkCanCreate(paths);
    std::vector<std::unique_ptr<TextWriter>> ws;
    for (const std::string& p : paths) ws.push_back(create(p));
    return ws;
}

void checkCanCreate(const std::vector<std::string>& paths) {
    std::vector<std::string> made;
    auto undo = [&] {
        std::error_code ec;
        for (const std::string& m : made) fs::remove(m, ec);
    };
    for (const std::string& p : paths) {
        std::error_code ec;
        bool ok = false;
        if (fs::is_directory(p, ec)) {
            ok = false;
        } else if (fs::exists(p, ec)) {
            ok = writableInPlace(p);
        } else {
            std::ofstream f(p, std::ios::binary);
            ok = f.is_open();
            if (ok) made.push_back(p);
        }
        if (!ok) {
            undo();
            cannotCreate(p);
        }
    }
    undo();
}

TextWriter::~TextWriter() {
    if (closed_) return;
    if (owned_ && std::uncaught_exceptions() <= unwinding_) {
        ++abandonedWriters;
#ifndef NDEBUG
        std::fprintf(stderr, "TextWriter: %s destroyed without close()\n", name_.c_str());
#endif
    }
    closeAfterError();
}

long TextWriter::abandoned() { return abandonedWriters.load(); }

void TextWriter::failWrite() {
    if (final_.empty())
        throw FileWriteError("Ошибка записи в файл " + (name_.empty() ? std::string("(поток)") : name_));
    closeAfterError();
    throw FileWriteError("Ошибка записи в файл " + final_ +
                         (finalExisted_ ? " (прежний файл сохранён без изменений)" : ""));
}

void TextWriter::check() {
    if (!*out_) failWrite();
}

void TextWriter::line(const std::string& utf8) {
    if (closed_) failWrite();
    *out_ << utf8ToCp1251(utf8) << "\r\n";
    check();
}

void TextWriter::text(const std::string& utf8) {
    if (closed_) failWrite();
    *out_ << utf8ToCp1251(utf8);
    check();
}

void TextWriter::flush() {
    if (closed_) return;
    out_->flush();
    check();
}

void TextWriter::close() {
    if (closed_) return;
    out_->flush();
    check();
    if (auto* f = dynamic_cast<std::ofstream*>(owned_.get())) {
        f->close();
        if (f->fail()) failWrite();
    }
    if (!final_.empty()) {
        std::error_code ec;
        // The new file keeps the permissions of the one it replaces.
        if (finalExisted_) {
            const fs::perms p = fs::status(final_, ec).permissions();
            if (!ec) fs::permissions(name_, p, ec);
        }
        fs::rename(name_, final_, ec);
        if (ec) failWrite();
    }
    closed_ = true;
}

void TextWriter::closeAfterError() noexcept {
    if (closed_) return;
    closed_ = true;
    try {
        out_->flush();
        if (auto* f = dynamic_cast<std::ofstream*>(owned_.get())) f->close();
        if (!final_.empty()) {
            std::error_code ec;
            fs::remove(name_, ec);
        }
    } catch (...) {}
}

std::string quoteInput(const std::string& utf8) {
    constexpr std::size_t kShown = 60;
    std::size_t chars = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
        if (chars == kShown) return utf8.substr(0, i) + "…";
        ++chars;
    }
    return utf8;
}

std::vector<std::string> readAllLines(const std::string& path) {
    auto reader = TextReader::open(path);
    std::vector<std::string> lines;
    while (!reader->eof()) lines.push_back(reader->readLine());
    return lines;
}

}  // namespace velta
