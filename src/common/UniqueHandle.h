// The one owner of handles, whatever closes them: window-system objects, device contexts, kernel
// objects, a held mutex. No Windows header here, so that code without windows can hold one.
#pragma once

#include <utility>

namespace pelmora {

// Owns one handle and closes it when it goes; moved, never copied. `Traits` names the handle
// type `Handle`, whose value-initialised state means none, and closes a handle with `Close`.
// Traits that need more than the handle to close it (the window whose device context it is)
// carry that with them: the owner keeps its copy of the traits beside the handle.
template <typename Traits>
class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle, Traits traits = {}) noexcept
        : handle_(handle), traits_(std::move(traits)) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept
        : handle_(other.release()), traits_(std::move(other.traits_)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset();
            traits_ = std::move(other.traits_);
            handle_ = other.release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Handle{}; }
    Handle release() noexcept { return std::exchange(handle_, Handle{}); }
    // Closes the handle held, if any, and holds `handle` instead (with the same traits).
    void reset(Handle handle = Handle{}) noexcept {
        const Handle old = std::exchange(handle_, handle);
        if (old != Handle{}) traits_.Close(old);
    }

  private:
    Handle handle_{};
    [[no_unique_address]] Traits traits_{};
};

}  // namespace pelmora
