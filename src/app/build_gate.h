#pragma once

namespace app {

// Keeps user actions from overlapping a build. The window stays painted while the compiler runs, so
// a click or a request to close can reach it in the middle of a build: a second build is refused and
// the close waits until the build has ended.
class BuildGate {
 public:
  [[nodiscard]] bool Building() const { return building_; }

  // Runs build unless a build is running already; false when it was refused.
  template <typename Build>
  bool Run(Build&& build) {
    if (building_) return false;
    const Running running(building_);
    build();
    return true;
  }

  // Whether the window may close now; a close asked for during a build is remembered instead.
  [[nodiscard]] bool MayClose() {
    closeDeferred_ = building_;
    return !building_;
  }

  // True, once, when a close was asked for during the build that has just ended.
  [[nodiscard]] bool TakeDeferredClose() {
    const bool deferred = closeDeferred_ && !building_;
    if (deferred) closeDeferred_ = false;
    return deferred;
  }

 private:
  class Running {
   public:
    explicit Running(bool& flag) : flag_(flag) { flag_ = true; }
    ~Running() { flag_ = false; }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    bool& flag_;
  };

  bool building_ = false;
  bool closeDeferred_ = false;
};

}  // namespace app
