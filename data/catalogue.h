// The section catalogue: everything the shared code asks about one of the seventeen sections.
// A section's row says what it is (captions, files, folders) and how it differs where shared
// code handles every section alike (legend rows, closing line, results commands, run summary),
// so that the shell, the canvas and the runner ask the row instead of switching on the code.
#pragma once
#include <string>
#include <vector>

namespace velta {

struct Store;

// What the side panel shows above the components: rows of text, each a label followed by a
// value taken from the store when the run starts.
struct HeaderRow {
    enum class Piece {
        Text,             // label + value at `row`
        AfterDelays,      // the same, at row LTAU + `row` (below the delays)
        Delays,           // "TAU(i) = " at row 6 + i for i = 1..LTAU
        StabilityLegend,  // section 3's key of the stability curve (rows 11..15)
    };
    double row = 0;
    std::string label;
    std::string (*value)(const Store&) = nullptr;  // none: the label alone
    Piece piece = Piece::Text;
};

// How a run ends on the canvas: the period found, the portion counter "L", or the progress
// bar hidden only (a PERIOD left by another section is not printed).
struct ClosingLine {
    enum class Kind { None, Period, Portion, HideProgress };
    Kind kind = Kind::None;
    double row = 0;  // side-panel row of the line
};

// What the phase-plane legend adds below the component numbers.
enum class PhaseLegend {
    Plain,
    Symmetric,  // the symmetric stationary point X(i) = STAT
    TwoChains,  // one row higher; the two chains' stationary values unless IND = 1
};

// What the estimate before a run reads (see app/runsize.h).
enum class RunSize {
    None,          // no step table
    Autonomous,    // TMAX / HHH steps, NDIM columns
    ThreeColumns,  // SCRT / HHH steps, the three coordinates
    DelayPortion,  // one portion of at least one window TAU(LTAU)
};

// The outputs of "velta-run --summary" (see app/runsummary.h).
enum class SummaryKind {
    None,
    Steps,         // rows of an integration, statistics, the period when searched
    Stability,     // the critical point of section 3
    Continuation,  // points of the curve; turning and QSOLV points when it keeps them
    Solutions,     // the solutions kept in QSOLV
};

struct SectionInfo {
    int code;                // 11, 12, 21, 213, 215, 217, 22, 3, 4, 511, 512, 521, 522, 6, 7, 8, 9
    std::string window;      // "frmUni_11"
    std::string menuObject;  // "mnuSymAUto"
    std::string caption;     // window caption, status panel 1
    std::string dropText;    // text of the section drop-down item
    std::string dataFilter;  // "Файлы данных (*.mnkd)|*.mnkd|", empty for section 4
    std::string resultsFilter;
    std::string subdir;      // "Mnk\" or empty
    std::string folderName;  // "\СимАвто"
    std::string resext;      // set into RESEXT by the selection, empty when not set
    std::string resultExt;   // "mnk": "\User\Results." & resultExt
    std::string dataExt;     // ".mnkd"
    char group;              // 'A', 'B' or 'D'
    std::string openProc;    // "IshDanSym", empty for section 4

    struct Traits {
        bool delay = false;         // components Z over a window of delays
        bool periodSearch = false;  // searches the period after TMIN
        // Its variation dialog (VarDlg: 0 frmVarPar, 1 frmVarPar9, 2 frmVarPar1, 3 frmVarPar2),
        // -1 for none; `variation`: "В&арьирование параметров" is enabled after a run.
        int varDialog = -1;
        bool variation = false;
        std::vector<HeaderRow> header{};
        bool residualLegend = true;  // the "Норма невязки" key of a time plot with the period on
        PhaseLegend phase = PhaseLegend::Plain;
        ClosingLine closing{};
        RunSize runSize = RunSize::None;
        SummaryKind summary = SummaryKind::None;
        // Files in User that "&Удалить файлы результатов" deletes for this section.
        std::vector<std::string> written{};
        // Files of "Открыть файл Qsolv", "… Spectr", "… Stabl" (empty: the command is not there).
        std::string qsolvFile{}, spectrFile{}, stablFile{};
        // After a run: "С&чёт" stays disabled until the next reading, "&Ввод исходных данных"
        // until the next file.
        bool oneRunPerInput = false, oneInputPerFile = false;
        // No data file: the tables open after "&Ввод исходных данных", and the run's report
        // is shown in the text view.
        bool textReport = false;
    } traits{};

    bool hasDataFile() const { return !dataExt.empty(); }
};

// In the order of the section drop-down.
const std::vector<SectionInfo>& catalogue();
const SectionInfo* findSection(int code);
const SectionInfo* findSectionByCaption(const std::string& caption);
// The section whose menu item has the object name `menuObject` ("mnuSymAUto").
const SectionInfo* findSectionByMenu(const std::string& menuObject);

}  // namespace velta
