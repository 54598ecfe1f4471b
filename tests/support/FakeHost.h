#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/Host.h"

namespace orvanta::test {

// A screen for tests: writes every request of the windows into one journal, in order, and
// answers message boxes, modal windows and folder browsers from a script.
class FakeHost : public Host {
public:
    // Answers for the next message boxes, in order. A box with only an OK button needs no
    // answer; any other box without one is a test failure and is answered Cancel/No.
    std::deque<MsgAnswer> answers;
    // What the user does in the selection window, one entry per modal show; the user then
    // closes the window with its close box.
    std::deque<std::function<void(frmSelect&)>> modalScript;
    // Folders the browser returns, in order; without an entry the browser is cancelled.
    std::deque<std::string> browseAnswers;
    // Runs inside the next message box, before its answer: what happens while it is open
    // (the session ending, say).
    std::function<void()> duringNextBox;
    // Read at each repaint request: what the painted window looks like then.
    std::function<std::string()> look;

    // "Main 64: line / line" (the owner, or Screen when not centred; the style number; the
    // text), "modal <caption> at <left>,<top>: <options>", "browse <owner> <title>", "repaint <look>",
    // "shown <form>", "unloaded <form>", "cursor <pointer number>".
    std::vector<std::string> journal;

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    void PrepareModal(frmSelect&) override {}  // the design size stands for the real one
    void ShowModal(frmSelect& window) override;
    std::string BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) override;
    void RepaintNow(FormId) override { journal.push_back("repaint " + (look ? look() : std::string())); }
    void FormShown(FormId form) override;
    void FormUnloaded(FormId form) override;
    void SetCursor(MousePointer pointer) override {
        journal.push_back("cursor " + std::to_string(static_cast<int>(pointer)));
    }
};

}  // namespace orvanta::test
