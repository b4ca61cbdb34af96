// The texts of the search index's parts: the entries of the names, the scripts that hold them,
// the list of files and the outlines of the pages.
#include <algorithm>

#include "markup_text.h"
#include "search_index.h"
#include "worker_pool.h"

namespace lexpaint {
namespace {

// A byte that a script string holds as it is: printable ASCII but '"' and '\\'.
bool IsPlain(char c) { return c >= 0x20 && c < 0x7F && c != '"' && c != '\\'; }

// The length of the UTF-8 sequence at the start of `text`, or 0 if it is none.
std::size_t Utf8Length(std::string_view text) {
  const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong form
    if (lead == 0xED) high = 0x9F;  // no surrogate
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(k) < 0x80 || byte(k) > 0xBF) return 0;
  }
  return length;
}

bool IsUtf8(std::string_view text) {
  for (std::size_t k = 0; k < text.size();) {
    if (static_cast<unsigned char>(text[k]) < 0x80) {
      ++k;
    } else {
      const std::size_t length = Utf8Length(text.substr(k));
      if (length == 0) return false;
      k += length;
    }
  }
  return true;
}

// The start and end of a part's script.
std::string PartStart(std::string_view name) {
  std::string text = "lexpaintIndex(\"";
  text.append(name).append("\",");
  return text;
}

constexpr std::string_view kPartEnd = ");\n";

}  // namespace

void AppendScriptString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (std::size_t k = 0; k < text.size();) {
    std::size_t plain = k;  // bytes that stand for themselves
    while (plain < text.size() && IsPlain(text[plain])) ++plain;
    out.append(text, k, plain - k);
    if (plain == text.size()) break;
    k = plain;
    const auto byte = static_cast<unsigned char>(text[k]);
    if (byte >= 0x80) {
      const std::size_t length = Utf8Length(text.substr(k));
      if (length == 0) {
        out += "\\ufffd";
        ++k;
      } else {
        out.append(text, k, length);
        k += length;
      }
      continue;
    }
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += static_cast<char>(byte);
    } else if (byte < 0x20) {
      out += "\\u00";
      out += kHex[byte >> 4];
      out += kHex[byte & 15];
    } else {
      out += static_cast<char>(byte);
    }
    ++k;
  }
  out += '"';
}

void SearchIndex::AddEntries(unsigned threads) {
  if (definitions_ == nullptr) return;
  const std::size_t count = definitions_->nameCount();
  entryEnds_.resize(count);
  entryTexts_.resize((count + kEntriesPerText - 1) / kEntriesPerText);
  ParallelFor(entryTexts_.size(), threads, [&](std::size_t job) {
    std::string& text = entryTexts_[job];
    const std::size_t end = std::min(count, (job + 1) * kEntriesPerText);
    for (std::size_t n = job * kEntriesPerText; n < end; ++n) {
      AppendEntry(text, static_cast<std::uint32_t>(n));
      entryEnds_[n] = static_cast<std::uint32_t>(text.size());
    }
    text.shrink_to_fit();
  });
}

std::string_view SearchIndex::EntryText(std::uint32_t name) const {
  const std::string& text = entryTexts_[name / kEntriesPerText];
  const std::uint32_t start = name % kEntriesPerText == 0 ? 0 : entryEnds_[name - 1];
  return std::string_view(text).substr(start, entryEnds_[name] - start);
}

// [name, kind, page, line] for a name defined once; [name, kind, "href", count] for one whose
// list page a link leads to; [name, kind, page, line, count] at the definition it shows for any
// other, such as one defined too often to have a list.
void SearchIndex::AppendEntry(std::string& text, std::uint32_t n) const {
  const DefinitionIndex::NameList name = definitions_->NameAt(n);
  const PageDefinitions::Entry& entry = EntryOf(shown_[n]);
  text += '[';
  AppendScriptString(text, name.name);
  text += ',';
  AppendNumber(text, entry.kind);
  text += ',';
  if (name.count > 1 && name.count <= DefinitionIndex::kMaxLinkedDefinitions &&
      definitions_->ListLinked(n)) {
    text += '"';
    definitions_->AppendListHref(text, n);
    text += "\",";
  } else {
    AppendNumber(text, definitions_->TargetAt(shown_[n]).page);
    text += ',';
    AppendNumber(text, entry.line);
    if (name.count > 1) text += ',';
  }
  if (name.count > 1) AppendNumber(text, name.count);
  text += ']';
}

std::string SearchIndex::PartText(std::size_t part) const {
  if (part == 0) return FilesText();
  if (part == 1) return NamesText();
  part -= 2;
  if (part < runs_.size()) {
    const std::uint32_t* names = runNames_.data();
    return EntriesText(PartName(part + 2), names + runs_[part].first, names + runs_[part].end);
  }
  part -= runs_.size();
  if (part < firsts_.size()) {
    const std::vector<std::uint32_t>& names = firsts_[part].names;
    return EntriesText(PartName(part + 2 + runs_.size()), names.data(),
                       names.data() + names.size());
  }
  return OutlineText(part - firsts_.size());
}

