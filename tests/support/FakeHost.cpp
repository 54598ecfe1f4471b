#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include "ui/FrmSelect.h"

namespace orvanta::test {

const char* FormName(FormId form) {
    switch (form) {
        case FormId::Main: return "Main";
        case FormId::Select: return "Select";
        case FormId::Display: return "Display";
    }
    return "?";
}

MsgAnswer FakeHost::ShowMessage(const MessageRequest& request) {
    messages.push_back(request);
    journal.push_back("message:" + (request.lines.empty() ? std::string() : request.lines.front()));
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (request.buttons == MsgButtons::Ok) return kAnswerOk;
    ADD_FAILURE() << "no scripted answer for the message: " << request.Text();
    return request.buttons == MsgButtons::YesNo ? kAnswerNo : kAnswerCancel;
}

void FakeHost::ShowModal(frmSelect& window) {
    modalShows.push_back({window.Form.Caption(), window.Form.Left(), window.Form.Top()});
    journal.push_back("modal");
    std::function<void(frmSelect&)> act;
    if (!modalScript.empty()) {
        act = std::move(modalScript.front());
        modalScript.pop_front();
    }
    if (act) act(window);
    // A real modal loop goes on until the window is gone; the user then closes it.
    if (window.Form.Loaded()) window.Form_QueryUnload();
}

std::string FakeHost::BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) {
    browseRequests.push_back({owner, startFolder, title});
    journal.push_back("browse");
    if (browseAnswers.empty()) return {};
    std::string answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
}

void FakeHost::RepaintNow(FormId) {
    const std::string text = statusLine ? statusLine() : std::string();
    repaintedStatus.push_back(text);
    journal.push_back("repaint:" + text);
}

void FakeHost::FormShown(FormId form) { journal.push_back(std::string("shown:") + FormName(form)); }

void FakeHost::FormUnloaded(FormId form) { journal.push_back(std::string("unloaded:") + FormName(form)); }

int FakeHost::CountMessagesContaining(const std::string& fragment) const {
    int n = 0;
    for (const MessageRequest& m : messages) {
        if (m.title.find(fragment) != std::string::npos || m.Text().find(fragment) != std::string::npos) ++n;
    }
    return n;
}

const MessageRequest& FakeHost::LastMessage() const {
    static const MessageRequest none;
    return messages.empty() ? none : messages.back();
}

}  // namespace orvanta::test
