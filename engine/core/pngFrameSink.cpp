#include "engine/core/pngFrameSink.h"

#include <stb_image_write.h>

#include <cstdio>

namespace engine::core {

PngFrameSink::PngFrameSink(std::string folder, unsigned workers)
    : FrameSink(2 * workers + 1), mFolder(std::move(folder)) {
    for (unsigned i = 0; i < workers; ++i)
        mWorkers.emplace_back([this] { Work(); });
}

PngFrameSink::~PngFrameSink() {
    Close();
}

std::string PngFrameSink::FileName(int index) {
    char name[32];
    std::snprintf(name, sizeof name, "frame_%06d.png", index);
    return name;
}

std::string PngFrameSink::Close() {
    mQueue.Close();
    for (std::thread& worker : mWorkers)
        worker.join();
    mWorkers.clear();
    return Failure();
}

void PngFrameSink::Work() {
    while (std::optional<CapturedFrame> frame = mQueue.Pop()) {
        // After a failure the later frames are only drained, so the renderer is
        // never left waiting on a full queue.
        if (!FailedBefore(frame->index)) {
            // Frames are opaque: three channels make smaller files, sooner.
            std::uint8_t* pixels = frame->rgba.data();
            const std::size_t count = static_cast<std::size_t>(frame->width) * frame->height;
            for (std::size_t i = 0; i < count; ++i)
                for (int c = 0; c < 3; ++c)
                    pixels[i * 3 + c] = pixels[i * 4 + c];
            const std::string path = mFolder + "/" + FileName(frame->index);
            if (stbi_write_png(path.c_str(), frame->width, frame->height, 3, pixels,
                               frame->width * 3) == 0)
                Fail("Could not write " + path, frame->index);
        }
        mQueue.Recycle(std::move(*frame));
    }
}

} // namespace engine::core
