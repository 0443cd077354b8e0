#include "engine/modFade.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "runtime/ErrorReporting.h"

namespace glimra {

namespace {

FadeYield gYield = nullptr;
TextEncoding gEncoding = TextEncoding::Ansi;

constexpr char kModule[] = "modFade";
constexpr const char* kGradientNames[] = {"FadeByColor2", "FadeByColor3", "FadeByColor4", "FadeByColor5",
                                          "FadeByColor6"};
constexpr std::size_t kFontTagSize = 20;  // <FONT COLOR=#RRGGBB>

// Wave tags are stored eight bytes at a time and the cursor moves by their size.
struct WaveTag {
  char bytes[8];
  std::size_t size;
};
constexpr WaveTag kWaveTags[] = {{"", 0}, {"<sup>", 5}, {"</sup>", 6}, {"<sub>", 5}, {"</sub>", 6}};
constexpr std::size_t kWaveCycleBytes = 5 + 6 + 5 + 6;
// The most one character can take: its tag, a wave tag written eight bytes
// wide, and four bytes of UTF-8.
constexpr std::ptrdiff_t kMostPerCharacter = kFontTagSize + 8 + 4;

// ---- characters ----

bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

std::size_t Utf8SequenceLength(const char* at, std::size_t available) {
  const auto* p = reinterpret_cast<const unsigned char*>(at);
  const unsigned char lead = p[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // the second byte's range; overlong and surrogate forms are not well-formed
  if (InRange(lead, 0xC2, 0xDF)) {
    length = 2;
  } else if (InRange(lead, 0xE0, 0xEF)) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (InRange(lead, 0xF0, 0xF4)) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (available < length || !InRange(p[1], low, high)) return 0;
  for (std::size_t i = 2; i < length; ++i)
    if (!InRange(p[i], 0x80, 0xBF)) return 0;
  return length;
}

// One byte, one character: ANSI text, and UTF-8 text that is plain ASCII.
struct ByteCharacters {
  static std::size_t Length(const char*, const char*) { return 1; }
};
struct Utf8Characters {
  static std::size_t Length(const char* p, const char* end) {
    const std::size_t length = Utf8SequenceLength(p, static_cast<std::size_t>(end - p));
    return length == 0 ? 1 : length;
  }
};

template <class Characters>
const char* AdvanceCharacters(const char* p, const char* end, std::size_t count) {
  if constexpr (std::is_same_v<Characters, ByteCharacters>) {
    return p + std::min(count, static_cast<std::size_t>(end - p));
  } else {
    for (; count > 0 && p < end; --count) p += Characters::Length(p, end);
    return p;
  }
}

// What one pass over the text tells: how many characters, how many of them
// blanks, and whether every character is one byte.
struct TextFacts {
  std::size_t characters = 0;
  std::size_t blanks = 0;
  bool byteCharacters = true;
  std::size_t NonBlanks() const { return characters - blanks; }
};

// The blanks of `text`, and all its bytes or-ed together (the high bit tells
// whether any byte is not ASCII). A byte at a time this pass cost a quarter
// of a long line's rendering; sixteen at a time it is a small part.
struct ByteCensus {
  std::size_t blanks = 0;
  unsigned char high = 0;
};

ByteCensus CountBlanks(std::string_view text) {
  ByteCensus census;
  const char* p = text.data();
  const char* const end = p + text.size();
#if defined(__SSE2__)
  const __m128i blank = _mm_set1_epi8(' ');
  __m128i ored = _mm_setzero_si128();
  while (end - p >= 16) {
    // Counted in byte lanes, which hold up to 255 blocks, then summed.
    const std::size_t blocks = std::min<std::size_t>(static_cast<std::size_t>(end - p) / 16, 255);
    __m128i counts = _mm_setzero_si128();
    for (std::size_t i = 0; i < blocks; ++i, p += 16) {
      const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
      counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(bytes, blank));
      ored = _mm_or_si128(ored, bytes);
    }
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    census.blanks += static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
  }
  if (_mm_movemask_epi8(ored) != 0) census.high = 0x80;
#endif
  for (; p < end; ++p) {
    census.blanks += *p == ' ';
    census.high |= static_cast<unsigned char>(*p);
  }
  return census;
}

TextFacts ExamineText(std::string_view text) {
  TextFacts facts;
  const ByteCensus census = CountBlanks(text);
  facts.blanks = census.blanks;
  const unsigned char high = census.high;
  facts.characters = text.size();
  if (gEncoding == TextEncoding::Utf8 && (high & 0x80)) {
    facts.byteCharacters = false;
    facts.characters = 0;
    const char* end = text.data() + text.size();
    for (const char* p = text.data(); p < end; p += Utf8Characters::Length(p, end)) ++facts.characters;
  }
  return facts;
}

// ---- colours and tags ----

struct HexPairs {
  char pairs[256][2];
  constexpr HexPairs() : pairs() {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int value = 0; value < 256; ++value) {
      pairs[value][0] = kDigits[value >> 4];
      pairs[value][1] = kDigits[value & 0xF];
    }
  }
};
constexpr HexPairs kHex;

struct Rgb {
  int red, green, blue;
};

Rgb ComponentsOf(Colour colour) { return {colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF}; }

// A colour with its "<FONT COLOR=#RRGGBB>" ready to store; FFFFFF is written FBFBFB.
struct FontColour {
  Rgb rgb;
  char tag[kFontTagSize];
};

// A stretch of a gradient run whose characters share one colour: it ends
// after character number `end` of the run.
struct Stretch {
  std::size_t end;
  FontColour colour;
};

// Writes the tag in place: a tag put together on the stack and copied at once
// would wait for its byte stores to land (a stall per gradient stretch).
void SetFontColour(FontColour& colour, Rgb rgb) {
  colour.rgb = rgb;
  std::memcpy(colour.tag, "<FONT COLOR=#", 13);
  if (rgb.red == 0xFF && rgb.green == 0xFF && rgb.blue == 0xFF) {
    std::memcpy(colour.tag + 13, "FBFBFB", 6);
  } else {
    std::memcpy(colour.tag + 13, kHex.pairs[rgb.red], 2);
    std::memcpy(colour.tag + 15, kHex.pairs[rgb.green], 2);
    std::memcpy(colour.tag + 17, kHex.pairs[rgb.blue], 2);
  }
  colour.tag[19] = '>';
}

FontColour MakeFontColour(Rgb rgb) {
  FontColour colour;
  SetFontColour(colour, rgb);
  return colour;
}

std::uint32_t PackedRgb(const Rgb& rgb) {
  return static_cast<std::uint32_t>(rgb.red << 16 | rgb.green << 8 | rgb.blue);
}

// The colour arithmetic is double precision, as on x86-64 and as Windows
// programs start. The 32-bit x87 unit is left at extended precision by the
// MinGW start-up: there adding 1.5 * 2^52 no longer rounds and a product
// keeps bits a double drops, so colours came out a step off. For as long as
// it lives, this holds the unit at double precision.
class DoublePrecisionArithmetic {
#if defined(__i386__) && !defined(__SSE2_MATH__)
 public:
  DoublePrecisionArithmetic() {
    __asm__ volatile("fnstcw %0" : "=m"(saved_)::"memory");
    const std::uint16_t doublePrecision = static_cast<std::uint16_t>((saved_ & ~0x300u) | 0x200u);
    __asm__ volatile("fldcw %0" ::"m"(doublePrecision) : "memory");
  }
  ~DoublePrecisionArithmetic() { __asm__ volatile("fldcw %0" ::"m"(saved_) : "memory"); }
  DoublePrecisionArithmetic(const DoublePrecisionArithmetic&) = delete;
  DoublePrecisionArithmetic& operator=(const DoublePrecisionArithmetic&) = delete;

