// Takes a fuzzer's bytes apart: numbers and flags from the front, the rest
// as text. Running out of bytes gives zeros, so every input is usable.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace glimra::fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  template <class T>
  T Take() {
    T value{};
    const std::size_t n = sizeof(T) < size_ ? sizeof(T) : size_;
    std::memcpy(&value, data_, n);
    data_ += n;
    size_ -= n;
    return value;
  }
  bool Flag() { return (Take<std::uint8_t>() & 1) != 0; }
  // The text up to the next `separator` (or the end), which is consumed.
  std::string TakeUntil(char separator) {
    const std::string_view rest = Rest();
    const std::size_t at = rest.find(separator);
    const std::string piece(rest.substr(0, at));
    const std::size_t used = at == std::string_view::npos ? rest.size() : at + 1;
    data_ += used;
    size_ -= used;
    return piece;
  }
  std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }
  bool Empty() const { return size_ == 0; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

// A broken rule: abort, so the fuzzer keeps the input.
inline void Require(bool holds) {
  if (!holds) __builtin_trap();
}

}  // namespace glimra::fuzz
