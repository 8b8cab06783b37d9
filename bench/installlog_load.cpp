// Loads a synthetic install log of about 100 MB (one million file names,
// 100 000 registry keys) and compares the load with a plain read of the same
// bytes in the same run; also reports the peak of heap memory during the
// load against the file's size. Usage: installlog_bench [FILE]
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "uninstaller/installlog/uninstall_log.h"

// ---- counting allocator ------------------------------------------------------

namespace {
size_t liveBytes = 0;
size_t peakBytes = 0;

void* allocate(size_t size) {
  void* p = std::malloc(size == 0 ? 1 : size);
  if (p == nullptr) throw std::bad_alloc();
  liveBytes += malloc_usable_size(p);
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return p;
}

void release(void* p) {
  if (p == nullptr) return;
  liveBytes -= malloc_usable_size(p);
  std::free(p);
}
}  // namespace

void* operator new(size_t size) { return allocate(size); }
void* operator new[](size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, size_t) noexcept { release(p); }
void operator delete[](void* p, size_t) noexcept { release(p); }

namespace {

// ---- a disk file for the archive ------------------------------------------------

class StdioFile : public cvl::platform::File {
 public:
  StdioFile(const std::string& path, const char* mode) : file_(std::fopen(path.c_str(), mode)) {
    if (file_ == nullptr) {
      std::perror(path.c_str());
      std::exit(1);
    }
    std::fseek(file_, 0, SEEK_END);
    size_ = static_cast<uint64_t>(std::ftell(file_));
    std::fseek(file_, 0, SEEK_SET);
  }
  ~StdioFile() override { std::fclose(file_); }
  cvl::platform::Status read(void* buffer, uint32_t size, uint32_t& done) override {
    done = static_cast<uint32_t>(std::fread(buffer, 1, size, file_));
    return std::ferror(file_) ? cvl::platform::kAccessDenied : cvl::platform::kSuccess;
  }
  cvl::platform::Status write(const void* buffer, uint32_t size) override {
    return std::fwrite(buffer, 1, size, file_) == size ? cvl::platform::kSuccess : cvl::platform::kAccessDenied;
  }
  cvl::platform::Status flush() override { return std::fflush(file_) == 0 ? cvl::platform::kSuccess : cvl::platform::kAccessDenied; }
  uint64_t size() const override { return size_; }

 private:
  std::FILE* file_;
  uint64_t size_ = 0;
};

// ---- the synthetic log --------------------------------------------------------------

constexpr int kGroups = 1000;
constexpr int kFilesPerGroup = 1000;  // half directly, half in five directories
constexpr int kDirsPerGroup = 5;
constexpr int kKeysPerGroup = 100;

std::string fileName(int group, int file) {
  char name[128];
  std::snprintf(name, sizeof name, "component_%04d_module_%06d_extension_handler_resources_localised_%04d_release_build.dll", group,
                file, file % 977);
  return name;
}

void fillGroup(cvl::CFilegroup& group, int index) {
  group.setName("GROUP" + std::to_string(index));
  group.setShared(index % 3 == 0);
  group.auxMap().assign("Target", "C:\\Program Files\\Corvel\\Component" + std::to_string(index));
  for (int f = 0; f < kFilesPerGroup / 2; ++f) group.files().push_back(fileName(index, f));
  group.setFileCount(static_cast<int32_t>(group.files().size()));
  cvl::CDir* dir = &group.makeRootDir();
  int file = kFilesPerGroup / 2;
  for (int d = 0; d < kDirsPerGroup; ++d) {
    if (d > 0) dir = d == 2 ? &dir->makeFirstChild() : &dir->makeNextSibling();
    dir->setOwnName("Directory" + std::to_string(d));
    for (int f = 0; f < kFilesPerGroup / 2 / kDirsPerGroup; ++f) dir->files().push_back(fileName(index, file++));
    dir->setFileCount(static_cast<int32_t>(dir->files().size()));
  }
  for (int k = 0; k < kKeysPerGroup; ++k) {
    const std::string key = "HKLM\\Software\\Corvel\\Components\\Group" + std::to_string(index) + "\\Key" + std::to_string(k);
    group.registry().keys().assign(key, {"(Default)=Corvel component", "Path=C:\\Program Files\\Corvel\\" + std::to_string(k),
                                         "Version=4.0." + std::to_string(k)});
  }
  group.shellObjects().items() = {"1:Programs\\Corvel\\Component " + std::to_string(index) + ".lnk"};
  group.shellObjects().setItemCount(1);
}

void writeLog(const std::string& path) {
  StdioFile file(path, "wb");
  cvl::Archive archive(file, cvl::Archive::Direction::Storing);
  archive.writeString(cvl::kLogHeader);
  archive.writeU32(cvl::kLogVersion);
  archive.writeU32(kGroups);
  for (int g = 0; g < kGroups; ++g) {
    cvl::CFilegroup group;
    fillGroup(group, g);
    group.serialize(archive);
  }
  archive.close();
}

// ---- measurements ----------------------------------------------------------------------

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

double plainRead(const std::string& path) {
  const auto start = std::chrono::steady_clock::now();
  StdioFile file(path, "rb");
  static uint8_t buffer[cvl::Archive::kBufferSize];
  uint32_t done = 0;
  uint64_t total = 0;
  do {
    file.read(buffer, sizeof buffer, done);
    total += done;
  } while (done > 0);
  if (total != file.size()) std::abort();
  return seconds(std::chrono::steady_clock::now() - start);
}

struct Load {
  double seconds = 0;
  size_t peakBytes = 0;
};

Load load(const std::string& path) {
  Load result;
  auto log = std::make_unique<cvl::CUninstallLog>();
  const size_t before = liveBytes;
  peakBytes = liveBytes;
  const auto start = std::chrono::steady_clock::now();
  {
    StdioFile file(path, "rb");
    cvl::Archive archive(file, cvl::Archive::Direction::Loading);
    log->serialize(archive);
  }
  result.seconds = seconds(std::chrono::steady_clock::now() - start);
  result.peakBytes = peakBytes - before;
  if (log->groups().size() != kGroups || log->findFileGroup("group999") == nullptr) std::abort();
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "/tmp/cvl-bench-cvlinst.log";
  writeLog(path);
  const double megabytes = static_cast<double>(StdioFile(path, "rb").size()) / 1e6;
  std::printf("install log: %.1f MB, %d groups, %d file names, %d registry keys\n", megabytes, kGroups,
              kGroups * kFilesPerGroup, kGroups * kKeysPerGroup);

  plainRead(path);  // warm the page cache
  double read = 1e9;
  Load best{1e9, 0};
  for (int round = 0; round < 3; ++round) {
    read = std::min(read, plainRead(path));
    const Load l = load(path);
    if (l.seconds < best.seconds) best.seconds = l.seconds;
    best.peakBytes = std::max(best.peakBytes, l.peakBytes);
  }
  std::printf("plain read (4096-byte reads): %.1f ms, %.0f MB/s\n", read * 1e3, megabytes / read);
  std::printf("load: %.1f ms, %.0f MB/s\n", best.seconds * 1e3, megabytes / best.seconds);
  std::printf("ratio load / plain read: %.2f (target at most 5)\n", best.seconds / read);
  std::printf("peak heap during load: %.1f MB, %.2f x file size (target at most 3)\n", best.peakBytes / 1e6,
              best.peakBytes / 1e6 / megabytes);
  std::remove(path.c_str());
  return 0;
}
