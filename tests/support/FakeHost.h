#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "ui/Host.h"

namespace orvanta::test {

// A screen for tests: records every request of the windows in order and answers message
// boxes, modal windows and folder browsers from a script.
class FakeHost : public Host {
public:
    struct ModalShow {
        std::string caption;
        double left = 0;
        double top = 0;
    };
    struct BrowseRequest {
        FormId owner;
        std::string startFolder;
        std::string title;
    };

    // Answers for the next message boxes, in order. A box with only an OK button needs no
    // answer; any other box without one is a test failure and is answered Cancel/No.
    std::deque<MsgAnswer> answers;
    // What the user does in the selection window, one entry per modal show. Without an
    // entry the user closes the window with its close box.
    std::deque<std::function<void(frmSelect&)>> modalScript;
    // Folders the browser returns, in order; an empty text is a cancelled browser. Without
    // an entry the browser is cancelled.
    std::deque<std::string> browseAnswers;
    // Read at each repaint request, to record what the status line showed then.
    std::function<std::string()> statusLine;

    std::vector<MessageRequest> messages;
    std::vector<ModalShow> modalShows;
    std::vector<BrowseRequest> browseRequests;
    std::vector<std::string> repaintedStatus;
    std::vector<MousePointer> cursors;
    // Every request in order: "message:<first line>", "modal", "browse", "repaint:<status>",
    // "shown:<form>", "unloaded:<form>".
    std::vector<std::string> journal;

    MsgAnswer ShowMessage(const MessageRequest& request) override;
    void PrepareModal(frmSelect&) override {}  // the design size stands for the real one
    void ShowModal(frmSelect& window) override;
    std::string BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) override;
    void RepaintNow(FormId form) override;
    void FormShown(FormId form) override;
    void FormUnloaded(FormId form) override;
    void SetCursor(MousePointer pointer) override { cursors.push_back(pointer); }

    // Messages whose lines or title contain the fragment.
    int CountMessagesContaining(const std::string& fragment) const;
    const MessageRequest& LastMessage() const;
};

const char* FormName(FormId form);

}  // namespace orvanta::test
