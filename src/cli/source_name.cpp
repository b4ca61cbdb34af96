#include "source_name.h"

namespace lexpaint {

bool IsSupportedFile(std::string_view name) {
  const auto endsWith = [name](std::string_view suffix) {
    return name.size() >= suffix.size() && name.substr(name.size() - suffix.size()) == suffix;
  };
  return endsWith("h") || endsWith("cpp");
}

std::string DefaultTargetName(std::string_view sourceName) {
  return std::string(sourceName) + ".html";
}

}  // namespace lexpaint