 private:
  std::uint16_t saved_ = 0;
#endif
};

// Rounds to the nearest integer, halves to even, for the small values of a
// colour component (adding and taking away 1.5 * 2^52 leaves the FPU's
// round-to-nearest-even result).
int RoundComponent(double value) {
  constexpr double kRoundingShift = 6755399441055744.0;
  return static_cast<int>((value + kRoundingShift) - kRoundingShift);
}

int ClampComponent(int value) { return std::clamp(value, 0, 255); }

// One colour component along a gradient run of `length` characters:
// s + (e - s) / L * i, in that grouping, rounded half to even. It is
// monotonic in i, so where it next changes can be estimated and then made
// exact by evaluating the same expression on either side.
class ComponentRamp {
 public:
  ComponentRamp(int start, int end, double length)
      : start_(start), step_((end - start) / length), inverse_(step_ != 0 ? 1 / step_ : 0) {}

  // (Positions fit a signed integer, whose conversion is one instruction.)
  int At(std::size_t position) const {
    return RoundComponent(step_ * static_cast<double>(static_cast<std::int64_t>(position)) + start_);
  }

  // Where the value next changes after `position` (where it is `value`), or
  // last + 1.
  struct Change {
    std::size_t position;
    int value;  // the value there
  };

  // The estimate may be off by one or two; the evaluations on either side of
  // the position it gives make it exact. Starting just past the estimate, the
  // usual case takes one evaluation each side, and the second is the new value.
  Change NextChange(std::size_t position, int value, std::size_t last) const {
    if (step_ == 0) return {last + 1, value};
    const double estimate = (value + (step_ > 0 ? 0.5 : -0.5) - start_) * inverse_;
    std::size_t next = last + 1;
    if (!(estimate > static_cast<double>(position + 1))) {
      next = position + 1;
    } else if (estimate < static_cast<double>(last)) {
      next = static_cast<std::size_t>(estimate) + 1;
    }
    while (next > position + 1 && At(next - 1) != value) --next;
    int after = value;
    while (next <= last && (after = At(next)) == value) ++next;
    return {next, after};
  }

 private:
  double start_;
  double step_;
  double inverse_;
};

// The stretches of one gradient run of `length` characters, one at a time,
// so that each is worked out while the one before it is written: the
// evaluations that find where a component changes wait on one another, and
// so their time hides behind the writing's stores.
class GradientStretches {
 public:
  GradientStretches(std::size_t length, const Rgb& start, const Rgb& finish)
      : precision_(),
        length_(static_cast<double>(length)),
        ramps_{{ClampComponent(start.red), ClampComponent(finish.red), length_},
               {ClampComponent(start.green), ClampComponent(finish.green), length_},
               {ClampComponent(start.blue), ClampComponent(finish.blue), length_}},
        last_(length) {
    for (int k = 0; k < 3; ++k) Track(k, 1, ramps_[k].At(1));
  }

  // The next stretch into `stretch`; past the last, the last again.
  void Next(Stretch& stretch) {
    const std::size_t next = std::min({changes_[0], changes_[1], changes_[2]});
    stretch.end = next - 1;
    SetFontColour(stretch.colour, {values_[0], values_[1], values_[2]});
    if (next > last_) return;
    for (int k = 0; k < 3; ++k)
      if (changes_[k] == next) Track(k, next, coming_[k]);
  }

