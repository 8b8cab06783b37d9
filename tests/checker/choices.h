#pragma once
// Where the generator's decisions come from: a seeded random source for the
// test batch, or the bytes of a fuzz input.
#include <cstddef>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace cvl::checker {

class Choices {
 public:
  virtual ~Choices() = default;
  // A number in 0 .. count-1 (0 when count is 0).
  virtual uint32_t below(uint32_t count) = 0;

  // 0 is always the plain case: no to "percent", the first of "pick".
  bool percent(uint32_t chance) { return below(100) >= 100 - chance; }
  template <class T>
  const T& pick(const std::vector<T>& options) {
    return options[below(static_cast<uint32_t>(options.size()))];
  }
};

class SeededChoices : public Choices {
 public:
  explicit SeededChoices(uint32_t seed) : random_(seed) {}
  uint32_t below(uint32_t count) override {
    return count == 0 ? 0 : std::uniform_int_distribution<uint32_t>(0, count - 1)(random_);
  }

 private:
  std::mt19937 random_;
};

// Each decision takes one byte; an exhausted input answers 0, which the
// generator reads as "the plain case", so short inputs give small machines.
class ByteChoices : public Choices {
 public:
  ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint32_t below(uint32_t count) override {
    if (count == 0 || at_ >= size_) return 0;
    return data_[at_++] % count;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

}  // namespace cvl::checker
