#pragma once

#include <string>

namespace orvanta {

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a document or web address with its default handler. False when that failed.
    virtual bool Open(const std::string& documentOrAddress) = 0;
};

}  // namespace orvanta