 private:
  void Track(int k, std::size_t position, int value) {
    const ComponentRamp::Change change = ramps_[k].NextChange(position, value, last_);
    values_[k] = value;
    changes_[k] = change.position;
    coming_[k] = change.value;
  }

  [[maybe_unused]] DoublePrecisionArithmetic precision_;  // first in, last out: around all the arithmetic
  double length_;
  ComponentRamp ramps_[3];
  std::size_t last_;
  int values_[3] = {};           // each component's value now
  std::size_t changes_[3] = {};  // where it next changes
  int coming_[3] = {};           // and its value there
};

// ---- the wave ----

std::int16_t StepPhase(std::int16_t phase) { return static_cast<std::int16_t>((phase == 5 ? 1 : phase) + 1); }

// The phase after `steps` wave steps: from 1 to 5 it cycles 2, 3, 4, 5.
std::int16_t PhaseAfter(std::int16_t phase, std::size_t steps) {
  for (; steps > 0 && (phase < 2 || phase > 5); --steps) phase = StepPhase(phase);
  if (steps > 0) phase = static_cast<std::int16_t>(2 + (phase - 2 + steps % 4) % 4);
  return phase;
}

// The bytes of wave tags that `steps` steps from `phase` write.
std::size_t WaveBytes(std::int16_t phase, std::size_t steps) {
  std::size_t bytes = 0;
  const auto step = [&] {
    if (phase == 5) phase = 1;
    if (phase >= 1 && phase <= 4) bytes += kWaveTags[phase].size;
    phase = static_cast<std::int16_t>(phase + 1);
    --steps;
  };
  while (steps > 0 && (phase < 2 || phase > 5)) step();
  bytes += steps / 4 * kWaveCycleBytes;
  steps %= 4;
  while (steps > 0) step();
  return bytes;
}

// The wave tag a wave step writes (0 for none), advancing the phase.
std::uint8_t WaveStep(std::int16_t& phase, bool wavy) {
  if (phase == 5) phase = 1;
  const std::uint8_t tag = wavy && phase >= 1 && phase <= 4 ? static_cast<std::uint8_t>(phase) : 0;
  phase = static_cast<std::int16_t>(phase + 1);
  return tag;
}

// ---- writing markup ----

// The most characters a solid rendering writes before it wraps its place in
// the colours: wrapping at every character was a branch on the run of blanks
// and colours that no predictor could follow.
constexpr std::size_t kCycleBlock = 64;

// 1 for a byte that takes tags, 0 for the blank: one load where a comparison
// would take three instructions, in loops bound by how many they issue.
struct TakesTags {
  std::uint8_t of[256];
  constexpr TakesTags() : of() {
    for (int byte = 0; byte < 256; ++byte) of[byte] = byte != ' ';
  }
};
constexpr TakesTags kTakesTags;

// Where the standard library lets a string be sized without being filled
// first, markup is written straight into the result, reserved at its exact
// size (with room for the stores that run past a character's end). Else, and
// should the room ever run out, it is put together in a small buffer that
// stays in the cache and goes into the result a few kilobytes at a time:
// growing or zero-filling the result first would cost more than rendering
// it. The hot loops check their room once per block of characters.
class MarkupWriter {
 public:
  // Through the buffer into `out`, reserved for `expected` more bytes.
  MarkupWriter(std::string& out, std::size_t expected) : spill_(out) {
    out.reserve(out.size() + expected);
    UseChunk();
  }
  // Straight into [begin, end); what does not fit goes to `spill`.
  MarkupWriter(char* begin, char* end, std::string& spill)
      : spill_(spill), begin_(begin), cursor_(begin), limit_(end) {}
  ~MarkupWriter() {
    if (chunked_) Flush();
  }
  MarkupWriter(const MarkupWriter&) = delete;
  MarkupWriter& operator=(const MarkupWriter&) = delete;

  // The bytes written straight in.
  std::size_t Direct() const { return static_cast<std::size_t>((chunked_ ? directEnd_ : cursor_) - begin_); }

  void Add(const char* bytes, std::size_t size) {
    if (static_cast<std::size_t>(limit_ - cursor_) < size) {
      MakeRoom();
      if (size > kChunk / 2) {  // large enough to go straight in, after what is waiting
        Flush();
        spill_.append(bytes, size);
        return;
      }
    }
    std::memcpy(cursor_, bytes, size);
    cursor_ += size;
  }

  // The hot loops keep the cursor in a local and hand it back.
  char* Cursor() const { return cursor_; }
  const char* Limit() const { return limit_; }
  char* Commit(char* cursor, std::ptrdiff_t room) {
    cursor_ = cursor;
    if (limit_ - cursor_ < room) MakeRoom();
    return cursor_;
  }

 private:
  static constexpr std::size_t kChunk = 8192;

  void UseChunk() {
    chunked_ = true;
    cursor_ = chunk_;
    limit_ = chunk_ + sizeof chunk_;
  }
  void MakeRoom() {
    if (chunked_) {
      Flush();
    } else {
      directEnd_ = cursor_;
      UseChunk();
    }
  }
  void Flush() {
    spill_.append(chunk_, static_cast<std::size_t>(cursor_ - chunk_));
    cursor_ = chunk_;
  }

