#pragma once
// A set of addresses, for telling whether an object is one of many.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <random>
#include <utility>

#include "backend/memory.hpp"

namespace vantorq::backend {

// Addresses in an open-addressed table. The addresses are mixed with a
// key drawn once per process, so that no caller can line up objects whose
// addresses collide.
class AddressSet {
public:
    static std::optional<AddressSet> with_room_for(std::size_t count) {
        std::size_t capacity = 64;
        while (capacity < count + count / 2) capacity *= 2;  // at most two thirds full
        auto slots = ReservedArray<const void*>::try_reserve(capacity);
        if (!slots) return std::nullopt;
        for (const void*& slot : slots->append_for_overwrite(capacity)) slot = nullptr;
        return AddressSet(std::move(*slots), capacity - 1);
    }

    // False when the object was there already.
    bool insert(const void* object) {
        std::size_t i = home(object);
        for (; slots_[i] != nullptr; i = (i + 1) & mask_)
            if (slots_[i] == object) return false;
        slots_[i] = object;
        return true;
    }

    bool contains(const void* object) const {
        for (std::size_t i = home(object); slots_[i] != nullptr; i = (i + 1) & mask_)
            if (slots_[i] == object) return true;
        return false;
    }

private:
    AddressSet(ReservedArray<const void*> slots, std::size_t mask) : slots_(std::move(slots)), mask_(mask) {}

    std::size_t home(const void* object) const {
        static const std::uint64_t KEY = [] {
            std::random_device entropy;
            return (static_cast<std::uint64_t>(entropy()) << 32) ^ entropy();
        }();
        const std::uint64_t mixed = (reinterpret_cast<std::uintptr_t>(object) ^ KEY) * 0x9E3779B97F4A7C15ull;
        return static_cast<std::size_t>(mixed >> 32) & mask_;
    }

    ReservedArray<const void*> slots_;
    std::size_t mask_;
};

}  // namespace vantorq::backend
