#include "tree_command.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "exit_status.h"
#include "heap.h"
#include "input_file.h"
#include "site_builder.h"

namespace lexpaint {

const char kTreeUsage[] =
    "Usage: lexpaint --tree [-j N] [-I DIR]... [--keywords FILE] [--css FILE] [--title TEXT] "
    "[--no-definitions] [--no-uses] SOURCEDIR TARGETDIR\n";

namespace {

std::string Message(const SiteProblem& problem) {
  switch (problem.kind) {
    case SiteProblem::kSourceFolderUnreadable:
      return "Cannot read source folder: " + problem.path;
    case SiteProblem::kTargetHoldsSource:
      return "Target folder holds the source folder: " + problem.path;
    case SiteProblem::kTargetFolderUnwritable:
      return "Cannot write target folder: " + problem.path;
    case SiteProblem::kSourceFileUnreadable:
      return "Cannot read source file: " + problem.path;
    case SiteProblem::kTargetFileUnwritable:
      return "Cannot write target file: " + problem.path;
  }
  return problem.path;
}

// Prints each problem as a line, and keeps one progress line up to date where there is one.
class TreeReport : public SiteObserver {
 public:
  TreeReport(std::ostream& messages, std::ostream* progress)
      : messages_(messages), progress_(progress) {}

  void Planned(std::size_t pages, std::uint64_t bytes) override {
    pages_ = pages;
    bytes_ = bytes;
    ShowProgress(true);
  }

  void PageDone(std::uint64_t bytes) override {
    ++pagesDone_;
    bytesDone_ += bytes;
    ShowProgress(pagesDone_ == pages_);
  }

  void Problem(const SiteProblem& problem) override {
    ClearProgress();
    messages_ << Message(problem) << "\n" << std::flush;
    ShowProgress(true);
  }

  void Finish() {
    if (progress_ != nullptr && shown_) *progress_ << "\n" << std::flush;
  }

 private:
  using Clock = std::chrono::steady_clock;

  void ShowProgress(bool now) {
    if (progress_ == nullptr || pages_ == 0) return;
    const Clock::time_point time = Clock::now();
    if (!now && time - lastShown_ < std::chrono::milliseconds(100)) return;
    lastShown_ = time;
    char line[96];
    std::snprintf(line, sizeof line, "\r%zu/%zu files, %.1f/%.1f MB", pagesDone_, pages_,
                  bytesDone_ / 1e6, bytes_ / 1e6);
    *progress_ << line << std::flush;
    shown_ = true;
  }

  void ClearProgress() {
    if (progress_ != nullptr && shown_) *progress_ << "\r\033[K" << std::flush;
  }

  std::ostream& messages_;
  std::ostream* progress_;
  std::size_t pages_ = 0;
  std::size_t pagesDone_ = 0;
  std::uint64_t bytes_ = 0;
  std::uint64_t bytesDone_ = 0;
  Clock::time_point lastShown_;
  bool shown_ = false;
};

std::optional<KeywordSet> LoadKeywordFile(const std::string& name) {
  std::ifstream list;
  if (!OpenReadable(name, &list)) return std::nullopt;
  KeywordSet keywords = KeywordSet::Read(list);
  if (list.bad()) return std::nullopt;
  return keywords;
}

}  // namespace

int RunTreeCommand(const Options& options, std::ostream& messages, std::ostream* progress) {
  if (options.operands.size() != 2) {
    messages << kTreeUsage;
    return kExitUsageError;
  }
  SiteOptions site;
  site.source = options.operands[0];
  site.target = options.operands[1];
  site.threads =
      options.jobs != 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  site.includeFolders = options.includeFolders;
  site.definitions = options.definitions;
  site.title = options.title;
  site.uses = options.definitions && options.uses;
  if (options.keywordFile.empty()) {
    site.keywords = BuiltInKeywords();
  } else if (std::optional<KeywordSet> keywords = LoadKeywordFile(options.keywordFile)) {
    site.keywords = *std::move(keywords);
  } else {
    messages << "Cannot read keyword file: " << options.keywordFile << "\n";
    return kExitFailure;
  }
  if (options.stylesheetFile.empty()) {
    site.stylesheet = BuiltInStylesheet();
  } else if (std::optional<std::string> stylesheet = ReadWholeFile(options.stylesheetFile)) {
    site.stylesheet = *std::move(stylesheet);
  } else {
    messages << "Cannot read stylesheet: " << options.stylesheetFile << "\n";
    return kExitFailure;
  }
  GrowHeapInHugePages();
  TreeReport report(messages, progress);
  const bool built = BuildSite(site, report);
  report.Finish();
  return built ? kExitSuccess : kExitFailure;
}

}  // namespace lexpaint