  std::string& spill_;
  char* begin_ = nullptr;
  char* directEnd_ = nullptr;
  bool chunked_ = false;
  char* cursor_;
  const char* limit_;
  char chunk_[kChunk + kMostPerCharacter];
};

// Writes AOL markup: each non-blank character gets its font tag and its wave
// step, blanks only themselves. Without the wave the phase is left to the
// caller, which knows how far it moves.
template <class Characters>
class MarkupSink {
 public:
  MarkupSink(MarkupWriter& writer, bool wavy, std::int16_t& phase) : writer_(writer), wavy_(wavy), phase_(phase) {}

  void LeadingTag(const FontColour& colour) { writer_.Add(colour.tag, kFontTagSize); }

  // The stretches of a gradient run of `length` characters, one after the
  // other from `p`.
  void Stretches(GradientStretches& stretches, std::size_t length, const char* p, const char* end) {
    if constexpr (std::is_same_v<Characters, ByteCharacters>) {
      WriteBytesWaved<kStretches>(&stretches, nullptr, 0, p, end);
    } else {
      Stretch stretch;
      for (std::size_t done = 0; done < length; done = stretch.end) {
        stretches.Next(stretch);
        const char* stretchEnd = AdvanceCharacters<Characters>(p, end, stretch.end - done);
        Write<true>(&stretch.colour, 1, p, stretchEnd);
        p = stretchEnd;
      }
    }
  }
  // The non-blank characters of [p, end) take the tags of `colours` in turn.
  void Cycle(const std::vector<Stretch>& colours, const char* p, const char* end) {
    if constexpr (std::is_same_v<Characters, ByteCharacters>) {
      // The colours repeated for a block's worth of characters: within a
      // block the place only counts up.
      std::vector<Stretch> repeated(colours.size() + kCycleBlock);
      for (std::size_t i = 0; i < repeated.size(); ++i) repeated[i] = colours[i % colours.size()];
      WriteBytesWaved<kCycle>(nullptr, repeated.data(), colours.size(), p, end);
    } else {
      std::vector<FontColour> tags;
      for (const Stretch& colour : colours) tags.push_back(colour.colour);
      Write<true>(tags.data(), tags.size(), p, end);
    }
  }
  // The characters of [p, end) without font tags (after a one-colour rendering's leading tag).
  void Untagged(const char* p, const char* end) {
    if constexpr (std::is_same_v<Characters, ByteCharacters>) {
      if (wavy_)
        WriteBytesWaved<kUntagged>(nullptr, nullptr, 0, p, end);
      else
        writer_.Add(p, static_cast<std::size_t>(end - p));  // the text as it is
    } else {
      Write<false>(nullptr, 0, p, end);
    }
  }

 private:
  enum TagSource { kStretches, kCycle, kUntagged };
  // No wave; the wave in its cycle of four (phase 1 to 5, 5 counting as 1);
  // the wave from any phase (0 before the first step after start-up).
  enum WaveKind { kFlat, kCycleOfFour, kAnyPhase };

  // The tags come from `stretches` (kStretches) or `tags` in turn (kCycle:
  // `tagCount` colours, repeated for kCycleBlock characters past the last).
  template <TagSource kSource>
  void WriteBytesWaved(GradientStretches* stretches, const Stretch* tags, std::size_t tagCount, const char* p,
                       const char* end) {
    if (!wavy_)
      WriteBytes<kSource, kFlat>(stretches, tags, tagCount, p, end);
    else if (phase_ >= 1 && phase_ <= 5)
      WriteBytes<kSource, kCycleOfFour>(stretches, tags, tagCount, p, end);
    else
      WriteBytes<kSource, kAnyPhase>(stretches, tags, tagCount, p, end);
  }

