#include "site_builder.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <utility>

#include "atomic_file.h"
#include "definition_finder.h"
#include "definition_index.h"
#include "highlighter.h"
#include "page_frame.h"
#include "page_links.h"
#include "search_index.h"
#include "site_plan.h"
#include "source_scan.h"
#include "source_text.h"
#include "source_tree.h"
#include "use_index.h"
#include "worker_pool.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

// How much of a definition's line the page of its name shows.
constexpr std::size_t kListedTextWidth = 160;

// The largest file that the scan of a site with definitions reads into memory at once; a larger
// one is read twice, a run of lines at a time.
constexpr std::uint64_t kReadOnceSize = 1 << 20;

// A page written a part at a time is let go of once a part is this large.
constexpr std::size_t kSpillSize = 64 * 1024;

std::string Join(const std::string& folder, std::string_view path) {
  if (path.empty()) return folder;
  if (!folder.empty() && folder.back() == '/') return folder + std::string(path);
  return folder + "/" + std::string(path);
}

bool IsFolder(const std::string& path) {
  struct stat status;
  return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// True if `outer` is `inner` or holds it, after links and ".." are resolved.
bool Holds(const std::string& outer, const std::string& inner) {
  std::error_code error;
  const fs::path canonicalOuter = fs::weakly_canonical(outer, error);
  if (error) return false;
  const fs::path canonicalInner = fs::canonical(inner, error);
  if (error) return false;
  auto o = canonicalOuter.begin();
  auto i = canonicalInner.begin();
  for (; o != canonicalOuter.end(); ++o, ++i) {
    if (o->empty()) continue;  // a trailing separator
    if (i == canonicalInner.end() || *o != *i) return false;
  }
  return true;
}

std::string SiteName(const std::string& source) {
  std::error_code error;
  const fs::path canonical = fs::canonical(source, error);
  if (error || canonical.filename().empty()) return source;
  return canonical.filename().string();
}

// One run of BuildSite: the plan and what has gone wrong so far.
class SiteRun {
 public:
  SiteRun(const SiteOptions& options, SiteObserver& observer)
      : options_(options),
        observer_(observer),
        siteName_(SiteName(options.source)),
        siteTitle_(options.title.empty() ? siteName_ + " \u2014 source" : options.title) {}

  bool Build() {
    if (!CheckFolders()) return false;
    TreeListing listing = WalkTree(options_.source, options_.target);
    for (const std::string& folder : listing.unreadableFolders) {
      Report(SiteProblem::kSourceFolderUnreadable, Join(options_.source, folder));
    }
    plan_ = PlanSite(
        std::move(listing.files), options_.includeFolders,
        [this](const TreeFile& file) { return Scan(file); },
        [this](const TreeFile& file) { return Probe(file); },
        [this](std::size_t count, const std::function<void(std::size_t)>& job) {
          ParallelFor(count, options_.threads, job);
        });
    std::uint64_t bytes = 0;
    for (const SitePage& page : plan_.pages) bytes += plan_.files[page.file].size;
    Notify([&] { observer_.Planned(plan_.pages.size(), bytes); });
    if (options_.definitions) {
      index_.emplace(plan_, ChooseNamesFolder(plan_), options_.threads);
      listedTexts_.emplace(index_->targetCount(), plan_.pages.size());
      if (options_.uses) {
        uses_.emplace(*index_, ChooseNamesFolder(plan_, "uses"), plan_.pages.size());
      }
    }

    MakeFolders();
    // Each thread stores to elements of its own, so they are bytes rather than bits.
    std::vector<char> written(plan_.pages.size());
    // The tags file and the search index need only the definitions, so this thread makes them
    // while the others start on the pages.
    ParallelFor(
        plan_.pages.size(), options_.threads,
        [&](std::size_t page) {
          written[page] = WritePage(page);
          // A page that was not written makes no links, so no uses either.
          if (!written[page] && uses_) uses_->OfPage(page) = PageUses();
          Notify([&] { observer_.PageDone(plan_.files[plan_.pages[page].file].size); });
        },
        [&] {
          if (index_) WriteTags();
          search_.emplace(plan_, index_ ? &*index_ : nullptr);
        });
    listed_.assign(written.begin(), written.end());
    // The pages of uses and the list pages come first, the larger first; the uses are let go before
    // the search index is made, so that the two never take memory at once. Then the search index
    // and the folders' indexes.
    const std::vector<DefinitionIndex::ListPage> lists =
        index_ ? index_->LinkedListPages() : std::vector<DefinitionIndex::ListPage>();
    if (!lists.empty()) MakeFolder(index_->namesFolder());
    std::vector<UseIndex::ListPage> usesPages;
    if (uses_) {
      uses_->Collect(plan_);
      usesPages = uses_->ListPages();
      MakeFolder(uses_->folder());
    }
    // Both kinds of page lie in folders of the root that hold no pages of sources, so the hrefs
    // from either to those pages are the same.
    if (index_) listHrefs_ = PageHrefsFrom(plan_, index_->namesFolder());
    const std::vector<std::size_t> order = HeaviestFirst(usesPages, lists);
    ParallelFor(order.size(), options_.threads, [&](std::size_t k) {
      const std::size_t job = order[k];
      if (job < usesPages.size()) return WriteUsesPage(usesPages[job]);
      WriteListPage(lists[job - usesPages.size()]);
    });
    uses_.reset();
    search_->AddEntries(options_.threads);
    MakeSearchFolders();
    const std::size_t firstIndex = search_->partCount();
    ParallelFor(firstIndex + plan_.folders.size(), options_.threads, [&](std::size_t job) {
      if (job < firstIndex) return WriteSearchPart(job);
      WriteIndex(job - firstIndex);
    });
    WriteWhole(Join(options_.target, kStylesheetName), options_.stylesheet);
    WriteWhole(Join(options_.target, kScriptName), BuiltInScript());
    return !failed_;
  }

 private:
  bool CheckFolders() {
    if (!IsFolder(options_.source)) {
      Report(SiteProblem::kSourceFolderUnreadable, options_.source);
      return false;
    }
    if (Holds(options_.target, options_.source)) {
      Report(SiteProblem::kTargetHoldsSource, options_.target);
      return false;
    }
    std::error_code error;
    fs::create_directories(options_.target, error);
    if (!IsFolder(options_.target)) {
      Report(SiteProblem::kTargetFolderUnwritable, options_.target);
      return false;
    }
    return true;
  }

  // The source file at `path` from the source folder, opened for reading.
  std::ifstream OpenSource(std::string_view path) const {
    return std::ifstream(Join(options_.source, path), std::ios::binary);
  }

  // Scans a file for the plan and, if they are wanted, finds its definitions while it is open:
  // a file of up to kReadOnceSize bytes is read once, into memory, for both.
  SourceScan Scan(const TreeFile& file) const {
    std::ifstream source = OpenSource(file.path);
    if (!options_.definitions) return ScanSource(source);
    thread_local SourceText text;
    if (file.size <= kReadOnceSize && text.Read(source, file.size)) {
      SourceScan scan = ScanSource(text.lines());
      NameScopes scopes;
      AddDefinitions(FindDefinitions(text.lines(), &scopes), scan);
      scan.scopes = PageScopes(scopes);
      return scan;
    }
    // Too large to hold, or reading it failed: the file is read from its start, twice.
    source.clear();
    source.seekg(0);
    SourceScan scan = ScanSource(source);
    if (scan.readable) {
      source.clear();
      source.seekg(0);
      NameScopes scopes;
      AddDefinitions(FindDefinitions(source, &scopes), scan);
      scan.scopes = PageScopes(scopes);
    }
    return scan;
  }

  // The definitions stay for the whole run, so they take no more memory than they fill.
  static void AddDefinitions(const std::vector<Definition>& found, SourceScan& scan) {
    std::size_t names = 0;
    for (const Definition& definition : found) {
      names += definition.name.size() + definition.aliased.size();
    }
    scan.definitions.entries.reserve(found.size());
    scan.definitions.names.reserve(names);
    for (const Definition& definition : found) scan.definitions.Add(definition);
  }

  bool Probe(const TreeFile& file) const {
    std::ifstream source = OpenSource(file.path);
    char head[kSourceProbeSize];
    source.read(head, sizeof head);
    return StartsLikeSource(std::string_view(head, static_cast<std::size_t>(source.gcount())));
  }

  // The pages of uses, then the list pages, as jobs in the order of the rows they hold, the most
  // first, so that no thread is left with a large page once the others are done.
  std::vector<std::size_t> HeaviestFirst(const std::vector<UseIndex::ListPage>& usesPages,
                                         const std::vector<DefinitionIndex::ListPage>& lists) {
    std::vector<std::pair<std::uint64_t, std::size_t>> rows;
    rows.reserve(usesPages.size() + lists.size());
    for (const UseIndex::ListPage& list : usesPages) {
      std::uint64_t count = 0;
      for (std::uint32_t name = list.first; name < list.end; ++name) {
        count += uses_->CountOf(name) + index_->NameAt(name).count;
      }
      rows.emplace_back(count, rows.size());
    }
    for (const DefinitionIndex::ListPage& list : lists) {
      std::uint64_t count = 0;
      for (const DefinitionIndex::NameList& name : list.names) {
        count += name.only.empty() ? name.count : name.only.size();
      }
      rows.emplace_back(count, rows.size());
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    std::vector<std::size_t> order;
    order.reserve(rows.size());
    for (const auto& [count, job] : rows) order.push_back(job);
    return order;
  }

  // Writes a page that lists the definitions of names defined in more than one place, each with
  // the text of its line.
  void WriteListPage(const DefinitionIndex::ListPage& list) {
    std::vector<ListedName> listed;
    for (const DefinitionIndex::NameList& name : list.names) {
      listed.push_back({name.name, name.section.empty() ? name.name : name.section, {}, 0, ""});
      std::vector<std::uint32_t> targets = index_->ListOrder(name);
      if (!name.only.empty()) {  // in the same order, those the section lists
        const auto unlisted = [&name](std::uint32_t t) {
          return std::find(name.only.begin(), name.only.end(), t) == name.only.end();
        };
        targets.erase(std::remove_if(targets.begin(), targets.end(), unlisted), targets.end());
      }
      listed.back().definitions.reserve(targets.size());
      for (const std::uint32_t target : targets) {
        const DefinitionIndex::Place place = index_->TargetAt(target);
        const PageDefinitions::Entry& definition =
            plan_.pages[place.page].scan.definitions.entries[place.definition];
        listed.back().definitions.push_back(
            {place.page, definition.line, KindName(definition.kind), listedTexts_->TextOf(target)});
      }
      if (uses_) {
        const std::uint32_t number = index_->LinkedName(name.name);
        listed.back().uses = uses_->CountOf(number);
        listed.back().usesHref = uses_->Href("", number);
      }
    }
    WriteWhole(Join(options_.target, list.path),
               NameListPage(plan_, list.path, *listHrefs_, listed, siteName_));
  }

  // Writes a page that lists the uses of a run of names, a name at a time.
  void WriteUsesPage(const UseIndex::ListPage& list) {
    const std::string path = Join(options_.target, list.path);
    AtomicFile file(path);
    const auto spill = [&file](std::string& part) {
      file.stream() << part;
      part.clear();
    };
    std::string part = UsesPageStart(plan_, list.path, index_->NameAt(list.first).name,
                                     index_->NameAt(list.last).name, siteName_);
    for (std::uint32_t name = list.first; name < list.end && file.is_open(); ++name) {
      if (!index_->IsLinked(name)) continue;
      const DefinitionIndex::NameList spelled = index_->NameAt(name);
      UsedName used{spelled.name, {}, uses_->UsesOf(name)};
      for (const std::uint32_t target : index_->ListOrder(spelled)) {
        const DefinitionIndex::Place place = index_->TargetAt(target);
        const PageDefinitions::Entry& definition =
            plan_.pages[place.page].scan.definitions.entries[place.definition];
        used.definitions.push_back({place.page, definition.line, KindName(definition.kind), ""});
      }
      AppendUsesSection(part, plan_, *listHrefs_, used, spill);
      if (part.size() >= kSpillSize) spill(part);
    }
    spill(part.append(UsesPageEnd()));
    if (!file.Commit()) Report(SiteProblem::kTargetFileUnwritable, path);
  }

  void MakeFolder(const std::string& folder) const {
    std::error_code error;
    fs::create_directories(Join(options_.target, folder), error);
  }

  void WriteTags() {
    const std::string path = Join(options_.target, kTagsName);
    AtomicFile tags(path);
    if (tags.is_open()) index_->WriteTags(tags.stream());
    index_->ReleaseTags();
    if (!tags.Commit()) Report(SiteProblem::kTargetFileUnwritable, path);
  }

  // The search index's folder, and the folders of its parts.
  void MakeSearchFolders() const {
    std::string made;
    for (std::size_t part = 0; part < search_->partCount(); ++part) {
      const std::string name = search_->PartName(part);
      const std::string folder = name.substr(0, name.find('/') + 1);
      if (folder == made && part > 0) continue;
      MakeFolder(Join(std::string(kSearchFolderName), folder));
      made = folder;
    }
  }

  void WriteSearchPart(std::size_t part) {
    WriteWhole(Join(options_.target,
                    std::string(kSearchFolderName) + "/" + search_->PartName(part) + ".js"),
               search_->PartText(part));
  }

  // A folder that cannot be made shows in the failures of the pages it was to hold.
  void MakeFolders() const {
    for (const SiteFolder& folder : plan_.folders) {
      std::error_code error;
      fs::create_directories(Join(options_.target, folder.sitePath), error);
    }
  }

  bool WritePage(std::size_t page) {
    const SitePage& shown = plan_.pages[page];
    const std::string sourcePath = Join(options_.source, plan_.files[shown.file].path);
    const std::string targetPath = Join(options_.target, shown.path);
    std::ifstream source(sourcePath, std::ios::binary);
    if (!source.is_open()) return Report(SiteProblem::kSourceFileUnreadable, sourcePath);
    AtomicFile target(targetPath);
    if (!target.is_open()) return Report(SiteProblem::kTargetFileUnwritable, targetPath);
    target.stream() << PageHead(plan_, page, siteName_);
    HighlightOptions highlight;
    highlight.lineNumbers = true;
    highlight.includeHref = [&](std::string_view name, bool angled) {
      return IncludeHref(shown, name, angled);
    };
    std::optional<PageLinks> names;
    if (index_) {
      names.emplace(*index_, plan_, page, kListedTextWidth, *listedTexts_);
      if (uses_) names->ListUses(*uses_, uses_->OfPage(page));
      highlight.nameHref = [&names](std::string_view word, std::uint64_t line) {
        return names->Href(word, line);
      };
    }
    Highlighter highlighter(source, target.stream(), options_.keywords, std::move(highlight));
    highlighter.Run();
    if (highlighter.input_failed()) return Report(SiteProblem::kSourceFileUnreadable, sourcePath);
    if (names) {
      KeepUnseenListedTexts(*names, source);
      listedTexts_->Finish(page);
    }
    if (uses_) uses_->OfPage(page).Finish();
    target.stream() << PageFoot();
    if (!target.Commit()) return Report(SiteProblem::kTargetFileUnwritable, targetPath);
    return true;
  }

  // Keeps the texts of the lines that list pages show of the definitions the highlighter did not
  // ask about, reading them again from `source`.
  static void KeepUnseenListedTexts(PageLinks& names, std::ifstream& source) {
    const std::vector<std::uint64_t> lines = names.UnkeptLines();
    if (lines.empty()) return;
    source.clear();
    source.seekg(0);
    names.KeepTexts(lines, ReadLines(source, lines, kListedTextWidth));
  }

  // The highlighter asks for the include lines it meets, which the scan has seen too, in order.
  // A file that could not be read has no page to link to.
  std::string IncludeHref(const SitePage& page, std::string_view name, bool angled) const {
    const std::vector<IncludedName>& includes = page.scan.includes;
    for (std::size_t k = 0; k < includes.size(); ++k) {
      if (includes[k].name != name || includes[k].angled != angled) continue;
      if (!page.includePages[k]) return "";
      const SitePage& included = plan_.pages[*page.includePages[k]];
      return included.scan.readable ? RelativeHref(page.path, included.path) : "";
    }
    return "";
  }

  void WriteIndex(std::size_t folder) {
    WriteWhole(Join(options_.target, IndexPath(plan_.folders[folder])),
               IndexPage(plan_, folder, listed_, siteName_, siteTitle_));
  }

  void WriteWhole(const std::string& path, const std::string& content) {
    AtomicFile file(path);
    if (file.is_open()) file.stream() << content;
    if (!file.Commit()) Report(SiteProblem::kTargetFileUnwritable, path);
  }

  // Reports a problem; returns false, for the callers that end on it.
  bool Report(SiteProblem::Kind kind, std::string path) {
    failed_ = true;
    Notify([&] { observer_.Problem({kind, std::move(path)}); });
    return false;
  }

  template <class Call>
  void Notify(const Call& call) {
    const std::lock_guard<std::mutex> lock(observing_);
    call();
  }

  const SiteOptions& options_;
  SiteObserver& observer_;
  const std::string siteName_;
  const std::string siteTitle_;
  SitePlan plan_;
  std::vector<bool> listed_;  // the pages that were written, which the indexes list
  std::optional<DefinitionIndex> index_;
  std::optional<ListedTexts> listedTexts_;
  std::optional<UseIndex> uses_;
  std::optional<SearchIndex> search_;
  std::optional<PageHrefs> listHrefs_;  // the pages' hrefs from the list pages and pages of uses
  std::atomic<bool> failed_{false};
  std::mutex observing_;
};

}  // namespace

bool BuildSite(const SiteOptions& options, SiteObserver& observer) {
  return SiteRun(options, observer).Build();
}

}  // namespace lexpaint
