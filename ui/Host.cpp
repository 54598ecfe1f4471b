#include "ui/Host.h"

#include "app/Text.h"

namespace orvanta {

std::string MessageRequest::Text() const {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += kCrLf;
        text += lines[i];
    }
    return text;
}

int MessageRequest::Style() const {
    int style = 0;
    switch (buttons) {
        case MsgButtons::Ok: style = 0; break;
        case MsgButtons::YesNo: style = 4; break;
        case MsgButtons::RetryCancel: style = 5; break;
    }
    switch (icon) {
        case MsgIcon::Critical: style += 16; break;
        case MsgIcon::Question: style += 32; break;
        case MsgIcon::Exclamation: style += 48; break;
        case MsgIcon::Information: style += 64; break;
    }
    if (defaultButton == 2) style += 256;
    return style;
}

}  // namespace orvanta
