#include "data/datafile.h"

#include "data/error.h"
#include "data/paths.h"
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

std::string message(const std::function<void()>& f) {
    try {
        f();
    } catch (const VeltaError& e) {
        return e.what();
    }
    ADD_FAILURE() << "no VeltaError thrown";
    return {};
}

// A reader into store over the given text (stored in the file's code page) with the check
// file going to a string.
struct Reading {
    Reading(Store& store, const std::string& text)
        : in(utf8ToCp1251(text)), reader(in, "Test.mnkd"), writer(chk), par(store, reader, writer) {}
    std::string echoed() {
        writer.flush();
        return chk.str();
    }
    std::istringstream in;
    TextReader reader;
    std::ostringstream chk;
    TextWriter writer;
    ParReader par;
};

class DataFileStore : public ::testing::Test {
protected:
    Store mdl;
};

// An application folder under /tmp with its User subfolder.
class DataFileFolder : public DataFileStore {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "velta_datafile_XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        root = tmpl;
        fs::create_directory(root / "User");
    }
    void TearDown() override { fs::remove_all(root); }
    void write(const std::string& name, const std::string& text) {
        std::ofstream(root / "User" / name, std::ios::binary) << utf8ToCp1251(text);
    }
    std::string chk() { return bytesOf(root / "User" / "Input.chk"); }
    fs::path root;
};

const std::string kChkHead =
    "\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC \xE2\xE2\xEE\xE4\xE0 \xE8\xF1\xF5\xEE\xE4\xED\xFB\xF5 "
    "\xE4\xE0\xED\xED\xFB\xF5:\r\n-------------------------------\r\n";

}  // namespace

TEST(DataFileGrid, CellsAreBoundsCheckedAndJoined) {
    GridText g(3, 4);
    g.at(1, 1) = "a";
    g.at(1, 2) = "b";
    g.at(1, 3) = "c";
    g.at(2, 1) = "d";
    EXPECT_EQ(g.joinRow(1, 1, 3), "a,b,c");
    EXPECT_EQ(g.joinRow(1, 2, 1), "");
    EXPECT_EQ(g.joinCol(1, 1, 2), "a,d");
    EXPECT_THROW(g.at(3, 0), VeltaError);
    EXPECT_THROW(g.at(0, 4), VeltaError);
    EXPECT_THROW(g.at(-1, 0), VeltaError);
    EXPECT_THROW(g.joinRow(1, 1, 4), VeltaError);
}

TEST(DataFileGrid, VectorGridLayout) {
    Vec v(3);
    v(1) = 0.5;
    v(2) = 10;
    v(3) = -2;
    const GridText g = vectorGrid(v, 3, false);
    ASSERT_EQ(g.rows(), 4);
    ASSERT_EQ(g.cols(), 6);
    EXPECT_EQ(g.at(0, 0), " Номера  компонент");
    EXPECT_EQ(g.at(2, 0), "Значения компонент");
    EXPECT_EQ(g.joinRow(0, 1, 5), ",1,2,3,");
    EXPECT_EQ(g.joinRow(2, 1, 5), ",0.5,10,-2,");
    EXPECT_EQ(g.joinRow(1, 0, 5), ",,,,,");
    EXPECT_EQ(g.joinRow(3, 0, 5), ",,,,,");
    EXPECT_EQ(vectorGrid(v, 3, true).joinRow(2, 2, 4), "0,0,0");
    // Zeros need no stored values: the grid may be longer than the vector.
    EXPECT_EQ(vectorGrid(Vec(1), 4, true).joinRow(2, 2, 5), "0,0,0,0");
    EXPECT_THROW(vectorGrid(Vec(1), 2, false), VeltaError);
}

