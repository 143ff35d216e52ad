#include "ui/qt/qt_socket_watcher.h"

namespace ui::qt {

void QtSocketWatcher::watch(int fd, std::function<void(int fd)> on_readable) {
  auto notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(),
                   [this, fd, callback = std::move(on_readable)] {
                     if (dispatch_) {
                       dispatch_([&] { callback(fd); });
                     } else {
                       callback(fd);
                     }
                   });
  notifiers_[fd] = std::move(notifier);
}

void QtSocketWatcher::unwatch(int fd) {
  auto it = notifiers_.find(fd);
  if (it == notifiers_.end()) return;
  it->second->setEnabled(false);
  // The handler that unwatches may be running inside this notifier's own signal.
  it->second.release()->deleteLater();
  notifiers_.erase(it);
}

}  // namespace ui::qt
