#pragma once
// The Arrow C data interface as this module uses it: the three structures a
// producer and a consumer exchange (a published, stable ABI: these are laid
// out field for field as it defines them), and owners that call each
// structure's release callback exactly once.
//
// A structure is moved by copying its fields and marking the source released
// (a null release callback): the interface allows it, and it is how a
// consumer takes one out of a PyCapsule without the capsule releasing it too.

#include <cstdint>
#include <utility>

namespace vantorq::columns::arrow {

struct ArrowSchema {
    const char* format;
    const char* name;
    const char* metadata;
    std::int64_t flags;
    std::int64_t n_children;
    ArrowSchema** children;
    ArrowSchema* dictionary;
    void (*release)(ArrowSchema*);
    void* private_data;
};

struct ArrowArray {
    std::int64_t length;
    std::int64_t null_count;
    std::int64_t offset;
    std::int64_t n_buffers;
    std::int64_t n_children;
    const void** buffers;
    ArrowArray** children;
    ArrowArray* dictionary;
    void (*release)(ArrowArray*);
    void* private_data;
};

struct ArrowArrayStream {
    int (*get_schema)(ArrowArrayStream*, ArrowSchema* out);
    int (*get_next)(ArrowArrayStream*, ArrowArray* out);
    const char* (*get_last_error)(ArrowArrayStream*);
    void (*release)(ArrowArrayStream*);
    void* private_data;
};

// One structure, released when the owner is dropped or overwritten, unless
// it was released already (or never filled).
template <class Struct>
class Owned {
public:
    Owned() = default;
    Owned(Owned&& other) noexcept : raw_(other.raw_) { other.raw_.release = nullptr; }
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) {
            reset();
            raw_ = other.raw_;
            other.raw_.release = nullptr;
        }
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    // Moves `source` in; it is left marked released.
    static Owned take(Struct* source) {
        Owned owner;
        owner.raw_ = *source;
        source->release = nullptr;
        return owner;
    }

    // Empty room for a producer's callback to fill (what was held is released first).
    Struct* fill() {
        reset();
        return &raw_;
    }

    bool released() const { return raw_.release == nullptr; }
    Struct* get() { return &raw_; }
    const Struct* get() const { return &raw_; }
    const Struct* operator->() const { return &raw_; }
    Struct* operator->() { return &raw_; }

private:
    void reset() {
        if (raw_.release != nullptr) raw_.release(&raw_);  // the callback marks it released
        raw_.release = nullptr;
    }

    Struct raw_{};
};

using OwnedSchema = Owned<ArrowSchema>;
using OwnedArray = Owned<ArrowArray>;
using OwnedStream = Owned<ArrowArrayStream>;

}  // namespace vantorq::columns::arrow
