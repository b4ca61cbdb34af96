#ifndef LEXPAINT_TESTS_DEFINITIONS_PLAN_H_
#define LEXPAINT_TESTS_DEFINITIONS_PLAN_H_

#include <map>
#include <string>
#include <vector>

#include "definition_finder.h"
#include "site_plan.h"

namespace lexpaint {

// The definitions of each file of a tree, by the file's path.
using Definitions = std::map<std::string, std::vector<Definition>>;

// The plan of a site of the files of `definitions`, each readable, 100 bytes long and holding
// those definitions, as if a scan had found them; the files include nothing.
SitePlan PlanOf(const Definitions& definitions);

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_DEFINITIONS_PLAN_H_
