#include "shell/game_client.h"

#include <pugixml.hpp>

#include <vector>

#include "shell/front_end.h"
#include "text/encoding.h"

namespace tarvelo {

namespace {

std::vector<std::string> PathNames(std::string_view path) {
  std::vector<std::string> names;
  size_t start = 0;
  while (true) {
    size_t end = path.find('>', start);
    names.push_back(Trim(path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)));
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

// All text below the node, in document order.
std::string TextOf(const pugi::xml_node& node) {
  std::string text;
  for (pugi::xml_node child : node.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
      text += child.value();
    } else if (child.type() == pugi::node_element) {
      text += TextOf(child);
    }
  }
  return text;
}

pugi::xml_node FirstChildNamed(const pugi::xml_node& parent, const std::string& name) {
  for (pugi::xml_node child : parent.children()) {
    if (child.type() == pugi::node_element && name == child.name()) return child;
  }
  return {};
}

std::string NamesAt(const pugi::xml_document& document, std::string_view path) {
  std::vector<std::string> names = PathNames(path);
  pugi::xml_node node = document.document_element();
  for (size_t i = 0; i + 1 < names.size(); ++i) {
    node = FirstChildNamed(node, names[i]);
    if (!node) return "";
  }
  std::string result;
  for (pugi::xml_node sibling = node; sibling; sibling = sibling.next_sibling()) {
    if (sibling.type() != pugi::node_element) continue;
    if (pugi::xml_node child = FirstChildNamed(sibling, names.back())) result += Trim(TextOf(child)) + "\r\n";
  }
  return Trim(result);
}

}  // namespace

std::string GameClientPreferencesFile(const std::string& app_data_folder) {
  return app_data_folder + "Wargaming.net/WorldOfTanks/preferences.xml";
}

std::string ReadGameClientAccount(const Disk& disk, const std::string& file, std::string_view path,
                                  FrontEnd* report_errors_to) {
  if (!disk.IsFile(file)) return "";
  const std::string text = disk.Read(file).value_or("");
  pugi::xml_document document;
  std::string result;
  if (document.load_buffer(text.data(), text.size())) result = NamesAt(document, path);
  if (result.empty() && report_errors_to) {
    report_errors_to->ShowBox(BoxKind::Error, "Ошибка",
                              "Ошибка чтения файла настроек:\r\n%APPDATA%\\Wargaming.net\\WorldOfTanks\\preferences.xml");
  }
  return result;
}

}  // namespace tarvelo
