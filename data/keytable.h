// Key tables: the scalar "KEY = value" blocks of a data file declared once, as a list of
// block headers and keys, and the one engine that reads, writes, fills and checks them.
//
// HOW A SECTION USES IT
//   1. Declare the blocks in file order, the owner the values are read into (usually the
//      Store, or a section's own members) and the window's texts F:
//        using K = Key<Store, Sec::Fields>;
//        constexpr K kModel[] = {
//            K{1},                                           // Head_Input(1) / Head_File(g, o, 1)
//            K{"MClass", "MCLASS", &Store::MCLASS, &Sec::Fields::mclass},  // read, written
//            K{"ALFA", &Store::ALFA, &Sec::Fields::alfa},   // one spelling for both
//            K{"Dlx", &Store::DLX, &Sec::Fields::dlx}.checkedAs("DLX"),   // message key
//        };
//        constexpr KeyTable tModel{kModel};
//      An entry's i16 or double member chooses Key_InputI or Key_InputR and keyInt or keyReal.
//   2. Reading (inside readParFile):   tModel.read(r, g);   -- the reader's own calls, so
//      the echo into the check file is the same line for line.
//      The window's texts:             tModel.fill(g, f);   -- CStr of each value.
//      Writing:                        tModel.write(g, o, f);  -- Head_File, Key_File.
//      Checking the texts at "Ввод":   tModel.parse(f, v);  -- each text converted into v;
//      the first one refused throws "Недопустимое значение  KEY = text"; tModel.check(f)
//      refuses the same without keeping the values.
//      The window's rows:              K{...}.shown("txtAlfa", "ALFA =") names the key's field
//      and its label; SheetForm::addKeyRows lays out a block's rows from them.
//   Lists, grids, matrices and lines between keys stay with the section: split a block's
//   keys into several tables around them.
//   Blocks shared by several layouts number their headers from 0 and are read and written
//   with the first block's number: tRun.read(r, g, k), tRun.write(g, o, f, k).
//   A spelling chosen at run time is a table per spelling, picked by the caller.
#pragma once
#include "data/datafile.h"
#include "data/numtext.h"
#include "data/store.h"
#include "data/textfile.h"

#include <array>
#include <cstddef>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velta {

// The text of a key's value as a number; a text the reading of a data file would not
// convert is refused with "Недопустимое значение  KEY = text".
double keyReal(const std::string& key, const std::string& text);
i16 keyInt(const std::string& key, const std::string& text);

// One entry of a key table: a block header, or a key with the spelling the reader echoes,
// the spelling written, the spelling of a refusal, its value in the owner O and its text in F.
template <class O, class F>
struct Key {
    enum class Kind : unsigned char { Head, Int, Real };

    constexpr Key(int block) : kind(Kind::Head), head(block) {}
    constexpr Key(const char* name, i16 O::*v, std::string F::*t) : Key(name, name, v, t) {}
    constexpr Key(const char* name, double O::*v, std::string F::*t) : Key(name, name, v, t) {}
    constexpr Key(const char* rd, const char* wr, i16 O::*v, std::string F::*t)
        : kind(Kind::Int), read(rd), written(wr), check(wr), i(v), text(t) {}
    constexpr Key(const char* rd, const char* wr, double O::*v, std::string F::*t)
        : kind(Kind::Real), read(rd), written(wr), check(wr), r(v), text(t) {}
    // The same key refused under another spelling.
    constexpr Key checkedAs(const char* name) const {
        Key k = *this;
        k.check = name;
        return k;
    }
    // The key's field in the input window: its object name and the label before it.
    constexpr Key shown(const char* name, const char* text) const {
        Key k = *this;
        k.field = name, k.label = text;
        return k;
    }

    Kind kind;
    int head = 0;
    const char* read = nullptr;
    const char* written = nullptr;
    const char* check = nullptr;
    i16 O::*i = nullptr;
    double O::*r = nullptr;
    std::string F::*text = nullptr;
    const char* field = nullptr;
    const char* label = nullptr;
};

// A view of a key table; see the recipe above.
template <class O, class F>
class KeyTable {
public:
    using Entry = Key<O, F>;
    template <std::size_t N>
    constexpr KeyTable(const Entry (&entries)[N]) : e_(entries) {}
    template <std::size_t N>
    constexpr KeyTable(const std::array<Entry, N>& entries) : e_(entries) {}

    // base is added to every header number: a table of blocks 0, 1, ... read or written
    // wherever a file layout places it.
    void read(ParReader& rd, O& into, int base = 0) const {
        for (const Entry& k : e_) {
            switch (k.kind) {
            case Entry::Kind::Head: rd.Head_Input(base + k.head); break;
            case Entry::Kind::Int: rd.Key_InputI(k.read, into.*k.i); break;
            case Entry::Kind::Real: rd.Key_InputR(k.read, into.*k.r); break;
            }
        }
    }
    void write(const Store& g, TextWriter& o, const F& f, int base = 0) const {
        for (const Entry& k : e_) {
            if (k.kind == Entry::Kind::Head) Head_File(g, o, base + k.head);
            else Key_File(o, k.written, f.*k.text);
        }
    }
    void fill(const O& from, F& f) const {
        for (const Entry& k : e_) {
            if (k.kind == Entry::Kind::Int) f.*k.text = CStr(from.*k.i);
            if (k.kind == Entry::Kind::Real) f.*k.text = CStr(from.*k.r);
        }
    }
    // The texts converted as parse converts them, nothing kept: the check at "Ввод".
    void check(const F& f) const {
        for (const Entry& k : e_) {
            if (k.kind == Entry::Kind::Int) (void)keyInt(k.check, f.*k.text);
            if (k.kind == Entry::Kind::Real) (void)keyReal(k.check, f.*k.text);
        }
    }
    std::span<const Entry> entries() const { return e_; }
    // The entry of the key spelled `key` as the file is read or written; a key the table
    // does not hold is a fault of the caller.
    const Entry& entry(std::string_view key) const {
        for (const Entry& k : e_)
            if (k.kind != Entry::Kind::Head && (key == k.read || key == k.written)) return k;
        throw std::logic_error("no key " + std::string(key) + " in the table");
    }
    void parse(const F& f, O& into) const {
        for (const Entry& k : e_) {
            if (k.kind == Entry::Kind::Int) into.*k.i = keyInt(k.check, f.*k.text);
            if (k.kind == Entry::Kind::Real) into.*k.r = keyReal(k.check, f.*k.text);
        }
    }

private:
    std::span<const Entry> e_;
};

}  // namespace velta
