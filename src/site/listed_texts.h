#ifndef LEXPAINT_SITE_LISTED_TEXTS_H_
#define LEXPAINT_SITE_LISTED_TEXTS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lexpaint {

// The texts of the lines that list pages show, by the number of their definition among the link
// targets. Each page keeps the texts of its own definitions, from its own thread, one after the
// other in a text of its own; a line that holds several definitions is kept once.
class ListedTexts {
 public:
  ListedTexts(std::size_t targets, std::size_t pages) : pages_(pages), places_(targets) {}

  bool Kept(std::uint32_t target) const { return places_[target].kept; }
  // Keeps `text` for `target`, a definition on the page `page`.
  void Keep(std::uint32_t target, std::size_t page, std::string_view text) {
    std::string& texts = pages_[page];
    places_[target] = {static_cast<std::uint32_t>(page), static_cast<std::uint32_t>(texts.size()),
                       static_cast<std::uint32_t>(text.size()), true};
    texts.append(text);
  }
  // Keeps for `target` the text kept for `other`, a definition on the same line.
  void Share(std::uint32_t target, std::uint32_t other) { places_[target] = places_[other]; }
  // The page `page` keeps no more texts: they take no more memory than they fill.
  void Finish(std::size_t page) { pages_[page].shrink_to_fit(); }

  std::string_view TextOf(std::uint32_t target) const {
    const Place& place = places_[target];
    return std::string_view(pages_[place.page]).substr(place.offset, place.size);
  }

 private:
  struct Place {
    std::uint32_t page = 0;
    std::uint32_t offset = 0;
    std::uint32_t size : 31;
    std::uint32_t kept : 1;
    Place() : size(0), kept(false) {}
    Place(std::uint32_t page, std::uint32_t offset, std::uint32_t size, bool kept)
        : page(page), offset(offset), size(size), kept(kept) {}
  };

  std::vector<std::string> pages_;
  std::vector<Place> places_;
};

}  // namespace lexpaint

#endif  // LEXPAINT_SITE_LISTED_TEXTS_H_
