// libFuzzer target: finds the definitions and scopes in arbitrary bytes, read from a stream and in
// place, and stops where the two differ or a definition or local name is not one of the input's:
// a name that is empty or not in the input, or lines past its last or out of order. It also reads
// the types of the classes' data members from the scopes, and stops where a type given for a
// member is none that a local of its name was declared with.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "definition_finder.h"
#include "member_types.h"
#include "source_scan.h"
#include "source_text.h"

namespace {

[[noreturn]] void Fail(const char* fault) {
  std::fprintf(stderr, "%s\n", fault);
  __builtin_trap();
}

bool Same(const std::vector<lexpaint::Definition>& a, const std::vector<lexpaint::Definition>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].kind != b[i].kind || a[i].line != b[i].line) return false;
  }
  return true;
}

void Check(const std::vector<lexpaint::Definition>& found, std::string_view source) {
  std::uint64_t lines = 1;
  for (char c : source) lines += c == '\n' ? 1 : 0;
  for (const lexpaint::Definition& d : found) {
    if (d.line == 0 || d.line > lines) Fail("a definition's line is not one of the input's");
    if (d.name.empty()) Fail("a definition has no name");
    // Destructors and operators are named from several tokens; other names are one word.
    const bool composed = d.name[0] == '~' || d.name.rfind("operator", 0) == 0;
    if (!composed && source.find(d.name) == std::string_view::npos) {
      Fail("a definition's name is not in the input");
    }
  }
}

bool Same(const lexpaint::NameScopes& a, const lexpaint::NameScopes& b) {
  if (a.locals.size() != b.locals.size() || a.classes.size() != b.classes.size()) return false;
  for (std::size_t i = 0; i < a.locals.size(); ++i) {
    const lexpaint::LocalName& x = a.locals[i];
    const lexpaint::LocalName& y = b.locals[i];
    if (x.name != y.name || x.first != y.first || x.last != y.last) return false;
  }
  for (std::size_t i = 0; i < a.classes.size(); ++i) {
    const lexpaint::ClassLines& x = a.classes[i];
    const lexpaint::ClassLines& y = b.classes[i];
    if (x.className != y.className || x.first != y.first || x.last != y.last) return false;
  }
  return true;
}

void Check(const lexpaint::NameScopes& scopes, std::string_view source) {
  std::uint64_t lines = 1;
  for (char c : source) lines += c == '\n' ? 1 : 0;
  for (const lexpaint::LocalName& local : scopes.locals) {
    if (local.first == 0 || local.first > local.last || local.last > lines) {
      Fail("a local name's lines are not the input's, or out of order");
    }
    if (local.name.empty() || source.find(local.name) == std::string_view::npos) {
      Fail("a local name is not in the input");
    }
  }
  for (const lexpaint::ClassLines& stretch : scopes.classes) {
    if (stretch.first == 0 || stretch.first > stretch.last || stretch.last > lines) {
      Fail("a class stretch's lines are not the input's, or out of order");
    }
  }
}

void CheckMemberTypes(const lexpaint::NameScopes& found) {
  const lexpaint::PageScopes scopes(found);
  lexpaint::MemberTypes types;
  types.Add(scopes);
  types.Finish();
  std::set<std::pair<std::string_view, std::string_view>> declared;
  for (const lexpaint::LocalName& local : found.locals) declared.emplace(local.name, local.type);
  for (const lexpaint::PageScopes::Stretch& body : scopes.classes) {
    for (const lexpaint::PageScopes::Stretch& member : scopes.locals) {
      const std::string_view type = types.TypeOf(scopes.NameOf(body), scopes.NameOf(member));
      if (!type.empty() && declared.count({scopes.NameOf(member), type}) == 0) {
        Fail("a member's type is none that a local of its name was declared with");
      }
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  std::istringstream stream(source);
  lexpaint::NameScopes streamedScopes;
  const std::vector<lexpaint::Definition> streamed =
      lexpaint::FindDefinitions(stream, &streamedScopes);
  std::istringstream again(source);
  lexpaint::SourceText text;
  if (!text.Read(again, size)) Fail("reading an in-memory stream failed");
  lexpaint::NameScopes inPlaceScopes;
  const std::vector<lexpaint::Definition> inPlace =
      lexpaint::FindDefinitions(text.lines(), &inPlaceScopes);
  if (!Same(streamed, inPlace)) Fail("read from a stream and in place, the definitions differ");
  if (!Same(streamedScopes, inPlaceScopes)) Fail("read from a stream and in place, scopes differ");
  if (!Same(streamed, lexpaint::FindDefinitions(text.lines()))) {
    Fail("with scopes and without, the definitions differ");
  }
  Check(streamed, source);
  Check(streamedScopes, source);
  CheckMemberTypes(inPlaceScopes);
  return 0;
}
