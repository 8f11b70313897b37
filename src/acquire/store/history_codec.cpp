#include "acquire/store/history_codec.h"

#define XXH_INLINE_ALL
#include <xxhash.h>
#include <zstd.h>

#include <algorithm>
#include <memory>

namespace tarvelo {

namespace {

struct CompressorDeleter {
  void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};

// The window that covers the reference and the text, so that the text can
// copy from anywhere in the reference.
int WindowLog(size_t reference, size_t text) {
  constexpr int kSmallest = 10;
  constexpr int kLargest = 30;
  int log = kSmallest;
  while (log < kLargest && (size_t{1} << log) < reference + text) ++log;
  return log;
}

}  // namespace

std::string CompressDay(std::string_view text, std::string_view reference, int level) {
  const std::unique_ptr<ZSTD_CCtx, CompressorDeleter> context(ZSTD_createCCtx());
  if (!context) return {};
  ZSTD_CCtx* c = context.get();
  ZSTD_CCtx_setParameter(c, ZSTD_c_compressionLevel, level);
  ZSTD_CCtx_setParameter(c, ZSTD_c_checksumFlag, 0);
  ZSTD_CCtx_setParameter(c, ZSTD_c_contentSizeFlag, 1);
  ZSTD_CCtx_setParameter(c, ZSTD_c_windowLog, WindowLog(reference.size(), text.size()));
  if (!reference.empty()) {
    // Long matches into the reference are what a day shares with the day before.
    ZSTD_CCtx_setParameter(c, ZSTD_c_enableLongDistanceMatching, 1);
    if (ZSTD_isError(ZSTD_CCtx_refPrefix(c, reference.data(), reference.size()))) return {};
  }
  std::string frame(ZSTD_compressBound(text.size()), '\0');
  const size_t size = ZSTD_compress2(c, frame.data(), frame.size(), text.data(), text.size());
  if (ZSTD_isError(size)) return {};
  frame.resize(size);
  return frame;
}

DayDecompressor::DayDecompressor() : context_(ZSTD_createDCtx()) {}

DayDecompressor::~DayDecompressor() { ZSTD_freeDCtx(context_); }

bool DayDecompressor::Into(std::string& text, std::string_view frame, std::string_view reference,
                           size_t raw_length) {
  ZSTD_DCtx* d = context_;
  if (d == nullptr) return false;
  ZSTD_DCtx_reset(d, ZSTD_reset_session_and_parameters);
  ZSTD_DCtx_setParameter(d, ZSTD_d_windowLogMax, WindowLog(reference.size(), raw_length));
  if (!reference.empty() && ZSTD_isError(ZSTD_DCtx_refPrefix(d, reference.data(), reference.size()))) return false;
  text.resize(raw_length);
  const size_t size = ZSTD_decompressDCtx(d, text.data(), text.size(), frame.data(), frame.size());
  return !ZSTD_isError(size) && size == raw_length;
}

std::optional<std::string> DecompressDay(std::string_view frame, std::string_view reference, size_t raw_length) {
  std::string text;
  if (!DayDecompressor().Into(text, frame, reference, raw_length)) return std::nullopt;
  return text;
}

uint64_t DayHash(std::string_view text) { return XXH3_64bits(text.data(), text.size()); }

}  // namespace tarvelo
