// Runs an action when the scope it was made in ends, however it ends: the one scope guard for
// what is undone at the end of a scope and is not a handle (a flag set for the time of a call,
// a control's drawing turned off). Handles have their owner, UniqueHandle.
#pragma once

#include <utility>

namespace pelmora {

template <typename Action>
class [[nodiscard]] ScopeExit {
  public:
    explicit ScopeExit(Action action) noexcept : action_(std::move(action)) {}
    ~ScopeExit() { action_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    Action action_;
};

}  // namespace pelmora
