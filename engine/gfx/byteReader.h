#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace engine::gfx {

// Little-endian cursor over a file's bytes. Every read and every count is
// checked against the bytes left, so a damaged file ends in an error (the
// given text, logged under the given source name) rather than a wild read,
// an endless loop or a huge allocation.
class ByteReader {
public:
    ByteReader(std::string_view bytes, std::string truncated, const char* source);

    std::uint64_t Left() const { return mBytes.size() - mPosition; }

    std::uint32_t U32();
    float Float();
    // A u32 byte count and that many bytes, read as narrow text up to the
    // first zero byte.
    std::string String();
    // The next size bytes.
    std::string_view Bytes(std::uint64_t size);
    void Skip(std::uint64_t size) { Bytes(size); }
    // A u32 count of records of at least recordSize bytes each that must fit
    // in what is left.
    std::uint32_t Count(std::uint64_t recordSize);
    // Raises the truncation error unless size bytes are left.
    void Need(std::uint64_t size) const;

private:
    std::string_view mBytes;
    std::uint64_t mPosition = 0;
    std::string mTruncated;
    const char* mSource;
};

} // namespace engine::gfx
