#ifndef LEXPAINT_TESTS_SANDBOX_H_
#define LEXPAINT_TESTS_SANDBOX_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace lexpaint {

// What a program run printed on standard output, and its exit status.
struct RunResult {
  int status;
  std::string output;
};

// A fresh temporary working directory, removed with everything in it on destruction.
class Sandbox {
 public:
  Sandbox();
  ~Sandbox();
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  const std::filesystem::path& path() const { return path_; }

  // Writes `content` to the file `name` (relative to the sandbox), creating folders as needed.
  void Write(const std::string& name, const std::string& content) const;
  std::string Read(const std::string& name) const;
  bool Exists(const std::string& name) const;
  // The names of all entries in the sandbox folder, sorted.
  std::vector<std::string> List() const;
  // Every entry under `folder` (relative to the sandbox; "" for all of it), by path relative to
  // that folder, with a regular file's content, a link's target, or the kind of anything else.
  // Links are not followed.
  std::map<std::string, std::string> Snapshot(const std::string& folder = "") const;

  // Runs `program` with `args` in the sandbox, with no standard input.
  RunResult Run(const std::string& program, const std::vector<std::string>& args) const;
  // Runs the lexpaint built with these tests.
  RunResult Lexpaint(const std::vector<std::string>& args) const;

 private:
  std::filesystem::path path_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_SANDBOX_H_