// {"folders":[[path, href]...], "pages":[[folder, name(, href)]...], "outlines":[page...]}: a
// page's href is given where it is not that of its folder, '/', its name encoded and ".html".
std::string SearchIndex::FilesText() const {
  std::string text = PartStart("files") + "{\"folders\":[";
  for (std::size_t f = 0; f < plan_.folders.size(); ++f) {
    if (f > 0) text += ',';
    text += '[';
    AppendScriptString(text, plan_.folders[f].path);
    text += ",\"";
    AppendEncodedHref(text, plan_.folders[f].sitePath);
    text += "\"]";
  }
  text += "],\"pages\":[";
  for (std::size_t p = 0; p < plan_.pages.size(); ++p) {
    const SitePage& page = plan_.pages[p];
    const std::string_view name = NameOf(plan_.files[page.file].path);
    const std::string_view pageName = NameOf(page.path);
    if (p > 0) text += ',';
    text += '[';
    AppendNumber(text, page.folder);
    text += ',';
    AppendScriptString(text, name);
    const bool natural = pageName.size() == name.size() + 5 &&
                         pageName.compare(0, name.size(), name) == 0 && IsUtf8(name) &&
                         FolderOf(page.path) == plan_.folders[page.folder].sitePath;
    if (!natural) {
      text += ",\"";
      AppendEncodedHref(text, page.path);
      text += '"';
    }
    text += ']';
  }
  text += "],\"outlines\":[";
  for (std::size_t k = 0; k < outlines_.size(); ++k) {
    if (k > 0) text += ',';
    AppendNumber(text, outlines_[k]);
  }
  return text.append("]}").append(kPartEnd);
}

// {"kinds":[name...], "types":[kind...], "runs":[start...]}
std::string SearchIndex::NamesText() const {
  std::string text = PartStart("names") + "{\"kinds\":[";
  for (int kind = Definition::kMacro; kind <= Definition::kNamespace; ++kind) {
    if (kind > 0) text += ',';
    AppendScriptString(text, KindName(static_cast<Definition::Kind>(kind)));
  }
  text += "],\"types\":[";
  for (int kind = Definition::kMacro, types = 0; kind <= Definition::kNamespace; ++kind) {
    if (!IsTypeKind(static_cast<Definition::Kind>(kind))) continue;
    if (types++ > 0) text += ',';
    AppendNumber(text, kind);
  }
  text += "],\"runs\":[";
  for (std::size_t r = 0; r < runs_.size(); ++r) {
    if (r > 0) text += ',';
    AppendScriptString(text, runs_[r].start);
  }
  return text.append("]}").append(kPartEnd);
}

// [entry...]: a run's names in name order, or a prefix's first names by rank.
std::string SearchIndex::EntriesText(std::string_view part, const std::uint32_t* first,
                                     const std::uint32_t* end) const {
  std::size_t bytes = part.size() + 32;
  for (const std::uint32_t* name = first; name != end; ++name) {
    bytes += EntryText(*name).size() + 1;
  }
  std::string text = PartStart(part);
  text.reserve(bytes);
  text += '[';
  for (const std::uint32_t* name = first; name != end; ++name) {
    if (name != first) text += ',';
    text += EntryText(*name);
  }
  return text.append("]").append(kPartEnd);
}

// [[name, kind, line, name, kind, line...]...]: for each page from the part's first, its
// definitions in line order.
std::string SearchIndex::OutlineText(std::size_t outline) const {
  const std::size_t first = outlines_[outline];
  const std::size_t end =
      outline + 1 < outlines_.size() ? outlines_[outline + 1] : plan_.pages.size();
  std::string text = PartStart("outline/" + std::to_string(first));
  text.reserve(2 * kPartBytes);
  text += '[';
  std::vector<const PageDefinitions::Entry*> byLine;
  for (std::size_t page = first; page < end; ++page) {
    const PageDefinitions& definitions = plan_.pages[page].scan.definitions;
    byLine.clear();
    for (const PageDefinitions::Entry& entry : definitions.entries) byLine.push_back(&entry);
    const auto byLines = [](const auto* a, const auto* b) { return a->line < b->line; };
    if (!std::is_sorted(byLine.begin(), byLine.end(), byLines)) {
      std::stable_sort(byLine.begin(), byLine.end(), byLines);
    }
    text += page > first ? ",[" : "[";
    for (std::size_t d = 0; d < byLine.size(); ++d) {
      if (d > 0) text += ',';
      AppendScriptString(text, definitions.NameOf(*byLine[d]));
      text += ',';
      AppendNumber(text, byLine[d]->kind);
      text += ',';
      AppendNumber(text, byLine[d]->line);
    }
    text += ']';
  }
  return text.append("]").append(kPartEnd);
}

}  // namespace lexpaint
