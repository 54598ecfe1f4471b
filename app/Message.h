#pragma once

#include <string>
#include <vector>

#include "app/Text.h"

namespace orvanta {

// The icon of a message box; shared by the core's messages and the window host.
enum class MsgIcon { Critical, Exclamation, Information, Question };

// A message box's icon and lines, as the core composes it; the front end shows it (the
// window as a box with the application title, the command as lines of text).
struct MessageText {
    MsgIcon icon = MsgIcon::Information;
    std::vector<std::string> lines;

    // The lines joined by CR LF, as the box shows them.
    std::string Text() const {
        std::string text;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i > 0) text += kCrLf;
            text += lines[i];
        }
        return text;
    }
};

}  // namespace orvanta