TEST(DataFileGrid, PaintFramesTheValueCells) {
    const auto c = Grid_Paint(5, 3);  // vector grid of length 3
    ASSERT_EQ(c.size(), 4u * 6u);
    const std::uint32_t W = 0x00FFFFFF, G = 0x00E0E0E0;
    const std::vector<std::uint32_t> expected = {
        W, W, W, W, W, W, W, G, G, G, G, G, W, G, W, W, W, G, W, G, G, G, G, G,
    };
    EXPECT_EQ(c, expected);
}

TEST_F(DataFileStore, KeyLinesTakeTheThirdPieceAtSingleBlanks) {
    Reading r(mdl, "MCLASS = 1\r\nXYZ = 1\r\nALFA = 2.50\r\nN = 2.5\r\nN = 3.5\r\nMCLASS  = 1\r\n");
    i16 a = 0, b = 0, n1 = 0, n2 = 0;
    double alfa = 0;
    r.par.Key_InputI("MClass", a);
    r.par.Key_InputI("MClass", b);
    r.par.Key_InputR("ALFA", alfa);
    r.par.Key_InputI("N", n1);
    r.par.Key_InputI("N", n2);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 1);
    EXPECT_DOUBLE_EQ(alfa, 2.5);
    EXPECT_EQ(n1, 2);  // ties to even
    EXPECT_EQ(n2, 4);
    i16 bad = 77;
    const std::string m = message([&] { r.par.Key_InputI("MClass", bad); });
    EXPECT_EQ(m.rfind("Ошибка чтения файла Test.mnkd, строка 6: ожидалось", 0), 0u) << m;
    EXPECT_EQ(bad, 77);
    EXPECT_EQ(r.echoed(), "MClass = 1\r\nMClass = 1\r\nALFA = 2.5\r\nN = 2\r\nN = 4\r\n");
}

TEST_F(DataFileStore, KeyLineWithoutBlanksOrValueFails) {
    for (const char* line : {"MCLASS=1", "MCLASS =", "", "ALFA = abc"}) {
        Reading r(mdl, std::string(line) + "\r\n");
        double v = 0;
        const std::string m = message([&] { r.par.Key_InputR("ALFA", v); });
        EXPECT_EQ(m.rfind("Ошибка чтения файла Test.mnkd, строка 1: ожидалось", 0), 0u) << line << ": " << m;
        EXPECT_EQ(r.echoed(), "");
    }
}

TEST_F(DataFileStore, ListsAreCutAtTheLimit) {
    Reading r(mdl, "2,5\r\n1,2,3,4,5,6\r\n\r\n3\r\n1,x\r\n");
    EXPECT_EQ(r.par.readList(4), (std::vector<i16>{2, 5}));
    EXPECT_EQ(r.par.readList(4), (std::vector<i16>{1, 2, 3, 4}));
    EXPECT_TRUE(r.par.readList(4).empty());
    EXPECT_EQ(r.par.readList(4), (std::vector<i16>{3}));
    const std::string m = message([&] { r.par.readList(4); });
    EXPECT_EQ(m.rfind("Ошибка чтения файла Test.mnkd, строка 5: ожидалось", 0), 0u) << m;
}

TEST_F(DataFileStore, HeadersAreStoredEchoedAndWrittenBack) {
    Reading r(mdl, "Блок 1\r\n------\r\nТолько одна\r\n");
    r.par.Head_Input(1);
    EXPECT_EQ(mdl.HEAD[1][0], "Блок 1");
    EXPECT_EQ(mdl.HEAD[1][1], "------");
    EXPECT_EQ(r.echoed(), "\xC1\xEB\xEE\xEA 1\r\n------\r\n");
    const std::string m = message([&] { r.par.Head_Input(2); });
    EXPECT_NE(m.find("файл закончился раньше времени"), std::string::npos) << m;
    EXPECT_THROW(r.par.Head_Input(13), VeltaError);

    std::ostringstream out;
    {
        TextWriter w(out);
        Head_File(mdl, w, 1);
        Key_File(w, "ALFA", "10");
    }
    EXPECT_EQ(out.str(), "\xC1\xEB\xEE\xEA 1\r\n------\r\nALFA = 10\r\n");
}

