// One move-only owner for every resource a call gives back and another call
// ends: a kernel handle, a search, a memory device context. Traits say what
// "nothing owned" is and how the resource is given back, so each kind is
// one line of traits instead of one more class. No <windows.h> here: the
// engine's record owns its thread and event in a header that builds
// natively.
#pragma once
#include <utility>

template <typename Traits>
class UniqueOwner {
public:
    using Value = typename Traits::Value;

    UniqueOwner() = default;
    explicit UniqueOwner(Value v) : v_(v) {}
    ~UniqueOwner() { reset(); }
    UniqueOwner(const UniqueOwner&) = delete;
    UniqueOwner& operator=(const UniqueOwner&) = delete;
    UniqueOwner(UniqueOwner&& other) noexcept : v_(other.release()) {}
    UniqueOwner& operator=(UniqueOwner&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    bool valid() const { return Traits::valid(v_); }
    explicit operator bool() const { return valid(); }
    Value get() const { return v_; }
    Value release() { return std::exchange(v_, Traits::none()); }
    // Gives back what is held (if anything) and takes v.
    void reset(Value v = Traits::none())
    {
        if (valid())
            Traits::close(v_);
        v_ = v;
    }

private:
    Value v_ = Traits::none();
};
