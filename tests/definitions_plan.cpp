#include "definitions_plan.h"

#include <cstddef>
#include <functional>

namespace lexpaint {

SitePlan PlanOf(const Definitions& definitions) {
  std::vector<TreeFile> files;
  for (const auto& [path, found] : definitions) files.push_back({path, 100});
  return PlanSite(
      files, {},
      [&](const TreeFile& file) {
        SourceScan scan;
        scan.readable = true;
        for (const Definition& definition : definitions.at(file.path)) {
          scan.definitions.Add(definition);
        }
        return scan;
      },
      [](const TreeFile&) { return true; },
      [](std::size_t count, const std::function<void(std::size_t)>& job) {
        for (std::size_t i = 0; i < count; ++i) job(i);
      });
}

}  // namespace lexpaint
