// The section catalogue: everything a selection records about one of the seventeen sections.
#pragma once
#include <string>
#include <vector>

namespace velta {

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
};

// In the order of the section drop-down.
const std::vector<SectionInfo>& catalogue();
const SectionInfo* findSection(int code);
const SectionInfo* findSectionByCaption(const std::string& caption);

}  // namespace velta