  // One byte a character. The blank is not branched on (its mispredictions
  // cost more than the stores): every character stores a tag, and a blank's
  // cursor moves by one, so what follows overwrites it. The tag in use is
  // held in locals, so the stores cannot make the compiler load it again.
  template <TagSource kSource, WaveKind kWave>
  void WriteBytes(GradientStretches* stretches, const Stretch* tags, std::size_t tagCount, const char* p,
                  const char* end) {
    char head[16] = {};
    std::uint32_t tail = 0;
    const auto load = [&](const Stretch& tag) {
      std::memcpy(head, tag.colour.tag, 16);
      std::memcpy(&tail, tag.colour.tag + 16, 4);
    };
    const char* const start = p;
    std::size_t next = 0;
    char* out = writer_.Cursor();
    const char* limit = writer_.Limit();
    std::int16_t phase = phase_;
    // In the cycle of four the tag follows from the count of steps, so no
    // character waits for the phase the one before it left. The count starts
    // at the phase's place in the cycle; each place holds its wave tag and the
    // offset of the character after it.
    const std::size_t cycle = static_cast<std::size_t>(phase == 5 ? 1 : phase) - 1;
    std::size_t steps = cycle;
    WaveTag cycleTags[4];
    for (std::size_t k = 0; k < 4; ++k) {
      cycleTags[k] = kWaveTags[1 + k];
      cycleTags[k].size += kSource != kUntagged ? kFontTagSize : 0;
    }
    // A gradient's wave stores the tag's last four bytes and the wave tag
    // at once, one store fewer for each of the most numerous characters.
    constexpr bool kTailWithWave = kSource == kStretches && kWave == kCycleOfFour;
    char tailsWaved[4][16] = {};
    // A stretch is worked out one ahead of its writing, into `coming`.
    Stretch coming;
    if constexpr (kSource == kStretches) stretches->Next(coming);
    while (p < end) {
      // One stretch's tag at a time (the whole text for the other sources).
      const char* stretchEnd = end;
      if constexpr (kSource == kStretches) {
        load(coming);
        if constexpr (kTailWithWave) {
          for (std::size_t k = 0; k < 4; ++k) {
            std::memcpy(tailsWaved[k], &tail, 4);
            std::memcpy(tailsWaved[k] + 4, kWaveTags[1 + k].bytes, 8);
          }
        }
        stretchEnd = start + std::min(coming.end, static_cast<std::size_t>(end - start));
        stretches->Next(coming);
      }
      while (p < stretchEnd) {
        // As many characters as surely fit in the buffer, without a check each.
        const auto fit = static_cast<std::size_t>((limit - out) / kMostPerCharacter);
        if (fit < 2) {
          out = writer_.Commit(out, 2 * kMostPerCharacter);
          limit = writer_.Limit();
          continue;
        }
        std::size_t count = std::min(fit - 1, static_cast<std::size_t>(stretchEnd - p));
        if constexpr (kSource == kCycle) count = std::min(count, kCycleBlock);
        const char* stop = p + count;
#pragma GCC unroll 4
        for (; p < stop; ++p) {
          const char c = *p;
          // 1 for a character that takes tags, 0 for a blank; multiplied in
          // rather than tested, so the compiler has nothing to branch on.
          const std::size_t tagged = kTakesTags.of[static_cast<unsigned char>(c)];
          std::size_t at = 0;
          if constexpr (kSource == kCycle) {
            load(tags[next]);
            next += tagged;
          }
          if constexpr (kSource != kUntagged) {
            std::memcpy(out, head, 16);
            if constexpr (!kTailWithWave) std::memcpy(out + 16, &tail, 4);
            at = kFontTagSize;
          }
          if constexpr (kTailWithWave) {
            std::memcpy(out + 16, tailsWaved[steps & 3], 16);
            at = cycleTags[steps & 3].size;
            steps += tagged;
          } else if constexpr (kWave == kCycleOfFour) {
            const WaveTag& tag = cycleTags[steps & 3];
            std::memcpy(out + at, tag.bytes, 8);
            at = tag.size;
            steps += tagged;
          }
          if constexpr (kWave == kAnyPhase) {
            const std::int16_t current = phase == 5 ? 1 : phase;
            const std::size_t tag = current >= 1 && current <= 4 ? static_cast<std::size_t>(current) : 0;
            std::memcpy(out + at, kWaveTags[tag].bytes, 8);
            at += kWaveTags[tag].size;
            phase = tagged ? static_cast<std::int16_t>(current + 1) : phase;
          }
          at *= tagged;
          out[at] = c;
          out += at + 1;
        }
        if constexpr (kSource == kCycle) next %= tagCount;
      }
    }
    if constexpr (kWave == kCycleOfFour) {
      if (steps > cycle) phase = static_cast<std::int16_t>(2 + ((steps - 1) & 3));
    }
    phase_ = phase;
    writer_.Commit(out, 0);
  }

  // Characters of one to four bytes (UTF-8 text that is not plain ASCII),
  // the tags again held in locals and the room checked for every character.
  template <bool kTagged>
  void Write(const FontColour* colours, std::size_t colourCount, const char* p, const char* end) {
    char head[16] = {}, tail[8] = {};
    std::size_t next = 0;
    const auto load = [&](std::size_t k) {
      std::memcpy(head, colours[k].tag, 16);
      std::memcpy(tail, colours[k].tag + 16, 4);
    };
    if constexpr (kTagged) load(0);
    const bool wavy = wavy_;
    char* out = writer_.Cursor();
    const char* limit = writer_.Limit();
    std::int16_t phase = phase_;
    while (p < end) {
      if (limit - out < kMostPerCharacter) {
        out = writer_.Commit(out, kMostPerCharacter);
        limit = writer_.Limit();
      }
      const char c = *p;
      const std::size_t length = Characters::Length(p, end);
      if (c != ' ') {
        if constexpr (kTagged) {
          if (colourCount > 1) {
            load(next);
            next = next + 1 == colourCount ? 0 : next + 1;
          }
          std::memcpy(out, head, 16);
          std::memcpy(out + 16, tail, 8);  // the last four are overwritten by what follows
          out += kFontTagSize;
        }
        if (wavy) {
          if (phase == 5) phase = 1;
          if (phase >= 1 && phase <= 4) {
            std::memcpy(out, kWaveTags[phase].bytes, 8);
            out += kWaveTags[phase].size;
          }
          phase = static_cast<std::int16_t>(phase + 1);
        }
      }
      if (length == 1) {
        *out++ = c;
      } else {
        std::memcpy(out, p, length);
        out += length;
      }
      p += length;
    }
    phase_ = phase;
    writer_.Commit(out, 0);
  }

  MarkupWriter& writer_;
  bool wavy_;
  std::int16_t& phase_;
};

// Records what happens to each character, for FadeEngineLayout.
template <class Characters>
class LayoutSink {
 public:
  LayoutSink(FadedLine& line, std::string_view text, bool wavy, std::int16_t& phase)
      : line_(line), text_(text), wavy_(wavy), phase_(phase) {}

