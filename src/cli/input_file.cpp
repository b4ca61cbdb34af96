#include "input_file.h"

namespace lexpaint {

bool OpenReadable(const std::string& name, std::ifstream* file) {
  file->open(name);
  if (!file->is_open()) return false;
  file->peek();
  if (file->bad()) return false;
  file->clear();  // peek on an empty file sets eofbit, which is no failure here
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& name) {
  std::ifstream file;
  if (!OpenReadable(name, &file)) return std::nullopt;
  std::string content;
  char chunk[8192];
  while (file.read(chunk, sizeof chunk) || file.gcount() > 0) content.append(chunk, file.gcount());
  if (file.bad()) return std::nullopt;
  return content;
}

}  // namespace lexpaint
