// One owner for a handle of any kind: it holds the handle and a closer, and calls the closer
// with the handle exactly once when it lets go of it. Copies are deleted; a move hands the
// handle over. An empty owner holds Handle{} (null, 0).
#pragma once

#include <type_traits>
#include <utility>

namespace keyrack {

// A closer that calls the free function Fn (DestroyMenu, CloseHandle, DeleteDC, ...).
template <auto Fn>
struct CloseWith {
    template <typename Handle>
    auto operator()(Handle handle) const {
        return Fn(handle);
    }
};

template <typename Handle, typename Closer>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle, Closer closer = Closer())
        : m_handle(handle), m_closer(std::move(closer)) {}
    UniqueHandle(UniqueHandle&& other) noexcept
        : m_handle(std::exchange(other.m_handle, Handle{})), m_closer(other.m_closer) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_handle = std::exchange(other.m_handle, Handle{});
            m_closer = other.m_closer;
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    Handle Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != Handle{}; }

    // Gives the handle up without closing it (for example to a menu that takes it over).
    Handle Release() { return std::exchange(m_handle, Handle{}); }
    // Closes the handle now. False only when the closer reports a failure (a closer that
    // returns nothing never fails); an empty owner has nothing to close.
    bool Close() {
        if (m_handle == Handle{}) return true;
        const Handle handle = std::exchange(m_handle, Handle{});
        if constexpr (std::is_void_v<decltype(m_closer(handle))>) {
            m_closer(handle);
            return true;
        } else {
            return static_cast<bool>(m_closer(handle));
        }
    }
    // Takes over another handle, closing the current one; its own handle again is kept.
    void Reset(Handle handle = Handle{}) {
        if (handle == m_handle) return;
        Close();
        m_handle = handle;
    }

  private:
    Handle m_handle{};
    Closer m_closer{};
};

}  // namespace keyrack
