#include "engine/core/log.h"

#include "engine/core/exception.h"
#include "engine/core/stringConversion.h"

namespace engine::core {

namespace {

constexpr const char* kLogPath = "data/log.html";

// The log's format has CR LF line ends; the stream is binary, so every line
// feed is expanded here.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// The log lives until the library is unloaded, so that every other
// singleton's shutdown rows still reach it.
struct CloseLogAtUnload {
    ~CloseLogAtUnload() { delete pattern::Singleton<Logging>::mInstance; }
} closeLogAtUnload;

} // namespace

Logging::Logging() : mOut(kLogPath, std::ios::out | std::ios::trunc | std::ios::binary) {
    Write("<html>\n<head>\n");
    Write("<style type=\"text/css\">\n");
    Write("body\n{\n\tfont-family: Verdana;\n}\ntr\n{\n\tfont-size: 70%;\n\tfont-weight: "
          "normal;\n}\n");
    Write("tr.warning\n{\n\tfont-size: 75%;\n\tcolor: rgb(100, 0, 0);\n}\ntr.error\n{\n\tfont-"
          "size: 80%;\n\tcolor: rgb(255, 0, 0);\n}\n</style>\n");
    Write("<title>KOVRA Log File</title>\n</head>\n<body>\n<table>\n");
    Write("<tr><td>Type</td><td>Line</td><td>File</td><td>Message</td></tr><tr><td><br "
          "/></td></tr>\n");
}

Logging::~Logging() {
    Write("</body></html>\n");
    mOut.flush();
    mOut.close();
}

void Logging::Message(std::string message, std::string file, int line) {
    Row("<tr><td>MESSAGE</td><td>", message, file, line);
}

void Logging::Warning(std::string message, std::string file, int line) {
    Row("<tr class=\"warning\"><td>WARNING</td><td>", message, file, line);
    mOut.flush();
}

void Logging::Error(std::string message, std::string file, int line) {
    Row("<tr class=\"error\"><td>ERROR</td><td>", message, file, line);
    mOut.flush();
    throw Exception(Widen(message), Widen(file) + L":" + std::to_wstring(line));
}

void Logging::Write(const std::string& text) {
    if (mOut)
        mOut << WithCrLf(text);
}

void Logging::Row(const char* opener, const std::string& message, const std::string& file,
                  int line) {
    Write(opener + std::to_string(line) + "</td><td>" + file + "</td><td>" + message +
          "</td></tr>\n");
}

} // namespace engine::core
