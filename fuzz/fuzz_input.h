// Reads typed values off the front of a fuzzer's byte string; an exhausted input reads as zeros.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

class FuzzInput {
 public:
  FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool empty() const { return size_ == 0; }

  // The next byte, or 0 when none is left.
  uint8_t Byte() {
    if (size_ == 0) return 0;
    --size_;
    return *data_++;
  }

  // The next eight bytes as a double, every bit pattern allowed (NaN, infinities, subnormals);
  // fallback when fewer than eight are left.
  double Double(double fallback) {
    if (size_ < sizeof(double)) return fallback;
    double value;
    std::memcpy(&value, data_, sizeof value);
    data_ += sizeof value;
    size_ -= sizeof value;
    return value;
  }

  // The bytes up to the next NUL (which is consumed) or the end of the input.
  std::string Text() {
    if (size_ == 0) return std::string();
    const void* nul = std::memchr(data_, 0, size_);
    const std::size_t length =
        nul ? static_cast<std::size_t>(static_cast<const uint8_t*>(nul) - data_) : size_;
    std::string text(reinterpret_cast<const char*>(data_), length);
    const std::size_t used = nul ? length + 1 : length;
    data_ += used;
    size_ -= used;
    return text;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
};

// Stops the run with a message when an invariant does not hold, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                               \
  do {                                                                                      \
    if (!(condition)) {                                                                     \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                         \
    }                                                                                       \
  } while (0)
