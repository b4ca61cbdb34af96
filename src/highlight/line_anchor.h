#ifndef LEXPAINT_HIGHLIGHT_LINE_ANCHOR_H_
#define LEXPAINT_HIGHLIGHT_LINE_ANCHOR_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace lexpaint {

// The empty anchor that starts each line of a page with line numbers, such as
// <a class="Line" id="L42" href="#L42" tabindex="-1" aria-label="line 42"></a>: a link to its own
// line, left out of the Tab order and named for screen readers. The number appears three times in
// the text and is counted up in place, so that moving to the next line rarely touches more than
// its last digits.
class LineAnchor {
 public:
  static constexpr std::string_view kOpen = "<a class=\"Line\" id=\"L";
  static constexpr std::string_view kHref = "\" href=\"#L";
  static constexpr std::string_view kLabel = "\" tabindex=\"-1\" aria-label=\"line ";
  static constexpr std::string_view kClose = "\"></a>";
  static constexpr std::size_t kMaxDigits = 20;  // of a 64-bit count
  // Write copies this many bytes, the longest anchor and then some.
  static constexpr std::size_t kBlockSize = 144;
  static_assert(kOpen.size() + kHref.size() + kLabel.size() + kClose.size() + 3 * kMaxDigits <=
                kBlockSize);

  // The anchor of line 1.
  LineAnchor() { Build(1); }

  // Moves to the anchor of the next line.
  void Next() {
    char* const first = text_ + kOpen.size();
    char* const second = first + digits_ + kHref.size();
    char* const third = second + digits_ + kLabel.size();
    std::size_t i = digits_;
    while (i > 0 && first[i - 1] == '9') {
      --i;
      first[i] = second[i] = third[i] = '0';
    }
    ++number_;
    if (i == 0) {
      Build(number_);  // one digit more
      return;
    }
    ++first[i - 1];
    ++second[i - 1];
    ++third[i - 1];
  }

  // Stores the anchor at `out`, which has room for kBlockSize bytes; returns the end of what it
  // stored.
  char* Write(char* out) const {
    std::memcpy(out, text_, kBlockSize);
    return out + size_;
  }

  std::string_view text() const { return std::string_view(text_, size_); }

 private:
  void Build(std::uint64_t number) {
    char digits[kMaxDigits];
    std::size_t count = 0;
    for (std::uint64_t n = number; n != 0 || count == 0; n /= 10) {
      digits[kMaxDigits - ++count] = static_cast<char>('0' + n % 10);
    }
    const std::string_view numberText(digits + kMaxDigits - count, count);
    std::size_t size = 0;
    for (std::string_view part :
         {kOpen, numberText, kHref, numberText, kLabel, numberText, kClose}) {
      std::memcpy(text_ + size, part.data(), part.size());
      size += part.size();
    }
    number_ = number;
    digits_ = count;
    size_ = size;
  }

  char text_[kBlockSize] = {};
  std::uint64_t number_ = 0;
  std::size_t digits_ = 0;
  std::size_t size_ = 0;
};

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_LINE_ANCHOR_H_
