#pragma once

#include "engine/core/singleton.h"

#include <fstream>
#include <string>

namespace engine::core {

// The run's HTML log, "data/log.html". Each report is one table row with its
// level, source line and source file; Error writes its row and throws.
class Logging : public pattern::Singleton<Logging> {
public:
    Logging();
    ~Logging() override;

    void Message(std::string message, std::string file, int line);
    void Warning(std::string message, std::string file, int line);
    [[noreturn]] void Error(std::string message, std::string file, int line);

private:
    void Write(const std::string& text);
    void Row(const char* opener, const std::string& message, const std::string& file, int line);

    std::ofstream mOut;
};

} // namespace engine::core
