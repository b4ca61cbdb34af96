#include "member_types.h"

#include <algorithm>
#include <functional>

namespace lexpaint {
namespace {

// The most lines a template's head may take before the class body it opens.
constexpr std::uint64_t kLongestHead = 64;

}  // namespace

// The locals are in the order of their first lines, so one pass over them keeps the class bodies
// open around each. A class's data members and its template's
// parameters last to the end of the innermost body that ends where they do: the parameters of a
// member function defined in the class end with the function's body. A member whose type is a
// parameter of its class's template, declared before the body opens, may be of any class.
void MemberTypes::Add(const PageScopes& scopes) {
  using Stretch = PageScopes::Stretch;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> owned;  // a body and a local of it
  OpenClassBodies bodies(scopes);
  for (std::uint32_t l = 0; l < scopes.locals.size(); ++l) {
    const Stretch& local = scopes.locals[l];
    const std::vector<std::uint32_t>& open = bodies.At(local.first);
    if (local.function) continue;
    const auto body = std::find_if(open.rbegin(), open.rend(), [&](std::uint32_t c) {
      return scopes.classes[c].last() == local.last();
    });
    if (body != open.rend()) owned.emplace_back(*body, l);
  }
  std::stable_sort(owned.begin(), owned.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto from = owned.begin(); from != owned.end();) {
    const auto to =
        std::find_if(from, owned.end(), [&](const auto& o) { return o.first != from->first; });
    const Stretch& body = scopes.classes[from->first];
    // The parameters come before the body opens, in its template's head.
    const auto isParameter = [&](std::string_view name) {
      auto local =
          std::upper_bound(scopes.locals.begin(), scopes.locals.end(), body.first,
                           [](std::uint64_t line, const Stretch& l) { return line < l.first; });
      for (; local != scopes.locals.begin() && local[-1].first + kLongestHead >= body.first;
           --local) {
        if (local[-1].last() == body.last() && scopes.Names(local[-1], name)) return true;
      }
      return false;
    };
    for (auto o = from; o != to; ++o) {
      const Stretch& member = scopes.locals[o->second];
      std::string_view type = scopes.TypeOf(member);
      if (!type.empty() && type.back() == '*') type.remove_suffix(1);
      type = SplitType(type).name;
      if (type.empty() || isParameter(type)) continue;
      entries_.push_back(
          {Key(scopes.NameOf(body), scopes.NameOf(member)), &scopes, o->first, o->second});
    }
    from = to;
  }
}

void MemberTypes::Finish() {
  std::sort(entries_.begin(), entries_.end(),
            [](const Entry& a, const Entry& b) { return a.key < b.key; });
}

std::string_view MemberTypes::TypeOf(std::string_view owner, std::string_view member) const {
  const std::uint64_t key = Key(owner, member);
  auto entry = std::lower_bound(entries_.begin(), entries_.end(), key,
                                [](const Entry& e, std::uint64_t k) { return e.key < k; });
  std::string_view type;
  for (; entry != entries_.end() && entry->key == key; ++entry) {
    const PageScopes& scopes = *entry->scopes;
    const PageScopes::Stretch& local = scopes.locals[entry->member];
    if (scopes.NameOf(scopes.classes[entry->owner]) != owner || !scopes.Names(local, member)) {
      continue;
    }
    const std::string_view declared = scopes.TypeOf(local);
    if (!type.empty() && type != declared) return {};
    type = declared;
  }
  return type;
}

std::uint64_t MemberTypes::Key(std::string_view owner, std::string_view member) {
  const std::hash<std::string_view> hash;
  return hash(owner) * 0x9E3779B97F4A7C15ull ^ hash(member);
}

}  // namespace lexpaint
