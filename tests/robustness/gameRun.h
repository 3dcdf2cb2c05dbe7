#pragma once

#include "support/scratchDir.h"

#include <sys/inotify.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace kovra::test {

// How one run of the program ended.
struct GameRun {
    bool exited = false; // false: killed by a signal
    int status = -1;
    std::string err;
    std::string log; // "data/log.html"

    bool SanitizerSpoke() const {
        return err.find("Sanitizer") != std::string::npos ||
               err.find("runtime error:") != std::string::npos;
    }
    // Whether a log row of `level` ("ERROR", "WARNING") mentions `text`.
    bool LogRowMentions(const std::string& level, const std::string& text) const {
        const std::string start = "<td>" + level + "</td>";
        for (std::size_t row = log.find(start); row != std::string::npos;
             row = log.find(start, row + 1)) {
            const std::size_t end = log.find("</tr>", row);
            if (log.substr(row, end - row).find(text) != std::string::npos)
                return true;
        }
        return false;
    }
};

// Runs the built program in the current folder on SDL's offscreen and dummy
// drivers. The shell reports a signal as a status above 128.
inline GameRun RunGame(const std::string& arguments) {
    const std::string command = "SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy '" KOVRA_GAME
                                "' " +
                                arguments + " >out.txt 2>err.txt";
    const int status = std::system(command.c_str());
    GameRun run;
    run.exited = WIFEXITED(status) && WEXITSTATUS(status) < 128;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = ReadFile("err.txt");
    run.log = ReadFile("data/log.html");
    return run;
}

// Records which files below a folder are opened, and which are written,
// while it lives (inotify; the folders are those that exist when it starts).
class OpenedFiles {
public:
    explicit OpenedFiles(const std::filesystem::path& root) : mFd(inotify_init1(IN_NONBLOCK)) {
        Watch(root);
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
            if (entry.is_directory())
                Watch(entry.path());
    }
    ~OpenedFiles() { ::close(mFd); }
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;

    // The files that were opened and never written, as "folder/name".
    std::set<std::string> ReadOnly() {
        Drain();
        std::set<std::string> files;
        for (const std::string& file : mOpened)
            if (!mWritten.count(file))
                files.insert(file);
        return files;
    }
    // The files that were written, as "folder/name".
    std::set<std::string> Written() {
        Drain();
        return mWritten;
    }

private:
    void Watch(const std::filesystem::path& folder) {
        const int wd = inotify_add_watch(mFd, folder.c_str(),
                                         IN_OPEN | IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE);
        if (wd >= 0)
            mFolders[wd] = folder.generic_string();
    }

    void Drain() {
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t got; (got = ::read(mFd, buffer, sizeof buffer)) > 0;) {
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                at += sizeof(inotify_event) + event->len;
                if (event->len == 0 || (event->mask & IN_ISDIR))
                    continue;
                const std::string file = mFolders[event->wd] + "/" + event->name;
                if (event->mask & IN_OPEN)
                    mOpened.insert(file);
                if (event->mask & (IN_MODIFY | IN_CREATE | IN_CLOSE_WRITE))
                    mWritten.insert(file);
            }
        }
    }

    int mFd;
    std::map<int, std::string> mFolders;
    std::set<std::string> mOpened;
    std::set<std::string> mWritten;
};

} // namespace kovra::test
