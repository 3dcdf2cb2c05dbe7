#pragma once

#include "engine/core/log.h"
#include "support/scratchDir.h"

#include <string>

namespace kovra::test {

// A fresh log in a scratch folder: Rows() returns what was written after
// the header, once the stream is flushed by closing the log.
class LogCapture {
public:
    LogCapture() {
        delete engine::core::Logging::mInstance;
        engine::core::Logging::Get();
    }
    ~LogCapture() { delete engine::core::Logging::mInstance; }

    // Closes the log and returns the whole file.
    std::string Close() {
        delete engine::core::Logging::mInstance;
        return ReadFile(mDir.Path() / "data" / "log.html");
    }

    // Closes the log and returns the rows between header and footer.
    std::string Rows() {
        std::string text = Close();
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

inline std::string MessageRow(int line, const std::string& file, const std::string& text) {
    return "<tr><td>MESSAGE</td><td>" + std::to_string(line) + "</td><td>" + file + "</td><td>" +
           text + "</td></tr>\r\n";
}

inline std::string WarningRow(int line, const std::string& file, const std::string& text) {
    return "<tr class=\"warning\"><td>WARNING</td><td>" + std::to_string(line) + "</td><td>" +
           file + "</td><td>" + text + "</td></tr>\r\n";
}

inline std::string ErrorRow(int line, const std::string& file, const std::string& text) {
    return "<tr class=\"error\"><td>ERROR</td><td>" + std::to_string(line) + "</td><td>" + file +
           "</td><td>" + text + "</td></tr>\r\n";
}

} // namespace kovra::test
