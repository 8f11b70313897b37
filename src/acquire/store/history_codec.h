// How a stored day's text is kept in the history archive: compressed alone (a
// key frame) or against the text of an earlier day of the same account (a
// delta, which costs little when the days differ in a few vehicles), with a
// hash that tells a damaged row from a whole one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct ZSTD_DCtx_s;

namespace tarvelo {

// The levels of zstd, chosen by bench/history_bench: a delta at a mid level
// costs a few milliseconds; key frames are rare and worth a higher one.
inline constexpr int kDeltaLevel = 12;
inline constexpr int kKeyFrameLevel = 19;

// `text` compressed against `reference` (empty: alone). Empty on failure.
std::string CompressDay(std::string_view text, std::string_view reference, int level);

// The text of a frame made by CompressDay with the same reference; nothing
// when the frame is damaged or its text is not `raw_length` bytes long.
std::optional<std::string> DecompressDay(std::string_view frame, std::string_view reference, size_t raw_length);

// The same for the frames of a chain, one after another, with one context.
class DayDecompressor {
 public:
  DayDecompressor();
  ~DayDecompressor();
  DayDecompressor(const DayDecompressor&) = delete;
  DayDecompressor& operator=(const DayDecompressor&) = delete;
  // Into `text`, whose room is used again; false when the frame does not decode.
  bool Into(std::string& text, std::string_view frame, std::string_view reference, size_t raw_length);

 private:
  ZSTD_DCtx_s* context_;
};

// The hash of a day's text the archive keeps beside it.
uint64_t DayHash(std::string_view text);

}  // namespace tarvelo