  void LeadingTag(const FontColour& colour) {
    line_.leadingColour = PackedRgb(colour.rgb);
    coloured_ = true;
    rgb_ = *line_.leadingColour;
  }
  void Stretches(GradientStretches& stretches, std::size_t length, const char* p, const char* end) {
    Stretch stretch;
    for (std::size_t done = 0; done < length; done = stretch.end) {
      stretches.Next(stretch);
      const char* stretchEnd = AdvanceCharacters<Characters>(p, end, stretch.end - done);
      Record(&stretch.colour, p, stretchEnd, true);
      p = stretchEnd;
    }
  }
  void Cycle(const std::vector<Stretch>& colours, const char* p, const char* end) {
    while (p < end) {
      const char* characterEnd = p + Characters::Length(p, end);
      if (*p != ' ') {
        Record(&colours[next_].colour, p, characterEnd, true);
        next_ = next_ + 1 == colours.size() ? 0 : next_ + 1;
      } else {
        Record(nullptr, p, characterEnd, false);
      }
      p = characterEnd;
    }
  }
  void Untagged(const char* p, const char* end) { Record(nullptr, p, end, true); }
  // Text the engine leaves as it was: no tags, and the wave stands still.
  void Unchanged(const char* p, const char* end) { Record(nullptr, p, end, false); }

 private:
  void Record(const FontColour* colour, const char* p, const char* end, bool waveSteps) {
    while (p < end) {
      FadedCharacter character;
      character.offset = static_cast<std::size_t>(p - text_.data());
      character.length = Characters::Length(p, end);
      if (*p != ' ' && waveSteps) {
        if (colour) {
          character.tagged = true;
          coloured_ = true;
          rgb_ = PackedRgb(colour->rgb);
        }
        character.waveTag = WaveStep(phase_, wavy_);
        if (character.waveTag != 0) wave_ = character.waveTag == 1 ? 1 : character.waveTag == 3 ? -1 : 0;
      }
      character.coloured = coloured_;
      character.rgb = coloured_ ? rgb_ : 0;
      character.wave = static_cast<std::int8_t>(wave_);
      line_.characters.push_back(character);
      p += character.length;
    }
  }

  FadedLine& line_;
  std::string_view text_;
  bool wavy_;
  std::int16_t& phase_;
  bool coloured_ = false;
  std::uint32_t rgb_ = 0;
  int wave_ = 0;
  std::size_t next_ = 0;
};

// ---- the renderings, for any sink ----

// One gradient run over `length` characters: the colour is worked out once
// per stretch of characters that share it.
template <class Characters, class Sink>
void WalkGradientRun(Sink& sink, const char* p, const char* end, std::size_t length, const Rgb& start,
                     const Rgb& finish) {
  if (length == 0) return;
  GradientStretches stretches(length, start, finish);
  sink.Stretches(stretches, length, p, end);
}

template <class Characters, class Sink>
void WalkGradient(Sink& sink, const std::vector<Colour>& colours, const std::vector<std::size_t>& lengths,
                  std::string_view text) {
  const char* p = text.data();
  const char* end = p + text.size();
  for (std::size_t run = 0; run < lengths.size(); ++run) {
    const char* runEnd = AdvanceCharacters<Characters>(p, end, lengths[run]);
    WalkGradientRun<Characters>(sink, p, runEnd, lengths[run], ComponentsOf(colours[run]),
                                ComponentsOf(colours[run + 1]));
    p = runEnd;
  }
}

// Solid colours cycle over the non-blank characters; one colour is a single
// leading tag.
template <class Characters, class Sink>
void WalkSolid(Sink& sink, const std::vector<Colour>& colours, std::string_view text) {
  if (colours.empty()) return;
  const char* p = text.data();
  const char* end = p + text.size();
  if (colours.size() == 1) {
    sink.LeadingTag(MakeFontColour(ComponentsOf(colours[0])));
    sink.Untagged(p, end);
    return;
  }
  std::vector<Stretch> tags;
  for (Colour colour : colours) tags.push_back({0, MakeFontColour(ComponentsOf(colour))});
  sink.Cycle(tags, p, end);
}

// ---- sizes ----

std::size_t TaggedMarkupSize(std::string_view text, const TextFacts& facts, bool wavy, std::int16_t phase) {
  return text.size() + kFontTagSize * facts.NonBlanks() + (wavy ? WaveBytes(phase, facts.NonBlanks()) : 0);
}

std::size_t SolidMarkupSize(std::string_view text, const TextFacts& facts, std::size_t colourCount, bool wavy,
                            std::int16_t phase) {
  if (colourCount == 0) return 0;
  if (colourCount > 1) return TaggedMarkupSize(text, facts, wavy, phase);
  return kFontTagSize + text.size() + (wavy ? WaveBytes(phase, facts.NonBlanks()) : 0);
}

// ---- the operations ----

// Renders with the sink for the text's kind of characters into `out`, which
// is reserved for `size` more bytes. Without the wave, the phase moves on by
// the number of non-blank characters.
template <class Walk>
void AppendMarkup(std::string& out, const TextFacts& facts, std::size_t size, bool wavy, Walk walk) {
  std::int16_t& phase = WavePhase();
  const std::int16_t start = phase;
  const auto render = [&](MarkupWriter& writer) {
    if (facts.byteCharacters) {
      MarkupSink<ByteCharacters> sink(writer, wavy, phase);
      walk(sink, ByteCharacters{});
    } else {
      MarkupSink<Utf8Characters> sink(writer, wavy, phase);
      walk(sink, Utf8Characters{});
    }
  };
#if defined(__cpp_lib_string_resize_and_overwrite)
  // The stores of the last character may run up to a character's most past it.
  std::string spill;
  const std::size_t base = out.size();
  out.resize_and_overwrite(base + size + 2 * kMostPerCharacter, [&](char* data, std::size_t room) {
    MarkupWriter writer(data + base, data + room, spill);
    render(writer);
    return base + writer.Direct();
  });
  out += spill;
#else
  {
    MarkupWriter writer(out, size);
    render(writer);
  }
#endif
  if (!wavy) phase = PhaseAfter(start, facts.NonBlanks());
}

// `extra`: bytes the caller adds after the rendering, reserved with it.
void AppendGradient(std::string& out, const std::vector<Colour>& colours, std::string_view text, VBBool wavy,
                    std::size_t extra = 0) {
  const TextFacts facts = ExamineText(text);
  const std::vector<std::size_t> lengths = GradientRunLengths(colours.size(), facts.characters);
  WavePhase() = 2;
  AppendMarkup(out, facts, TaggedMarkupSize(text, facts, IsTrue(wavy), 2) + extra, IsTrue(wavy),
               [&](auto& sink, auto characters) { WalkGradient<decltype(characters)>(sink, colours, lengths, text); });
}

void AppendGradientRun(std::string& out, std::string_view text, const Rgb& start, const Rgb& finish, VBBool wavy) {
  const TextFacts facts = ExamineText(text);
  AppendMarkup(out, facts, TaggedMarkupSize(text, facts, IsTrue(wavy), WavePhase()), IsTrue(wavy),
               [&](auto& sink, auto characters) {
                 WalkGradientRun<decltype(characters)>(sink, text.data(), text.data() + text.size(), facts.characters,
                                                       start, finish);
               });
}

void AppendSolid(std::string& out, std::string_view text, const std::vector<Colour>& colours, VBBool wavy,
                 std::size_t extra = 0) {
  if (colours.empty()) return;
  const TextFacts facts = ExamineText(text);
  AppendMarkup(out, facts, SolidMarkupSize(text, facts, colours.size(), IsTrue(wavy), WavePhase()) + extra,
               IsTrue(wavy),
               [&](auto& sink, auto characters) { WalkSolid<decltype(characters)>(sink, colours, text); });
}

std::string GradientOver(const std::vector<Colour>& colours, std::string_view text, VBBool wavy) {
  std::string out;
  AppendGradient(out, colours, text, wavy);
  return out;
}

std::string GuardedGradient(const char* procedure, const std::vector<Colour>& colours, std::string_view text,
                            VBBool wavy) {
  std::string result;
  RunProcedure({kModule, procedure}, [&] { result = GradientOver(colours, text, wavy); });
  return result;
}

// The style tags around a line: "<U><I><B>" ... "</B></I></U>".
struct StyleTags {
  std::string open, close;
};

StyleTags StyleTagsFor(const FadeSettings& settings) {
  StyleTags tags;
  if (IsTrue(settings.ULine)) tags.open += "<U>";
  if (IsTrue(settings.Italic)) tags.open += "<I>";
  if (IsTrue(settings.Bold)) tags.open += "<B>";
  if (IsTrue(settings.Bold)) tags.close += "</B>";
  if (IsTrue(settings.Italic)) tags.close += "</I>";
  if (IsTrue(settings.ULine)) tags.close += "</U>";
  return tags;
}

std::vector<Colour> ColoursInUse(const FadeSettings& settings) {
  return std::vector<Colour>(settings.Colors + 1, settings.Colors + 1 + settings.FadeNumber);
}

bool InUseRange(const FadeSettings& settings) { return settings.FadeNumber >= 1 && settings.FadeNumber <= 6; }
bool RendersSolid(const FadeSettings& settings) { return IsTrue(settings.SolidFade) || settings.FadeNumber == 1; }

}  // namespace

