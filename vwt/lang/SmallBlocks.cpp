#include "vwt/lang/SmallBlocks.h"

#include <cstring>
#include <mutex>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VWT_POOL_BLOCKS 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VWT_POOL_BLOCKS 0
#endif
#endif
#ifndef VWT_POOL_BLOCKS
#define VWT_POOL_BLOCKS 1
#endif

#if VWT_POOL_BLOCKS

namespace {

constexpr size_t GRAIN = 16;
constexpr int CLASSES = SmallBlocks::MAX_SIZE / GRAIN;
constexpr int BATCH = 512;          // blocks moved between a thread and the stock at a time
constexpr size_t SLAB = 64 * 1024;  // bytes fetched from operator new at a time

// Free blocks are kept as arrays of addresses, not chained through the
// blocks: a freed block is cold by the time it is reused, and reading a link
// out of it would wait on memory at every allocation.
struct Batch {
  void** blocks;  // count entries, owned
  int count;
};

// The shared stock of one size class.
struct Stock {
  std::mutex mutex;
  std::vector<Batch> batches;
};

// The stocks and the slabs live as long as the process: objects may be freed
// during static destruction.
Stock* stocks() {
  static Stock* all = new Stock[CLASSES];
  return all;
}

void keepSlab(void* slab) {
  static std::mutex* mutex = new std::mutex;
  static std::vector<void*>* slabs = new std::vector<void*>;
  std::lock_guard<std::mutex> g(*mutex);
  slabs->push_back(slab);
}

void giveToStock(int k, void** blocks, int count) {
  void** copy = new void*[count];
  memcpy(copy, blocks, count * sizeof(void*));
  Stock& s = stocks()[k];
  std::lock_guard<std::mutex> g(s.mutex);
  s.batches.push_back(Batch{copy, count});
}

// A thread's own free blocks, up to two batches per class. Plain data, so it
// needs no construction and stays usable while the thread's other objects
// are destroyed.
struct Cache {
  void** blocks[CLASSES];  // owned, 2 * BATCH entries each; made on first use
  int count[CLASSES];
  bool flushOnExit;  // the Flusher below is set up
  bool gone;         // flushed at thread exit: release straight to the stock
};

thread_local Cache cache __attribute__((tls_model("initial-exec")));

// Hands a thread's free blocks to the stock when the thread ends, so that
// a worker's freed pages are not lost with it.
struct Flusher {
  ~Flusher() {
    Cache& c = cache;
    c.gone = true;
    for (int k = 0; k < CLASSES; ++k) {
      for (int from = 0; from < c.count[k]; from += BATCH) {
        int n = c.count[k] - from < BATCH ? c.count[k] - from : BATCH;
        giveToStock(k, c.blocks[k] + from, n);
      }
      delete[] c.blocks[k];
      c.blocks[k] = nullptr;
      c.count[k] = 0;
    }
  }
};

thread_local Flusher flusher;

// Gives a thread its list for class k, and the flush at its end.
void makeList(Cache& c, int k) {
  if (!c.flushOnExit) {
    c.flushOnExit = true;
    (void)&flusher;  // registers the thread-exit flush
  }
  c.blocks[k] = new void*[2 * BATCH];
}

// Refills an empty class: a batch from the stock, else a new slab.
void refill(Cache& c, int k) {
  if (!c.blocks[k]) makeList(c, k);
  Stock& s = stocks()[k];
  Batch batch{nullptr, 0};
  {
    std::lock_guard<std::mutex> g(s.mutex);
    if (!s.batches.empty()) {
      batch = s.batches.back();
      s.batches.pop_back();
    }
  }
  if (batch.blocks) {
    memcpy(c.blocks[k], batch.blocks, batch.count * sizeof(void*));
    c.count[k] = batch.count;
    delete[] batch.blocks;
    return;
  }
  size_t size = (k + 1) * GRAIN;
  char* slab = static_cast<char*>(::operator new(SLAB));
  keepSlab(slab);
  int n = static_cast<int>(SLAB / size);
  int kept = n < BATCH ? n : BATCH;
  // Highest first, so that allocation walks the slab upwards.
  for (int i = 0; i < kept; ++i) c.blocks[k][i] = slab + (kept - 1 - i) * size;
  c.count[k] = kept;
  void* rest[BATCH];
  for (int from = kept; from < n; from += BATCH) {
    int m = n - from < BATCH ? n - from : BATCH;
    for (int i = 0; i < m; ++i) rest[i] = slab + (from + m - 1 - i) * size;
    giveToStock(k, rest, m);
  }
}

// Sizes 1..MAX_SIZE: class (size - 1) / 16. Zero wraps round and, like
// larger sizes, goes to operator new.
inline bool pooled(size_t size) { return size - 1 < SmallBlocks::MAX_SIZE; }

// Refills an empty class and allocates from it; out of line, so that the
// common path saves no registers.
__attribute__((noinline)) void* allocateAfterRefill(int k) {
  Cache& c = cache;
  refill(c, k);
  return c.blocks[k][--c.count[k]];
}

__attribute__((noinline)) void releaseSlowly(void* block, int k) {
  Cache& c = cache;
  if (c.gone) {
    giveToStock(k, &block, 1);
    return;
  }
  if (!c.blocks[k]) {
    makeList(c, k);  // a thread that only frees must flush at its end too
  } else {
    c.count[k] -= BATCH;  // the list is full: the newer half goes to the stock
    giveToStock(k, c.blocks[k] + c.count[k], BATCH);
  }
  c.blocks[k][c.count[k]++] = block;
}

}  // namespace

void* SmallBlocks::allocate(size_t size) {
  if (!pooled(size)) return ::operator new(size);
  int k = static_cast<int>((size - 1) / GRAIN);
  Cache& c = cache;
  int n = c.count[k];
  if (n == 0) return allocateAfterRefill(k);
  void** blocks = c.blocks[k];
  c.count[k] = --n;
  if (n > 1) {
    // Blocks of this size about to be handed out are likely cold: start
    // fetching the one after next, so that its object's constructor does
    // not wait on memory.
    char* next = static_cast<char*>(blocks[n - 2]);
    __builtin_prefetch(next, 1);
    if (size > 64) __builtin_prefetch(next + 64, 1);
    if (size > 128) __builtin_prefetch(next + 128, 1);
  }
  return blocks[n];
}

bool SmallBlocks::isPooling() { return true; }

void SmallBlocks::release(void* block, size_t size) {
  if (!block) return;
  if (!pooled(size)) {
    ::operator delete(block);
    return;
  }
  int k = static_cast<int>((size - 1) / GRAIN);
  Cache& c = cache;
  int n = c.count[k];
  if (n == 2 * BATCH || !c.blocks[k] || c.gone) return releaseSlowly(block, k);
  c.blocks[k][n] = block;
  c.count[k] = n + 1;
}

#else

void* SmallBlocks::allocate(size_t size) { return ::operator new(size); }

void SmallBlocks::release(void* block, size_t) { ::operator delete(block); }

bool SmallBlocks::isPooling() { return false; }

#endif
