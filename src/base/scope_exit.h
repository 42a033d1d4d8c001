// An action run when a scope ends, however it ends: by its last line, a
// return or an exception. It undoes what the scope started, such as a list's
// redraw turned off or a folder's enumeration begun.
#pragma once

#include <utility>

namespace tarnwick {

template <typename Action>
class ScopeExit {
 public:
  explicit ScopeExit(Action action) : action_(std::move(action)) {}
  ~ScopeExit() { action_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Action action_;
};

}  // namespace tarnwick
