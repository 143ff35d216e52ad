#include "cli/console_view.h"

#include <poll.h>

#include <cerrno>

namespace cli {

bool PollSocketWatcher::dispatch(int timeout_ms, int stop_fd) {
  std::vector<pollfd> fds;
  fds.push_back({stop_fd, POLLIN, 0});
  for (const auto& [fd, handler] : handlers_) fds.push_back({fd, POLLIN, 0});
  const int n = ::poll(fds.data(), fds.size(), timeout_ms);
  if (n < 0 && errno != EINTR) return true;
  if (fds[0].revents != 0) return false;
  for (std::size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents == 0) continue;
    // A handler may unwatch sockets, its own included.
    auto handler = handlers_.find(fds[i].fd);
    if (handler != handlers_.end()) {
      auto on_readable = handler->second;
      on_readable(fds[i].fd);
    }
  }
  return true;
}

ui::Answer ConsoleView::show_message(const std::string&, const std::string& text, ui::Icon, ui::Buttons buttons) {
  // One line: the window's line breaks become blanks.
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (!line.empty() && line.back() != ' ') line += ' ';
    } else {
      line += text[i];
    }
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  std::fprintf(errors_, "quorvane-cli: %s\n", line.c_str());
  std::fflush(errors_);
  ++messages_shown_;
  return buttons == ui::Buttons::yes_no ? ui::Answer::yes : ui::Answer::ok;
}

void ConsoleView::list_add(ui::ListId list, const std::string& line) {
  lines_of(list).push_back(line);
  if (on_line_added) on_line_added(list, line);
}

void ConsoleView::list_replace(ui::ListId list, int index, const std::string& line) {
  std::vector<std::string>& lines = lines_of(list);
  if (index < 0) return;
  if (static_cast<std::size_t>(index) >= lines.size()) {
    lines.push_back(line);
  } else {
    lines[static_cast<std::size_t>(index)] = line;
  }
}

std::string ConsoleView::list_line(ui::ListId list, int index) const {
  const std::vector<std::string>& all = lines(list);
  return index >= 0 && static_cast<std::size_t>(index) < all.size() ? all[static_cast<std::size_t>(index)] : "";
}

}  // namespace cli
