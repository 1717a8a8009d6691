// What a section input window needs from the main window, and what the main window
// needs from a section input window.
#pragma once
#include <memory>

class QWidget;

namespace velta {

class Shell;
class AppPaths;
class Prompter;
struct Store;

class FormHost {
public:
    virtual ~FormHost() = default;
    virtual Shell& shell() = 0;
    virtual const AppPaths& paths() = 0;
    virtual Prompter& prompter() = 0;      // messages, input boxes, file dialogs
    virtual Store& store() = 0;            // the parameter store the windows show and edit
    virtual void commandsChanged() = 0;    // mirror the shell's command state and status bar
    virtual void showHelp(int topic) = 0;  // 0 = the help file's default page; remembers HELPWND
    virtual QWidget* mainWidget() = 0;     // parent for the section windows
};

// A section's input window (frmUni_11, ...), created on first use and then only hidden.
class SectionWindow {
public:
    virtual ~SectionWindow() = default;
    // The section's open procedure (IshDanSym, ...): open dialog, InputPar, fill the
    // sheets and show the window; a cancelled dialog or a failed reading changes nothing.
    virtual void open() = 0;
    virtual QWidget* widget() = 0;
};

// The input window of a section, or nullptr when that window is not built yet.
std::unique_ptr<SectionWindow> makeSectionWindow(int code, FormHost& host);

}  // namespace velta