FadeSettings& LiveFadeSettings() {
  static FadeSettings settings;
  return settings;
}

std::int16_t& WavePhase() {
  static std::int16_t phase = 0;
  return phase;
}

void SetFadeYield(FadeYield yield) { gYield = yield; }

void SetTextEncoding(TextEncoding encoding) { gEncoding = encoding; }

std::size_t CharacterLength(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  if (gEncoding == TextEncoding::Ansi) return 1;
  return Utf8Characters::Length(text.data() + pos, text.data() + text.size());
}

std::size_t WellFormedUtf8Length(std::string_view text, std::size_t pos) {
  if (pos >= text.size()) return 0;
  return Utf8SequenceLength(text.data() + pos, text.size() - pos);
}

std::vector<std::size_t> GradientRunLengths(std::size_t colourCount, std::size_t length) {
  if (colourCount < 2) return {};
  const std::size_t runs = colourCount - 1;
  std::vector<std::size_t> lengths(runs, 0);
  if (runs == 1) {
    lengths[0] = length;
  } else if (runs == 2) {
    // Half the text, rounded to even: 1 -> 0, 3 -> 2, 5 -> 2, 7 -> 4.
    lengths[0] = static_cast<std::size_t>(RoundHalfEven(static_cast<double>(length) / 2));
    lengths[1] = length - lengths[0];
  } else {
    // Dealt out one character at a time: the first `length mod runs` runs
    // get one more. The program yields once per dealing round.
    for (std::size_t run = 0; run < runs; ++run) lengths[run] = length / runs + (run < length % runs ? 1 : 0);
    if (gYield)
      for (std::size_t round = 0; round < (length + runs - 1) / runs; ++round) gYield();
  }
  return lengths;
}

std::string MakeFade(std::string_view text, int startBlue, int endBlue, int startGreen, int endGreen, int startRed,
                     int endRed, VBBool wavy) {
  std::string result;
  RunProcedure({kModule, "MakeFade"}, [&] {
    AppendGradientRun(result, text, {startRed, startGreen, startBlue}, {endRed, endGreen, endBlue}, wavy);
  });
  return result;
}

