// Times the steps of writing a site's search index apart from the rest of a run: plans the site
// of a tree with its definitions once, then makes the index again and again on one thread and
// prints the median CPU milliseconds of each step. No page is written, so no name's list is linked
// and such names' entries take the form of a name that has no list.
//
//   build-bench/bench/search_index_bench [TREE [RUNS]]     (default /usr/include, 5 runs)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "definition_finder.h"
#include "definition_index.h"
#include "search_index.h"
#include "site_plan.h"
#include "source_scan.h"
#include "source_text.h"
#include "source_tree.h"
#include "worker_pool.h"

namespace lexpaint {
namespace {

SourceScan ScanWithDefinitions(const std::string& root, const TreeFile& file) {
  std::ifstream source(root + "/" + file.path, std::ios::binary);
  thread_local SourceText text;
  if (!text.Read(source, file.size)) return SourceScan();
  SourceScan scan = ScanSource(text.lines());
  NameScopes scopes;
  for (const Definition& definition : FindDefinitions(text.lines(), &scopes)) {
    scan.definitions.Add(definition);
  }
  return scan;
}

bool ProbeFile(const std::string& root, const TreeFile& file) {
  std::ifstream source(root + "/" + file.path, std::ios::binary);
  char head[kSourceProbeSize];
  source.read(head, sizeof head);
  return StartsLikeSource(std::string_view(head, static_cast<std::size_t>(source.gcount())));
}

// The CPU time of this thread, in milliseconds: steadier than wall time on a busy machine.
double Now() {
  timespec time;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &time);
  return static_cast<double>(time.tv_sec) * 1e3 + static_cast<double>(time.tv_nsec) / 1e6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Least(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

int Run(const std::string& root, int runs) {
  const unsigned threads = 2;
  SitePlan plan = PlanSite(
      WalkTree(root, "").files, {},
      [&root](const TreeFile& file) { return ScanWithDefinitions(root, file); },
      [&root](const TreeFile& file) { return ProbeFile(root, file); },
      [threads](std::size_t count, const std::function<void(std::size_t)>& job) {
        ParallelFor(count, threads, job);
      });
  const DefinitionIndex definitions(plan, ChooseNamesFolder(plan), threads);
  std::printf("%s: %zu pages, %zu names\n", root.c_str(), plan.pages.size(),
              definitions.nameCount());
  std::vector<double> planned, entered, written;
  std::size_t parts = 0, bytes = 0;
  for (int run = 0; run < runs; ++run) {
    double start = Now();
    SearchIndex index(plan, &definitions);
    planned.push_back(Now() - start);
    start = Now();
    index.AddEntries();
    entered.push_back(Now() - start);
    start = Now();
    parts = index.partCount();
    bytes = 0;
    for (std::size_t part = 0; part < parts; ++part) bytes += index.PartText(part).size();
    written.push_back(Now() - start);
  }
  std::printf("%zu parts, %zu bytes; CPU ms on one thread, %d runs:\n", parts, bytes, runs);
  std::printf("%-8s %8s %8s %11s %8s\n", "", "plan", "entries", "part texts", "total");
  std::printf("%-8s %8.1f %8.1f %11.1f %8.1f\n", "median", Median(planned), Median(entered),
              Median(written), Median(planned) + Median(entered) + Median(written));
  std::printf("%-8s %8.1f %8.1f %11.1f %8.1f\n", "least", Least(planned), Least(entered),
              Least(written), Least(planned) + Least(entered) + Least(written));
  return 0;
}

}  // namespace
}  // namespace lexpaint

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : "/usr/include";
  const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
  return lexpaint::Run(root, runs);
}