TEST_F(DataFileStore, ThirdNumberOnAValueLineBecomesTheNextHeader) {
    Reading r(mdl, "2,4\r\nX(i1),...:\r\n1,2,3\r\nБлок 3\r\nподчёркивание\r\n");
    const auto ink = r.par.readList(4);
    ASSERT_EQ(ink.size(), 2u);
    r.par.skipLine();
    r.par.skipEmptyValueLine();  // not empty: left alone
    EXPECT_DOUBLE_EQ(r.par.readNumber(), 1);
    EXPECT_DOUBLE_EQ(r.par.readNumber(), 2);
    r.par.skipEmptyValueLine();  // a pending rest is no empty line
    r.par.Head_Input(3);
    EXPECT_EQ(mdl.HEAD[3][0], ",3");
    EXPECT_EQ(mdl.HEAD[3][1], "Блок 3");
}

TEST_F(DataFileStore, EmptyIndexListKeepsTheFollowingBlocksInPlace) {
    // As written: the empty value line after the label; and a file without that line.
    for (const std::string valueLine : {"\r\n", ""}) {
        mdl.reset();
        Reading r(mdl, "i1,...:\r\n\r\nX(i1),...:\r\n" + valueLine + "Блок 3\r\n---\r\nTMAX = 100\r\n");
        r.par.skipLine();
        EXPECT_TRUE(r.par.readList(4).empty());
        r.par.skipLine();
        r.par.skipEmptyValueLine();
        r.par.Head_Input(3);
        EXPECT_EQ(mdl.HEAD[3][0], "Блок 3");
        EXPECT_EQ(mdl.HEAD[3][1], "---");
        r.par.Key_InputR("TMAX", mdl.TMAX);
        EXPECT_DOUBLE_EQ(mdl.TMAX, 100);
        EXPECT_TRUE(r.reader.eof());
    }
    // At the end of the file there is nothing to skip.
    Reading end(mdl, "X\r\n");
    end.par.skipLine();
    end.par.skipEmptyValueLine();
    EXPECT_TRUE(end.reader.eof());
}

TEST_F(DataFileStore, MatrixAndVectorWriters) {
    mdl.NDIM = 2;
    GridText g(4, 5);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c) g.at(r, c) = std::to_string(r) + std::to_string(c);
    std::ostringstream out;
    {
        TextWriter w(out);
        Matr_File(w, 2, g);
        Vect_File(w, "XP(I):", 2, g);
        VectRow_File(w, "R:", 3, 2, g);
        Colm_File(w, "C:", 2, g);
    }
    EXPECT_EQ(out.str(),
              "22,23\r\n32,33\r\n\r\n"
              "XP(I):\r\n22,23\r\n"
              "R:\r\n32,33,34\r\n"
              "C:\r\n22,32\r\n");
}

TEST_F(DataFileStore, DelayWriters) {
    mdl.MDIM = 2;
    mdl.LTAU = 2;
    GridText g(4, 6);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c) g.at(r, c) = std::to_string(r) + std::to_string(c);
    std::ostringstream out;
    {
        TextWriter w(out);
        MatrTau_File(w, 2, 2, g);
        VectTau_File(w, "TAU:", 2, g);
        VectM_File(w, "M:", 1, 2, g);
    }
    EXPECT_EQ(out.str(),
              "22,23\r\n32,33\r\n24,25\r\n34,35\r\n\r\n"
              "TAU:\r\n22,23\r\n"
              "M:\r\n12,13\r\n");
    // a grid narrower than the dimension is an error, not garbage
    std::ostringstream out2;
    TextWriter w2(out2);
    EXPECT_THROW(Vect_File(w2, "XP(I):", 5, g), VeltaError);
}

