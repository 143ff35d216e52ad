#pragma once
// Socket readiness through QSocketNotifier, delivered by the Qt event loop.
#include <QSocketNotifier>
#include <map>
#include <memory>

#include "ui/socket_watcher.h"

namespace ui::qt {

class QtSocketWatcher : public SocketWatcher {
 public:
  void watch(int fd, std::function<void(int fd)> on_readable) override;
  void unwatch(int fd) override;

 private:
  std::map<int, std::unique_ptr<QSocketNotifier>> notifiers_;
};

}  // namespace ui::qt
