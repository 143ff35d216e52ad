#pragma once
// Socket readiness through QSocketNotifier, delivered by the Qt event loop.
#include <QSocketNotifier>
#include <functional>
#include <map>
#include <memory>

#include "ui/socket_watcher.h"

namespace ui::qt {

class QtSocketWatcher : public SocketWatcher {
 public:
  using Dispatch = std::function<void(const std::function<void()>& handler)>;

  void watch(int fd, std::function<void(int fd)> on_readable) override;
  void unwatch(int fd) override;
  // Every handler runs through dispatch (the window's logic) once it is set.
  void set_dispatch(Dispatch dispatch) { dispatch_ = std::move(dispatch); }

 private:
  Dispatch dispatch_;
  std::map<int, std::unique_ptr<QSocketNotifier>> notifiers_;
};

}  // namespace ui::qt
