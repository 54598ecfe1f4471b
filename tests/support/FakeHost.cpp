#include "support/FakeHost.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>

#include "ui/FrmSelect.h"

namespace orvanta::test {

namespace {

const char* FormName(FormId form) {
    return form == FormId::Main ? "Main" : form == FormId::Select ? "Select" : "Display";
}

}  // namespace

MsgAnswer FakeHost::ShowMessage(const MessageRequest& request) {
    // Every box carries the title of the window that asks.
    EXPECT_EQ(request.title, request.owner == FormId::Select ? "Sim version selection" : "Orvanta Installer");
    std::string text = request.Text();
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, " / ");
    journal.push_back((request.centred ? FormName(request.owner) : "Screen") + (" " + std::to_string(request.Style())) +
                      ": " + text);
    if (auto during = std::exchange(duringNextBox, {})) during();
    if (!answers.empty()) {
        const MsgAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    if (request.buttons == MsgButtons::Ok) return kAnswerOk;
    ADD_FAILURE() << "no scripted answer for: " << text;
    return request.buttons == MsgButtons::YesNo ? kAnswerNo : kAnswerCancel;
}

void FakeHost::ShowModal(frmSelect& window) {
    // What the user sees: caption, place, the usable options (the checked one starred).
    std::ostringstream entry;
    entry << "modal " << window.Form.Caption() << " at " << window.Form.Left() << "," << window.Form.Top() << ":";
    for (int i = 1; i <= 6; ++i) {
        if (window.OptSim(i).Enabled()) entry << " " << i << (window.OptSim(i).Value() ? "*" : "");
    }
    entry << (window.FrameSim.Enabled() ? " Frame" : "") << (window.cmdSelect.Enabled() ? " Select" : "");
    journal.push_back(entry.str());
    if (!modalScript.empty()) {
        modalScript.front()(window);
        modalScript.pop_front();
    }
    // A real modal loop goes on until the window is gone.
    if (window.Form.Loaded()) window.Form_QueryUnload();
}

std::string FakeHost::BrowseForFolder(FormId owner, const std::string& startFolder, const std::string& title) {
    journal.push_back("browse " + std::string(FormName(owner)) + " " + title + startFolder);
    if (browseAnswers.empty()) return {};
    std::string answer = browseAnswers.front();
    browseAnswers.pop_front();
    return answer;
}

void FakeHost::FormShown(FormId form) { journal.push_back(std::string("shown ") + FormName(form)); }

void FakeHost::FormUnloaded(FormId form) { journal.push_back(std::string("unloaded ") + FormName(form)); }

}  // namespace orvanta::test
