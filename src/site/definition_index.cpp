#include "definition_index.h"

#include <algorithm>
#include <tuple>

#include "page_frame.h"

namespace lexpaint {
namespace {

// Only a word the highlighter may ask about can link; other names, such as "operator==", are
// listed in the tags file alone.
bool IsWord(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
  });
}

// A tags file's fields end at a tab and its lines at a line feed.
bool FitsTagsFile(std::string_view text) { return text.find_first_of("\t\n\r") == text.npos; }

}  // namespace

std::string ChooseNamesFolder(const SitePlan& plan) {
  std::string name = "names";
  const auto taken = [&plan](std::string_view folder) {
    for (std::size_t sub : plan.folders[0].subfolders) {
      if (plan.folders[sub].path == folder) return true;
    }
    for (std::size_t page : plan.folders[0].pages) {
      if (plan.pages[page].path == folder) return true;
    }
    return false;
  };
  while (taken(name)) name += '_';
  return name;
}

DefinitionIndex::DefinitionIndex(const SitePlan& plan, std::string namesFolder)
    : plan_(plan), namesFolder_(std::move(namesFolder)) {
  for (std::size_t page = 0; page < plan.pages.size(); ++page) {
    const std::vector<Definition>& definitions = plan.pages[page].definitions;
    for (std::size_t d = 0; d < definitions.size(); ++d) {
      const Definition& definition = definitions[d];
      if (definition.kind == Definition::kNamespace || !IsWord(definition.name)) continue;
      targets_[definition.name].push_back({page, d});
    }
  }
}

std::string DefinitionIndex::Href(std::size_t page, std::string_view word,
                                  std::uint64_t line) const {
  const auto found = targets_.find(word);
  if (found == targets_.end() || found->second.size() > kMaxLinkedDefinitions) return "";
  const std::string& from = plan_.pages[page].path;
  if (found->second.size() > 1) return RelativeHref(from, NamePagePath(word));
  const Place& place = found->second[0];
  const std::uint64_t target = plan_.pages[place.page].definitions[place.definition].line;
  if (place.page == page && target == line) return "";  // the definition itself
  return RelativeHref(from, plan_.pages[place.page].path) + "#L" + std::to_string(target);
}

std::vector<std::pair<std::string_view, std::vector<DefinitionIndex::Place>>>
DefinitionIndex::ListedNames() const {
  std::vector<std::pair<std::string_view, std::vector<Place>>> listed;
  for (const auto& [name, places] : targets_) {
    if (places.size() > 1 && places.size() <= kMaxLinkedDefinitions)
      listed.emplace_back(name, places);
  }
  std::sort(listed.begin(), listed.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  return listed;
}

std::string DefinitionIndex::NamePagePath(std::string_view name) const {
  return namesFolder_ + "/" + std::string(name) + ".html";
}

void DefinitionIndex::WriteTags(std::ostream& out) const {
  std::vector<std::tuple<std::string_view, std::string_view, std::uint64_t, Definition::Kind>> tags;
  for (const SitePage& page : plan_.pages) {
    const std::string& file = plan_.files[page.file].path;
    if (!FitsTagsFile(file)) continue;
    for (const Definition& definition : page.definitions) {
      if (FitsTagsFile(definition.name)) {
        tags.emplace_back(definition.name, file, definition.line, definition.kind);
      }
    }
  }
  std::sort(tags.begin(), tags.end());
  out << "!_TAG_FILE_FORMAT\t2\t/extended format/\n"
         "!_TAG_FILE_SORTED\t1\t/0=unsorted, 1=sorted, 2=foldcase/\n";
  for (const auto& [name, file, line, kind] : tags) {
    out << name << '\t' << file << '\t' << line << ";\"\tkind:" << KindName(kind) << '\n';
  }
}

}  // namespace lexpaint
