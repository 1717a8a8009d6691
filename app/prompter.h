// Questions and messages of the package: message boxes, input boxes, the progress bar
// and the status text. The window shows real dialogs; the runner answers from a list.
#pragma once
#include <string>
#include <utility>

namespace velta {

inline const std::string kTitle = "   VELTA";

enum class MsgIcon { None, Information, Exclamation, Critical };

class Prompter {
public:
    virtual ~Prompter() = default;
    // Modal message with an OK button.
    virtual void message(const std::string& text, MsgIcon icon = MsgIcon::None,
                         const std::string& title = kTitle) = 0;
    // Modal input box; x, y < 0 means the default position, (0, 0) the screen's top-left.
    // Returns the answer; an empty text stands for an empty answer and for Cancel.
    virtual std::string inputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText = "", int x = -1, int y = -1) = 0;
    // After an empty answer: whether the box was closed with Cancel rather than answered
    // with an empty text. A prompter that cannot tell them apart says Cancel.
    virtual bool emptyAnswerWasCancel() const { return true; }
    // Modal Yes/No question; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& title = kTitle) {
        (void)text;
        (void)title;
        return false;
    }
    // Open and save dialogs: initial folder, filter list of "description|pattern|" pairs.
    // Return the chosen full path, empty for Cancel.
    virtual std::string chooseOpenFile(const std::string& folder, const std::string& filter) {
        (void)folder;
        (void)filter;
        return {};
    }
    virtual std::string chooseSaveFile(const std::string& folder, const std::string& filter) {
        (void)folder;
        (void)filter;
        return {};
    }
    // The main window's progress bar.
    virtual void progressShow(int maximum) { (void)maximum; }
    virtual void progressValue(int value) { (void)value; }
    virtual void progressHide() {}
    // A short note for the user (status text; the runner prints it to stderr).
    virtual void note(const std::string& text) { (void)text; }
};

// A prompter nobody reads: messages are dropped and every box gets the same answer (empty:
// Cancel). For check readings and the programs that compute without a user.
class SilentPrompter : public Prompter {
public:
    explicit SilentPrompter(std::string answer = {}) : answer_(std::move(answer)) {}
    void message(const std::string&, MsgIcon, const std::string&) override {}
    std::string inputBox(const std::string&, const std::string&, const std::string&, int, int) override {
        return answer_;
    }

private:
    std::string answer_;
};

}  // namespace velta
