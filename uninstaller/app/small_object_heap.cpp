// The uninstaller's global operator new and delete.
//
// Start-up builds hundreds of thousands of short strings from the install
// log. The C runtime's heap spends about a tenth of a microsecond on each
// block under Wine, a third of the log's loading time; blocks of up to 256
// bytes therefore come from free lists carved out of large chunks, and only
// larger ones go to malloc. Small blocks are kept for reuse, never returned:
// the program is short-lived and frees its catalogue and log at the end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

constexpr size_t kAlignment = __STDCPP_DEFAULT_NEW_ALIGNMENT__;
// Each block starts with a header as large as the alignment, so payloads
// stay aligned and delete learns the block's class without a lookup.
constexpr size_t kHeaderBytes = kAlignment;
constexpr size_t kSizeClasses = 256 / kAlignment;
constexpr size_t kChunkBytes = 256 * 1024;
constexpr uint32_t kLargeBlock = 0;

struct Header {
  uint32_t sizeClass;  // 1..kSizeClasses, or kLargeBlock
  void* allocation;    // what malloc returned, for large blocks
};
static_assert(sizeof(Header) <= kHeaderBytes);

struct FreeBlock {
  FreeBlock* next;
};

size_t alignUp(size_t value) { return (value + kAlignment - 1) & ~(kAlignment - 1); }

class SmallObjectHeap {
 public:
  void* allocate(size_t size) {
    if (size > kSizeClasses * kAlignment) return allocateLarge(size);
    const size_t sizeClass = size == 0 ? 1 : alignUp(size) / kAlignment;
    char* block = takeBlock(sizeClass);
    if (block == nullptr) return nullptr;
    return withHeader(block, static_cast<uint32_t>(sizeClass), nullptr);
  }

  void release(void* payload) {
    char* block = static_cast<char*>(payload) - kHeaderBytes;
    // Copied out: the free-list link is written over the header.
    const Header header = *reinterpret_cast<const Header*>(block);
    if (header.sizeClass == kLargeBlock) {
      std::free(header.allocation);
      return;
    }
    std::lock_guard<std::mutex> guard(lock_);
    auto* freed = reinterpret_cast<FreeBlock*>(block);
    freed->next = freeLists_[header.sizeClass - 1];
    freeLists_[header.sizeClass - 1] = freed;
  }

 private:
  static void* withHeader(char* block, uint32_t sizeClass, void* allocation) {
    *reinterpret_cast<Header*>(block) = Header{sizeClass, allocation};
    return block + kHeaderBytes;
  }

  static void* allocateLarge(size_t size) {
    if (size > SIZE_MAX - kHeaderBytes - kAlignment) return nullptr;
    void* allocation = std::malloc(size + kHeaderBytes + kAlignment);
    if (allocation == nullptr) return nullptr;
    char* block = reinterpret_cast<char*>(alignUp(reinterpret_cast<uintptr_t>(allocation)));
    return withHeader(block, kLargeBlock, allocation);
  }

  char* takeBlock(size_t sizeClass) {
    std::lock_guard<std::mutex> guard(lock_);
    if (FreeBlock* reused = freeLists_[sizeClass - 1]) {
      freeLists_[sizeClass - 1] = reused->next;
      return reinterpret_cast<char*>(reused);
    }
    const size_t blockBytes = kHeaderBytes + sizeClass * kAlignment;
    if (chunkLeft_ < blockBytes && !newChunk()) return nullptr;
    char* block = chunkNext_;
    chunkNext_ += blockBytes;
    chunkLeft_ -= blockBytes;
    return block;
  }

  // The tail of the previous chunk, too small for this block, stays unused.
  bool newChunk() {
    void* chunk = std::malloc(kChunkBytes + kAlignment);
    if (chunk == nullptr) return false;
    chunkNext_ = reinterpret_cast<char*>(alignUp(reinterpret_cast<uintptr_t>(chunk)));
    chunkLeft_ = kChunkBytes;
    return true;
  }

  std::mutex lock_;
  FreeBlock* freeLists_[kSizeClasses] = {};
  char* chunkNext_ = nullptr;
  size_t chunkLeft_ = 0;
};

// Built in place and never destroyed: blocks are freed during and after the
// destruction of other statics.
SmallObjectHeap& heap() {
  alignas(SmallObjectHeap) static unsigned char storage[sizeof(SmallObjectHeap)];
  static SmallObjectHeap* instance = new (storage) SmallObjectHeap;
  return *instance;
}

}  // namespace

void* operator new(size_t size) {
  for (;;) {
    if (void* payload = heap().allocate(size)) return payload;
    std::new_handler handler = std::get_new_handler();
    if (handler == nullptr) throw std::bad_alloc();
    handler();
  }
}

void operator delete(void* payload) noexcept {
  if (payload != nullptr) heap().release(payload);
}

void operator delete(void* payload, size_t) noexcept { operator delete(payload); }
