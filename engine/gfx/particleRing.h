#pragma once

#include <cstdint>
#include <vector>

namespace engine::gfx {

// A fixed number of slots used as a ring: live elements run from the oldest
// (Start) for Count slots, wrapping at the capacity. Once full, each new
// element replaces the oldest. The storage is allocated once.
template <typename T> class ParticleRing {
public:
    explicit ParticleRing(int capacity, int count)
        : mSlots(static_cast<std::size_t>(capacity)), mCount(count) {}

    int Capacity() const { return static_cast<int>(mSlots.size()); }
    int Count() const { return mCount; }
    int Start() const { return mStart; }

    // The i-th live element, oldest first.
    T& operator[](int i) { return mSlots[Slot(i)]; }
    const T& operator[](int i) const { return mSlots[Slot(i)]; }
    // A slot by its position in storage.
    T& Stored(int slot) { return mSlots[static_cast<std::size_t>(slot)]; }

    // The slot after the newest, which becomes the newest.
    T& Push() {
        T& slot = mSlots[Slot(mCount)];
        Skip(1);
        return slot;
    }

    // As n pushes whose slots are left as they are.
    void Skip(std::int64_t n) {
        const std::int64_t capacity = Capacity();
        const std::int64_t total = mCount + n;
        if (total <= capacity) {
            mCount = static_cast<int>(total);
            return;
        }
        mStart = static_cast<int>((mStart + (total - capacity)) % capacity);
        mCount = static_cast<int>(capacity);
    }

private:
    std::size_t Slot(int i) const {
        return static_cast<std::size_t>((std::int64_t(mStart) + i) % Capacity());
    }

    std::vector<T> mSlots;
    int mStart = 0;
    int mCount;
};

} // namespace engine::gfx
