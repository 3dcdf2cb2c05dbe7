#include "engine/gfx/byteReader.h"

#include "engine/core/log.h"

#include <bit>

namespace engine::gfx {

ByteReader::ByteReader(std::string_view bytes, std::string truncated, const char* source)
    : mBytes(bytes), mTruncated(std::move(truncated)), mSource(source) {}

void ByteReader::Need(std::uint64_t size) const {
    if (size > Left())
        core::Logging::Get()->Error(mTruncated, mSource, __LINE__);
}

std::string_view ByteReader::Bytes(std::uint64_t size) {
    Need(size);
    const std::string_view bytes = mBytes.substr(mPosition, size);
    mPosition += size;
    return bytes;
}

std::uint32_t ByteReader::U32() {
    const std::string_view bytes = Bytes(4);
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    return value;
}

float ByteReader::Float() {
    return std::bit_cast<float>(U32());
}

std::string ByteReader::String() {
    const std::string_view text = Bytes(U32());
    return std::string(text.substr(0, text.find('\0')));
}

std::uint32_t ByteReader::Count(std::uint64_t recordSize) {
    const std::uint32_t count = U32();
    Need(count * recordSize);
    return count;
}

} // namespace engine::gfx