TEST_F(DataFileFolder, CheckFileHead) {
    AppPaths paths(root.string());
    createCheckFile(paths)->close();
    EXPECT_EQ(chk(), kChkHead + " \r\n");
    createCheckFile(paths, false)->close();
    EXPECT_EQ(chk(), kChkHead);
}

TEST_F(DataFileFolder, ReadingEchoesToTheCheckFile) {
    write("a.mnkd", "Блок 1\r\n-\r\nMCLASS = 2\r\nNDIM = 3\r\ni1:\r\n1,3\r\nX:\r\n0.5,1E-05\r\n");
    AppPaths paths(root.string());
    std::vector<i16> ink;
    readParFile(mdl, paths, (root / "User" / "a.mnkd").string(), [&](ParReader& p) {
        p.Head_Input(1);
        p.Key_InputI("MClass", mdl.MCLASS);
        p.Key_InputI("NDIM", mdl.NDIM);
        p.skipLine();
        ink = p.readList(mdl.NDIM);
        p.skipLine();
        mdl.X1.alloc(mdl.NDIM);
        for (std::size_t k = 0; k < ink.size(); ++k) mdl.X1(ink[k]) = p.readNumber();
    });
    EXPECT_EQ(mdl.MCLASS, 2);
    EXPECT_DOUBLE_EQ(mdl.X1(3), 1e-5);
    EXPECT_EQ(chk(), kChkHead + " \r\n\xC1\xEB\xEE\xEA 1\r\n-\r\nMClass = 2\r\nNDIM = 3\r\n");
}

TEST_F(DataFileFolder, FailedReadingNamesFileAndLineAndKeepsTheEcho) {
    const std::string data = (root / "User" / "b.mnkd").string();
    write("b.mnkd", "H1\r\nH2\r\nMCLASS = 1\r\nNDIM  = 3\r\n");
    AppPaths paths(root.string());
    auto readBlock1 = [&](ParReader& p) {
        p.Head_Input(1);
        p.Key_InputI("MClass", mdl.MCLASS);
        p.Key_InputI("NDIM", mdl.NDIM);
    };
    std::string m = message([&] { readParFile(mdl, paths, data, readBlock1); });
    EXPECT_NE(m.find(data), std::string::npos) << m;
    EXPECT_NE(m.find("строка 4"), std::string::npos) << m;
    EXPECT_NE(m.find("ожидалось"), std::string::npos) << m;
    EXPECT_EQ(mdl.MCLASS, 1);
    EXPECT_EQ(chk(), kChkHead + " \r\nH1\r\nH2\r\nMClass = 1\r\n");

    // An error that is not the reader's own still says where the reading stood.
    m = message([&] {
        readParFile(mdl, paths, data, [&](ParReader& p) {
            p.skipLine();
            mdl.X1.alloc(1);
            mdl.X1(2) = 1;
        });
    });
    EXPECT_NE(m.find(data + ", строка 1"), std::string::npos) << m;
    EXPECT_NE(m.find("Индекс 2"), std::string::npos) << m;

    // Running out of lines.
    m = message([&] {
        readParFile(mdl, paths, data, [](ParReader& p) {
            for (;;) p.skipLine();
        });
    });
    EXPECT_NE(m.find(data), std::string::npos) << m;
    EXPECT_NE(m.find("файл закончился раньше времени"), std::string::npos) << m;
}

TEST_F(DataFileFolder, MissingDataFileStillLeavesANewCheckFile) {
    write("Input.chk", "old\r\n");
    AppPaths paths(root.string());
    const std::string missing = (root / "User" / "none.mnkd").string();
    bool called = false;
    const std::string m = message(
        [&] { readParFile(mdl, paths, missing, [&](ParReader&) { called = true; }); });
    EXPECT_NE(m.find(missing), std::string::npos) << m;
    EXPECT_FALSE(called);
    EXPECT_EQ(chk(), kChkHead + " \r\n");
}
