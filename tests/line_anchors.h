#ifndef LEXPAINT_TESTS_LINE_ANCHORS_H_
#define LEXPAINT_TESTS_LINE_ANCHORS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace lexpaint {

// The number of lines in `source`: its line feeds, and one more for text after the last of them.
std::size_t CountLines(std::string_view source);

// Checks that `numbered`, a body written with line numbers, starts each of its lines with the
// anchor <a class="Line" id="Ln" href="#Ln" tabindex="-1" aria-label="line n"></a>, n counting
// from 1 to `lines`, and that removing those anchors gives back `plain` byte for byte. Returns a
// description of the first fault, or "" if there is none.
std::string CheckLineAnchors(std::string_view numbered, std::string_view plain, std::size_t lines);

// `body` without its links: every <a href="..."> and the </a> that closes it. Line anchors stay.
// Sets `*links` to the number of links removed, or to -1 if a link is left open or nested.
std::string RemoveLinks(std::string_view body, int* links);

}  // namespace lexpaint

#endif  // LEXPAINT_TESTS_LINE_ANCHORS_H_
