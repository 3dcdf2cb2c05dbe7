#pragma once

#include "effects/scratchDir.h"
#include "engine/core/log.h"

#include <string>

namespace kovra::test {

// A fresh log in a scratch folder; Rows() closes it and returns the rows
// written after the header.
class LogCapture {
public:
    LogCapture() {
        delete engine::core::Logging::mInstance;
        engine::core::Logging::Get();
    }
    ~LogCapture() { delete engine::core::Logging::mInstance; }

    std::string Rows() {
        delete engine::core::Logging::mInstance;
        const std::string text = ReadFile(mDir.Path() / "data" / "log.html");
        const std::string header = "<tr><td><br /></td></tr>\r\n";
        const std::string footer = "</body></html>\r\n";
        auto start = text.find(header);
        if (start == std::string::npos || text.size() < footer.size())
            return "<malformed log>";
        start += header.size();
        return text.substr(start, text.size() - footer.size() - start);
    }

    const ScratchDir& Dir() const { return mDir; }

private:
    ScratchDir mDir;
};

} // namespace kovra::test
