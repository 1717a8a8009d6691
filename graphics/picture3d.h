// The 3D picture: the trajectory of the last computation (or its crossings with a
// Poincaré hyperplane) inside a rotatable coordinate box, read back from the results
// table, with an optional stereo pair. Drawn over the abstract surface.
#pragma once
#include "data/context.h"

#include <array>
#include <iosfwd>
#include <string>
#include <vector>

namespace velta {

class Shell;
class TextReader;
class TextWriter;

inline constexpr double kHalfPi = 1.5707963267949;

// What the variation dialog of the current section asks of the picture.
struct Options3D {
    bool phase = false;         // PHASEMODE: the trajectory in the space of IC(1..3)
    bool puan = false;          // PUANMODE: crossings with the hyperplane (XP, FP)
    bool stereo = false;        // two images side by side
    bool latitudeLimit = true;  // "Ограничение по широте"
};
Options3D options3D(const Shell& s);

// Angle data, view and screen mapping, box and loaded points. Arrays are used at 1..N.
struct View3D {
    // angle file
    double DFI = 0, DTE = 0, SFI = 0, SSCR = 0, MSCR = 0;
    double DFIR = 0, DTER = 0, SFIR = 0;
    std::array<std::string, 2> header;  // first two lines of the angle file
    std::string uglyFile;               // the remembered file; "" = the default
    // view
    double FI = 0, TE = 0;
    double SINFI = 0, COSFI = 1, SINTE = 0, COSTE = 1, SINFI2 = 0, COSFI2 = 1;
    // mapping
    double X3C = 0, X3C2 = 0, Y3C = 0, KX3 = 0, KX3B = 0, KY3 = 0;
    int SIMG = 0;
    // box
    std::array<double, 9> XK{}, YK{}, ZK{}, XE{}, YE{};
    // points
    Options3D opt;
    std::vector<double> X3, Y3, Z3, U3, V3;     // 1..NROW
    std::vector<double> XC1, XC2, XC3, PU, PV;  // 1..PUANCOUNT
    int PUANCOUNT = 0;
    bool loaded = false;  // a picture is on the canvas and can be turned
};

// Header lines before the table of a results file; an extension without a table the
// picture can read is an error.
int headerLines(const std::string& resext, int ndim);

// ---- reading
// Input_Ugly over streams: the five values, echo into the check writer.
void readAngles(View3D& v, TextReader& in, TextWriter& chk);
// Input_Ugly: the remembered file, or "\User\Ugly.ugl" when it does not exist; check file
// "\User\Ugly.chk"; then the radians and the starting view.
void Input_Ugly(Ctx& c, View3D& v);
// The corners of the box for the scale SCRX of g.
void Input2_k(const Store& g, View3D& v);
// Table_File of the angle dialog: the angle data file from the five values as typed
// (DFI, DTE, SFI, SSCR, MSCR).
void writeAngles(TextWriter& out, const std::array<std::string, 5>& typed);
// Input_ph / Input_pu over streams (the results file positioned at its start), with the
// table's size and components from the store g.
void readPhase(const Store& g, View3D& v, TextReader& results, TextWriter& chk);
void readPuan(const Store& g, View3D& v, TextReader& results, TextWriter& chk);
// The same from "\User\Results." & RESEXT into "\User\Phas.chk" / "\User\Puan.chk".
void Input_ph(Ctx& c, View3D& v);
void Input_pu(Ctx& c, View3D& v);
void InputPhPu(Ctx& c, View3D& v);

// ---- projection and drawing
void PereSchet(const View3D& v, double x, double y, double z, double sinfi, double cosfi, double& u,
               double& w);
double newx(const View3D& v, double u);
double newy(const View3D& v, double w);
void SFRPRO_k(View3D& v, double sinfi, double cosfi);
// Hidden corners of the box for a view (several on a boundary), in the order drawn.
std::vector<int> hiddenCorners(double sinfi, double cosfi, double sinte, double coste);
void DrawKub(Ctx& c, View3D& v, double sinfi, double cosfi);
void MeshMaskG3(Ctx& c, View3D& v, const std::string& title);
void Run1(Ctx& c, View3D& v);
// Main_3D: angles, box, points, frame, view. The caller enables the turning buttons.
void m3D_Graph(Ctx& c, View3D& v, const Options3D& o);

// ---- rotation
enum class Turn { Right, Down, Left, Up };
void turn(View3D& v, Turn t);                // the angle step, latitude limit; no drawing
void drag(View3D& v, double dx, double dy);  // pointer offset in pixels from the press

}  // namespace velta
