#include "sandbox.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace lexpaint {
namespace {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace

Sandbox::Sandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lexpaint-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

Sandbox::~Sandbox() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

void Sandbox::Write(const std::string& name, const std::string& content) const {
  const std::filesystem::path file = path_ / name;
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary) << content;
}

std::string Sandbox::Read(const std::string& name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool Sandbox::Exists(const std::string& name) const {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path_ / name, error));
}

std::vector<std::string> Sandbox::List() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::map<std::string, std::string> Sandbox::Snapshot(const std::string& folder) const {
  namespace fs = std::filesystem;
  const fs::path root = path_ / folder;
  std::map<std::string, std::string> entries;
  for (const auto& entry :
       fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied)) {
    const std::string name = fs::relative(entry.path(), root).string();
    const fs::file_status status = entry.symlink_status();
    if (fs::is_symlink(status)) {
      entries[name] = "-> " + fs::read_symlink(entry.path()).string();
    } else if (fs::is_regular_file(status)) {
      entries[name] = Read((fs::path(folder) / name).string());
    } else if (fs::is_directory(status)) {
      entries[name] = "<folder>";
    } else {
      entries[name] = "<special>";
    }
  }
  return entries;
}

RunResult Sandbox::Run(const std::string& program, const std::vector<std::string>& args) const {
  std::string command = "cd " + ShellQuote(path_.string()) + " && " + ShellQuote(program);
  for (const std::string& arg : args) command += " " + ShellQuote(arg);
  command += " </dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) throw std::runtime_error("popen failed");
  RunResult result{-1, ""};
  char chunk[4096];
  for (size_t n; (n = fread(chunk, 1, sizeof chunk, pipe)) > 0;) result.output.append(chunk, n);
  const int status = pclose(pipe);
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  return result;
}

RunResult Sandbox::Lexpaint(const std::vector<std::string>& args) const {
  return Run(LEXPAINT_BINARY, args);
}

}  // namespace lexpaint
