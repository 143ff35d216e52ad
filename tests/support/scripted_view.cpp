#include "support/scripted_view.h"

namespace test {

ui::Answer MessageScript::answer(ShownMessage shown) {
  const ui::Buttons buttons = shown.buttons;
  messages.push_back(std::move(shown));
  if (!answers.empty()) {
    ui::Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == ui::Buttons::yes_no ? ui::Answer::yes : ui::Answer::ok;
}

ui::Answer ScriptedView::show_message(const std::string& caption, const std::string& text, ui::Icon icon,
                                      ui::Buttons buttons) {
  return answer({caption, text, icon, buttons});
}

void ScriptedView::list_clear(ui::ListId list) {
  lines(list).clear();
  if (list == ui::ListId::modules) selection.clear();
}

void ScriptedView::list_add(ui::ListId list, const std::string& line) { lines(list).push_back(line); }

void ScriptedView::list_replace(ui::ListId list, int index, const std::string& line) {
  auto& l = lines(list);
  if (index >= 0 && index < static_cast<int>(l.size())) l.erase(l.begin() + index);
  if (index > static_cast<int>(l.size())) index = static_cast<int>(l.size());
  l.insert(l.begin() + (index < 0 ? static_cast<int>(l.size()) : index), line);
}

int ScriptedView::list_count(ui::ListId list) const { return static_cast<int>(lines(list).size()); }

std::string ScriptedView::list_line(ui::ListId list, int index) const {
  const auto& l = lines(list);
  return index >= 0 && index < static_cast<int>(l.size()) ? l[index] : std::string();
}

void ScriptedView::list_select(ui::ListId list, int index) {
  if (list == ui::ListId::modules) selection = {index};
}

bool ScriptedView::list_selection(ui::ListId list, std::vector<int>& selected) const {
  if (list != ui::ListId::modules) return false;
  selected = selection;
  return true;
}

}  // namespace test
