#ifndef LEXPAINT_SITE_SITE_BUILDER_H_
#define LEXPAINT_SITE_SITE_BUILDER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "keyword_set.h"

namespace lexpaint {

// What a site run could not do, and the file or folder it concerns, named as the user named the
// folders (SOURCEDIR/REL, TARGETDIR/REL.html).
struct SiteProblem {
  enum Kind {
    kSourceFolderUnreadable,  // the source folder, or a folder in it, cannot be listed
    kTargetHoldsSource,       // the target folder is the source folder or holds it
    kTargetFolderUnwritable,  // the target folder, or a folder in it, cannot be created
    kSourceFileUnreadable,
    kTargetFileUnwritable,
  };
  Kind kind;
  std::string path;
};

// Hears of a site run's progress. BuildSite makes its calls one at a time, from any thread.
class SiteObserver {
 public:
  virtual ~SiteObserver() = default;
  // The run will write `pages` pages from `bytes` bytes of source.
  virtual void Planned(std::size_t pages, std::uint64_t bytes) = 0;
  // One more page is done, written or not, from `bytes` bytes of source.
  virtual void PageDone(std::uint64_t bytes) = 0;
  virtual void Problem(const SiteProblem& problem) = 0;
};

struct SiteOptions {
  std::string source;  // the folder to walk
  std::string target;  // the folder to write; created if missing
  unsigned threads = 1;
  std::vector<std::string> includeFolders;  // searched for includes, from the source folder
  KeywordSet keywords;
  std::string stylesheet;  // written as lexpaint.css
  std::string title;       // of the root index; "" for the source folder's name and " — source"
  // Find the definitions of the site's files, link names to them, and write the tags file.
  bool definitions = false;
  // With definitions, list the uses of every name on pages that its definitions link to.
  bool uses = false;
};

// Writes the site of `options.source` into `options.target`: a page for each C or C++ file, an
// index for each folder that holds one, the stylesheet and the script; with definitions, also a
// page for each name defined more than once and the tags file. Each is replaced whole or not at
// all. Deletes nothing. Returns true if everything was written; every problem goes to `observer`,
// and a problem with either folder as a whole stops the run before anything is written.
bool BuildSite(const SiteOptions& options, SiteObserver& observer);

// The stylesheet and keywords a site uses unless told otherwise.
const std::string& BuiltInStylesheet();
// The script every page of a site shares, written as lexpaint.js.
const std::string& BuiltInScript();
KeywordSet BuiltInKeywords();

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_SITE_BUILDER_H_