std::string FadeByColors(const std::vector<Colour>& colours, std::string_view text, VBBool wavy) {
  if (colours.size() < 2 || colours.size() > 6) RaiseError(kErrInvalidCall);
  return GuardedGradient(kGradientNames[colours.size() - 2], colours, text, wavy);
}

std::string FadeByColor2(Colour c1, Colour c2, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2}, text, wavy);
}

std::string FadeByColor3(Colour c1, Colour c2, Colour c3, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3}, text, wavy);
}

std::string FadeByColor4(Colour c1, Colour c2, Colour c3, Colour c4, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4}, text, wavy);
}

std::string FadeByColor5(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, std::string_view text, VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4, c5}, text, wavy);
}

std::string FadeByColor6(Colour c1, Colour c2, Colour c3, Colour c4, Colour c5, Colour c6, std::string_view text,
                         VBBool wavy) {
  return FadeByColors({c1, c2, c3, c4, c5, c6}, text, wavy);
}

std::string SolidByColor(std::string_view text, const std::vector<Colour>& colours, VBBool wavy) {
  std::string out;
  // A failure here ends the rendering without a report.
  SkipOnError([&] { AppendSolid(out, text, colours, wavy); });
  return out;
}

std::string RGBtoHEX(std::int32_t value) {
  std::string result;
  RunProcedure({kModule, "RGBtoHEX"}, [&] {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%X", static_cast<std::uint32_t>(value));
    result = digits;
    if (result.size() < 6) result.insert(0, 6 - result.size(), '0');
  });
  return result;
}

const std::string& FadeEngine(std::string& text) {
  RunProcedure({kModule, "FadeEngine"}, [&] {
    const FadeSettings& settings = LiveFadeSettings();
    const StyleTags styles = StyleTagsFor(settings);
    // The style tags open in front of the rendering and close after it, so the
    // whole line is written once straight into the result.
    std::string out = styles.open;
    if (InUseRange(settings)) {
      const std::vector<Colour> colours = ColoursInUse(settings);
      if (RendersSolid(settings)) {
        if (!SkipOnError([&] { AppendSolid(out, text, colours, settings.Wavy, styles.close.size()); }))
          out.resize(styles.open.size());
      } else {
        RunProcedure({kModule, kGradientNames[colours.size() - 2]},
                     [&] { AppendGradient(out, colours, text, settings.Wavy, styles.close.size()); });
      }
    } else {
      out += text;
    }
    if (out.size() == styles.open.size()) {  // the rendering is empty
      text.clear();
      return;
    }
    out += styles.close;
    text = std::move(out);
  });
  return text;
}

FadedLine FadeEngineLayout(std::string_view text) {
  const FadeSettings& settings = LiveFadeSettings();
  FadedLine line;
  line.bold = IsTrue(settings.Bold);
  line.italic = IsTrue(settings.Italic);
  line.underline = IsTrue(settings.ULine);
  const bool wavy = IsTrue(settings.Wavy);
  const auto walk = [&](auto characters) {
    using Characters = decltype(characters);
    std::int16_t& phase = WavePhase();
    LayoutSink<Characters> sink(line, text, wavy, phase);
    if (!InUseRange(settings)) {
      sink.Unchanged(text.data(), text.data() + text.size());
      return;
    }
    const std::vector<Colour> colours = ColoursInUse(settings);
    if (RendersSolid(settings)) {
      WalkSolid<Characters>(sink, colours, text);
    } else {
      const TextFacts facts = ExamineText(text);
      const std::vector<std::size_t> lengths = GradientRunLengths(colours.size(), facts.characters);
      phase = 2;
      WalkGradient<Characters>(sink, colours, lengths, text);
    }
  };
  const TextFacts facts = ExamineText(text);
  if (facts.byteCharacters)
    walk(ByteCharacters{});
  else
    walk(Utf8Characters{});
  line.empty = line.characters.empty() && !line.leadingColour;
  return line;
}

namespace {

// A piece of plain text and the byte that stands for it while it is faded.
struct Shield {
  char stand;
  std::string_view text, markup;
};
constexpr Shield kShields[] = {
    {'\x01', "<", "&lt;"}, {'\x02', ">", "&gt;"}, {'\x03', "&", "&amp;"}, {'\x04', "\r\n", "\r\n"}};

const Shield* ShieldAt(std::string_view text, std::size_t at) {
  for (const Shield& shield : kShields)
    if (text.compare(at, shield.text.size(), shield.text) == 0) return &shield;
  return nullptr;
}
const Shield* ShieldFor(char stand) {
  for (const Shield& shield : kShields)
    if (shield.stand == stand) return &shield;
  return nullptr;
}

}  // namespace

std::string ShieldPlainText(std::string_view plain) {
  std::string text;
  text.reserve(plain.size());
  for (std::size_t at = 0; at < plain.size();) {
    if (const Shield* shield = ShieldAt(plain, at)) {
      text += shield->stand;
      at += shield->text.size();
    } else {
      if (!ShieldFor(plain[at])) text += plain[at];
      ++at;
    }
  }
  return text;
}

std::string UnshieldFaded(std::string_view faded) {
  std::string markup;
  markup.reserve(faded.size() + faded.size() / 8);
  for (char c : faded) {
    if (const Shield* shield = ShieldFor(c))
      markup += shield->markup;
    else
      markup += c;
  }
  return markup;
}

std::string EscapeMarkup(std::string_view plain) {
  std::string markup;
  markup.reserve(plain.size());
  for (char c : plain) {
    if (const Shield* shield = ShieldAt(std::string_view(&c, 1), 0))
      markup += shield->markup;
    else
      markup += c;
  }
  return markup;
}

}  // namespace glimra
