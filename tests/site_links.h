#ifndef LEXPAINT_TESTS_SITE_LINKS_H_
#define LEXPAINT_TESTS_SITE_LINKS_H_

#include <cstddef>
#include <filesystem>
#include <string>

namespace lexpaint {

// Checks every link of the static site under `siteRoot`. Each .html file under it is read as
// markup (text holds no bare '<'; tags are closed; no id appears twice in a page), and each href
// attribute of each tag must be a relative reference that stays inside the site: no scheme, no
// leading '/', no query, every byte outside the characters a URL path may hold percent-encoded.
// Its path, percent-decoded and taken from the page's folder, must name a regular file of the
// site (an empty path is the page itself), and a #fragment must be an id of the page it names.
// Returns a description of the first fault, naming the page and the href, or "" if there is
// none. If `links` is not null, it is set to the number of hrefs checked.
std::string CheckSiteLinks(const std::filesystem::path& siteRoot, std::size_t* links = nullptr);

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_SITE_LINKS_H_
