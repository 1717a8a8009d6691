// A prompter for tests: answers input boxes, Yes/No questions and file dialogs from
// queues (an exhausted queue answers Cancel / No / Cancel; "" is an empty answer) and
// records every question and message, so a test can check what the user would have been
// asked and never hangs.
//
//   ScriptedPrompter ui;
//   ui.answers = {"", "x"};             // first input box: empty (Cancel), second: "x"
//   ... run ...
//   EXPECT_EQ(ui.inputs.size(), 2u);    // prompt, title, default text and position recorded
#pragma once
#include "app/prompter.h"

#include <deque>
#include <string>
#include <vector>

namespace velta::test {

class ScriptedPrompter : public Prompter {
public:
    struct Message {
        std::string text, title;
        MsgIcon icon;
    };
    struct Input {
        std::string prompt, title, defaultText;
        int x, y;
    };
    struct Dialog {
        std::string folder, filter;
        bool save;
    };

    // ---- answers, consumed front first
    std::deque<std::string> answers;    // input boxes
    std::deque<bool> yesNo;             // askYesNo
    std::deque<std::string> openFiles;  // chooseOpenFile
    std::deque<std::string> saveFiles;  // chooseSaveFile

    // ---- what was asked and shown, in order
    std::vector<Message> messages;
    std::vector<Input> inputs;
    std::vector<std::string> questions;  // askYesNo texts
    std::vector<Dialog> dialogs;
    std::vector<std::string> notes;
    std::vector<int> progress;  // progressValue calls
    int progressMax = -1;       // last progressShow, -1 when never shown
    bool progressVisible = false;

    void message(const std::string& text, MsgIcon icon, const std::string& title) override {
        messages.push_back({text, title, icon});
    }
    std::string inputBox(const std::string& prompt, const std::string& title, const std::string& defaultText,
                         int x, int y) override {
        inputs.push_back({prompt, title, defaultText, x, y});
        cancelled_ = answers.empty();  // an exhausted queue is Cancel, "" an empty answer
        return take(answers, std::string{});
    }
    bool emptyAnswerWasCancel() const override { return cancelled_; }
    bool askYesNo(const std::string& text, const std::string&) override {
        questions.push_back(text);
        return take(yesNo, false);
    }
    std::string chooseOpenFile(const std::string& folder, const std::string& filter) override {
        dialogs.push_back({folder, filter, false});
        return take(openFiles, std::string{});
    }
    std::string chooseSaveFile(const std::string& folder, const std::string& filter) override {
        dialogs.push_back({folder, filter, true});
        return take(saveFiles, std::string{});
    }
    void progressShow(int maximum) override {
        progressMax = maximum;
        progressVisible = true;
    }
    void progressValue(int value) override { progress.push_back(value); }
    void progressHide() override { progressVisible = false; }
    void note(const std::string& text) override { notes.push_back(text); }

private:
    bool cancelled_ = false;
    template <typename T>
    static T take(std::deque<T>& q, T whenEmpty) {
        if (q.empty()) return whenEmpty;
        T v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace velta::test
