// The program's operator new and delete, linked into this test program, so
// GoogleTest itself runs on them too.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

// Kept in a volatile so the compiler cannot drop an allocation it sees unused.
void allocateAndFree(size_t size) {
  volatile size_t asked = size;
  void* volatile block = ::operator new(asked);
  ::operator delete(block);
}

TEST(SmallObjectHeap, BlocksOfEverySizeAreAlignedAndKeepTheirBytes) {
  std::vector<std::pair<unsigned char*, size_t>> blocks;
  for (size_t size = 0; size <= 1100; ++size) {
    auto* block = static_cast<unsigned char*>(::operator new(size));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kAlignment, 0u) << size;
    std::memset(block, static_cast<int>(size & 0xFF), size);
    blocks.emplace_back(block, size);
  }
  for (const auto& [block, size] : blocks) {
    for (size_t i = 0; i < size; ++i) ASSERT_EQ(block[i], size & 0xFF) << "size " << size << " byte " << i;
  }
  for (const auto& [block, size] : blocks) ::operator delete(block);
}

TEST(SmallObjectHeap, FreedSmallBlocksAreReused) {
  void* first = ::operator new(40);
  ::operator delete(first);
  void* second = ::operator new(33);  // same class once rounded up
  EXPECT_EQ(first, second);
  ::operator delete(second);
}

int handlerCalls = 0;

// The handler removes itself, so the second attempt fails as one without it.
TEST(SmallObjectHeap, ImpossibleSizesAskTheNewHandlerOnceThenFailWithBadAlloc) {
  handlerCalls = 0;
  std::set_new_handler([] {
    ++handlerCalls;
    std::set_new_handler(nullptr);
  });
  EXPECT_THROW(allocateAndFree(SIZE_MAX), std::bad_alloc);
  EXPECT_EQ(handlerCalls, 1);
  EXPECT_THROW(allocateAndFree(SIZE_MAX - 8), std::bad_alloc);
}

TEST(SmallObjectHeap, ThreadsShareItSafely) {
  auto churn = [](int seed, bool* intact) {
    std::vector<std::unique_ptr<std::string>> held;
    for (int round = 0; round < 20000; ++round) {
      const size_t length = static_cast<size_t>((seed * 7919 + round * 31) % 300);
      held.push_back(std::make_unique<std::string>(length, static_cast<char>('a' + seed)));
      if (held.size() > 64) {
        const std::string& oldest = *held.front();
        if (oldest.find_first_not_of(static_cast<char>('a' + seed)) != std::string::npos) *intact = false;
        held.erase(held.begin());
      }
    }
  };
  bool intact[4] = {true, true, true, true};
  std::vector<std::thread> threads;
  for (int seed = 0; seed < 4; ++seed) threads.emplace_back(churn, seed, &intact[seed]);
  for (std::thread& thread : threads) thread.join();
  for (bool each : intact) EXPECT_TRUE(each);
}

}  // namespace
