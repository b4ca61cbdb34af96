// Converts an in-memory corpus, every header of the C++ library concatenated, to see the scanner's
// speed apart from the file system. Run build-bench/bench/highlighter_bench.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "highlighter.h"
#include "keyword_set.h"

namespace lexpaint {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

const std::string& Corpus() {
  static const std::string corpus = [] {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator("/usr/include/c++", error)) {
      if (entry.is_regular_file()) paths.push_back(entry.path());
    }
    std::sort(paths.begin(), paths.end());
    std::string text;
    for (const fs::path& path : paths) text += ReadFile(path);
    return text;
  }();
  return corpus;
}

KeywordSet Keywords() {
  std::ifstream list(std::string(LEXPAINT_DATA_DIR) + "/C_Keywords.txt");
  return KeywordSet::Read(list);
}

// Reads `text` in place, so that no copy of the corpus is timed.
class ViewBuffer : public std::streambuf {
 public:
  explicit ViewBuffer(const std::string& text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

// Discards what it is given, so that only the highlighter is measured.
class NullBuffer : public std::streambuf {
 protected:
  std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
  int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};

void BM_HighlightHeaders(benchmark::State& state) {
  const std::string& corpus = Corpus();
  if (corpus.empty()) {
    state.SkipWithError("no headers under /usr/include/c++");
    return;
  }
  const KeywordSet keywords = Keywords();
  NullBuffer sink;
  std::ostream output(&sink);
  for (auto _ : state) {
    ViewBuffer view(corpus);
    std::istream input(&view);
    Highlighter highlighter(input, output, keywords);
    highlighter.Run();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * corpus.size()));
}
BENCHMARK(BM_HighlightHeaders)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lexpaint

BENCHMARK_MAIN();
