#include "acquire/store/summary_rows.h"

#include <array>
#include <bit>
#include <cstdint>

namespace tarvelo {

namespace {

constexpr std::array kCounts{&DayTotals::battles, &DayTotals::wins,     &DayTotals::damage,
                             &DayTotals::frags,   &DayTotals::spotted,  &DayTotals::xp,
                             &DayTotals::survived, &DayTotals::dropped, &DayTotals::capture};
constexpr std::array kRatings{&DayTotals::wn8, &DayTotals::eff};
constexpr std::array kExpected{&RatingSums::exp_damage, &RatingSums::exp_frags, &RatingSums::exp_spotted,
                               &RatingSums::exp_dropped, &RatingSums::exp_wins};
constexpr std::array kRated{&RatingSums::rated_battles, &RatingSums::rated_damage, &RatingSums::rated_frags,
                            &RatingSums::rated_spotted, &RatingSums::rated_dropped, &RatingSums::rated_wins};

class Writer {
 public:
  void Integer(int64_t value) {  // zigzag, then 7 bits a byte
    uint64_t bits = (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63);
    while (bits >= 0x80) {
      bytes_.push_back(static_cast<char>((bits & 0x7f) | 0x80));
      bits >>= 7;
    }
    bytes_.push_back(static_cast<char>(bits));
  }
  void Single(double value) {
    const uint32_t bits = std::bit_cast<uint32_t>(static_cast<float>(value));
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<char>(bits >> shift));
  }
  void Bytes(std::string_view bytes) { bytes_ += bytes; }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  int64_t Integer() {
    uint64_t bits = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ >= bytes_.size()) return Fail();
      const auto byte = static_cast<uint8_t>(bytes_[at_++]);
      bits |= static_cast<uint64_t>(byte & 0x7f) << shift;
      if ((byte & 0x80) == 0) return static_cast<int64_t>(bits >> 1) ^ -static_cast<int64_t>(bits & 1);
    }
    return Fail();
  }
  double Single() { return std::bit_cast<float>(static_cast<uint32_t>(Fixed(4))); }
  std::string_view Bytes(size_t length) {
    if (bytes_.size() - at_ < length) return Fail(), std::string_view();
    at_ += length;
    return bytes_.substr(at_ - length, length);
  }
  bool done() const { return at_ == bytes_.size(); }
  bool whole() const { return ok_ && at_ == bytes_.size(); }

 private:
  uint64_t Fixed(size_t length) {
    if (bytes_.size() - at_ < length) return Fail();
    uint64_t bits = 0;
    for (size_t i = 0; i < length; ++i) bits |= static_cast<uint64_t>(static_cast<uint8_t>(bytes_[at_++])) << (8 * i);
    return bits;
  }
  int64_t Fail() {
    ok_ = false;
    at_ = bytes_.size();
    return 0;
  }

  std::string_view bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

// The first byte: the layout's version and whether there is a step.
constexpr int kLayout = 1;

void WriteTotals(Writer& out, const DayTotals& totals) {
  for (auto count : kCounts) out.Integer(totals.*count);
  for (auto rating : kRatings) out.Single(totals.*rating);
}

void ReadTotals(Reader& in, DayTotals& totals) {
  for (auto count : kCounts) totals.*count = in.Integer();
  for (auto rating : kRatings) totals.*rating = in.Single();
}

}  // namespace

std::string EncodeModeDay(const ModeDay& day) {
  Writer out;
  out.Integer(kLayout * 2 + (day.has_step ? 1 : 0));
  out.Integer(day.mode);
  WriteTotals(out, day.total);
  if (day.has_step) {
    WriteTotals(out, day.step);
    for (auto expected : kExpected) out.Single(day.sums.*expected);
    for (auto rated : kRated) out.Integer(day.sums.*rated);
    // The battles' average tier, a single as the step's rating has it.
    out.Single(day.step.battles != 0 ? day.sums.tier_battles / static_cast<double>(day.step.battles) : 0);
  }
  return out.Take();
}

std::optional<ModeDay> DecodeModeDay(std::string_view bytes) {
  Reader in(bytes);
  const int64_t head = in.Integer();
  if (head / 2 != kLayout) return std::nullopt;
  ModeDay day;
  day.has_step = head % 2 == 1;
  day.mode = static_cast<int>(in.Integer());
  ReadTotals(in, day.total);
  if (day.has_step) {
    ReadTotals(in, day.step);
    for (auto expected : kExpected) day.sums.*expected = in.Single();
    for (auto rated : kRated) day.sums.*rated = in.Integer();
    day.sums.tier_battles = in.Single() * static_cast<double>(day.step.battles);
  }
  if (!in.whole() || day.mode < 0 || day.mode >= kModeCount) return std::nullopt;
  return day;
}

std::string EncodeDaySummary(const DaySummary& summary) {
  Writer out;
  for (const ModeDay& mode : summary) {
    const std::string bytes = EncodeModeDay(mode);
    out.Integer(static_cast<int64_t>(bytes.size()));
    out.Bytes(bytes);
  }
  return out.Take();
}

std::optional<DaySummary> DecodeDaySummary(std::string_view bytes) {
  Reader in(bytes);
  DaySummary summary;
  while (!in.done()) {
    const int64_t length = in.Integer();
    if (length <= 0 || static_cast<uint64_t>(length) > bytes.size()) return std::nullopt;
    std::optional<ModeDay> mode = DecodeModeDay(in.Bytes(static_cast<size_t>(length)));
    if (!mode) return std::nullopt;
    summary.push_back(std::move(*mode));
  }
  if (!in.whole()) return std::nullopt;
  return summary;
}

}  // namespace tarvelo
