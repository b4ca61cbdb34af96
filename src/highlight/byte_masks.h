#ifndef LEXPAINT_HIGHLIGHT_BYTE_MASKS_H_
#define LEXPAINT_HIGHLIGHT_BYTE_MASKS_H_

// Classifies 16 bytes at once: each function returns a mask whose bit k is set when p[k] belongs
// to the class. All 16 bytes p[0..15] must be readable, even those past the end of the text being
// scanned; the caller ignores their bits. SSE2 does the work where the compiler offers it (every
// x86-64 target); elsewhere a byte loop computes the same masks.

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lexpaint {

constexpr std::size_t kMaskWidth = 16;

#if defined(__SSE2__)

inline __m128i Load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline unsigned MaskOf(__m128i matches) {
  return static_cast<unsigned>(_mm_movemask_epi8(matches));
}

// '<' and '>' differ only in bit 1, so one comparison finds both.
inline unsigned EscapableMask(const char* p) {
  const __m128i v = Load16(p);
  const __m128i angle = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  const __m128i amp = _mm_cmpeq_epi8(v, _mm_set1_epi8('&'));
  const __m128i cr = _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'));
  return MaskOf(_mm_or_si128(angle, _mm_or_si128(amp, cr)));
}

inline unsigned ByteMask(const char* p, char c) {
  return MaskOf(_mm_cmpeq_epi8(Load16(p), _mm_set1_epi8(c)));
}

inline unsigned EitherByteMask(const char* p, char a, char b) {
  const __m128i v = Load16(p);
  return MaskOf(
      _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(a)), _mm_cmpeq_epi8(v, _mm_set1_epi8(b))));
}

// Bytes equal in a[0..15] and b[0..15].
inline unsigned EqualMask(const char* a, const char* b) {
  return MaskOf(_mm_cmpeq_epi8(Load16(a), Load16(b)));
}

// True for the bytes in [low, high], which must hold no byte from 0x80 up: adding 0x7F - high
// moves the range to the top of the signed bytes, so one signed comparison tells.
inline __m128i InRange(__m128i v, char low, char high) {
  const char shift = static_cast<char>(0x7F - high);
  return _mm_cmpgt_epi8(_mm_add_epi8(v, _mm_set1_epi8(shift)),
                        _mm_set1_epi8(static_cast<char>(low + shift - 1)));
}

// The bytes that markup escapes in text and in attribute values: '<', '>', '&', '"' and '\''.
inline unsigned MarkupMask(const char* p) {
  const __m128i v = Load16(p);
  const __m128i angle = _mm_cmpeq_epi8(_mm_or_si128(v, _mm_set1_epi8(2)), _mm_set1_epi8('>'));
  const __m128i amp = _mm_cmpeq_epi8(v, _mm_set1_epi8('&'));
  const __m128i quote = _mm_cmpeq_epi8(v, _mm_set1_epi8('"'));
  const __m128i apostrophe = _mm_cmpeq_epi8(v, _mm_set1_epi8('\''));
  return MaskOf(_mm_or_si128(_mm_or_si128(angle, amp), _mm_or_si128(quote, apostrophe)));
}

// Letters, digits and '_'.
inline unsigned IdentifierMask(const char* p) {
  const __m128i v = Load16(p);
  const __m128i letter = InRange(_mm_or_si128(v, _mm_set1_epi8(0x20)), 'a', 'z');
  const __m128i digit = InRange(v, '0', '9');
  const __m128i underscore = _mm_cmpeq_epi8(v, _mm_set1_epi8('_'));
  return MaskOf(_mm_or_si128(letter, _mm_or_si128(digit, underscore)));
}

#else

template <typename Predicate>
unsigned MaskWhere(const char* p, Predicate is) {
  unsigned mask = 0;
  for (std::size_t k = 0; k < kMaskWidth; ++k) mask |= static_cast<unsigned>(is(p[k])) << k;
  return mask;
}

inline unsigned EscapableMask(const char* p) {
  return MaskWhere(p, [](char c) { return c == '<' || c == '>' || c == '&' || c == '\r'; });
}

inline unsigned MarkupMask(const char* p) {
  return MaskWhere(
      p, [](char c) { return c == '<' || c == '>' || c == '&' || c == '"' || c == '\''; });
}

inline unsigned ByteMask(const char* p, char c) {
  return MaskWhere(p, [c](char x) { return x == c; });
}

inline unsigned EitherByteMask(const char* p, char a, char b) {
  return MaskWhere(p, [a, b](char x) { return x == a || x == b; });
}

inline unsigned EqualMask(const char* a, const char* b) {
  unsigned mask = 0;
  for (std::size_t k = 0; k < kMaskWidth; ++k) mask |= static_cast<unsigned>(a[k] == b[k]) << k;
  return mask;
}

inline unsigned IdentifierMask(const char* p) {
  return MaskWhere(p, [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

#endif

// Index of the lowest set bit of a mask that is not zero.
inline std::size_t LowestBit(unsigned mask) {
#if defined(__GNUC__)
  return static_cast<std::size_t>(__builtin_ctz(mask));
#else
  std::size_t k = 0;
  while ((mask & 1u) == 0) {
    mask >>= 1;
    ++k;
  }
  return k;
#endif
}

// Index of the highest set bit of a mask that is not zero.
inline std::size_t HighestBit(unsigned mask) {
#if defined(__GNUC__)
  return static_cast<std::size_t>(31 - __builtin_clz(mask));
#else
  std::size_t k = 31;
  while ((mask >> k) == 0) --k;
  return k;
#endif
}

}  // namespace lexpaint

#endif  // LEXPAINT_HIGHLIGHT_BYTE_MASKS_H_
