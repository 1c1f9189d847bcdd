// UniqueHandle<Traits>: sole owner of one system handle, closed when the owner
// goes. Move-only; a moved-from or released owner holds nothing. The traits
// name the handle type (Handle), the value that means "none" (Invalid()) and
// how to give a handle back (Close(handle)); Close may be a member of a traits
// object that carries what closing needs (the window of a window's DC).
// reset() with the handle already held keeps it: closing it would leave the
// owner with a dead handle.
#pragma once

#include <utility>

template <class Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Traits traits = Traits()) : m_traits(traits), m_handle(handle) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_traits(other.m_traits), m_handle(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_traits = other.m_traits;
            m_handle = other.release();
        }
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Traits::Invalid(); }
    const Traits& traits() const { return m_traits; }

    // Gives the handle up without closing it.
    Handle release() { return std::exchange(m_handle, Traits::Invalid()); }
    // Closes the handle held (unless it is `handle`) and takes `handle` on.
    void reset(Handle handle = Traits::Invalid()) {
        if (handle == m_handle)
            return;
        const Handle old = std::exchange(m_handle, handle);
        if (old != Traits::Invalid())
            m_traits.Close(old);
    }

private:
    Traits m_traits{};
    Handle m_handle = Traits::Invalid();
};
