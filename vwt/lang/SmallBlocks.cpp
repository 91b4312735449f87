#include "vwt/lang/SmallBlocks.h"

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

constexpr size_t kGrain = 16;
constexpr int kClasses = SmallBlocks::MAX_SIZE / kGrain;
constexpr int kBatch = 512;          // blocks moved between a thread and the stock at a time
constexpr size_t kSlab = 64 * 1024;  // bytes fetched from operator new at a time

struct Node {
  Node* next;
};

// The shared stock of one size class: whole batches of free blocks.
struct Stock {
  std::mutex mutex;
  std::vector<Node*> batches;  // each a chain of kBatch blocks
};

// The stocks and the slabs live as long as the process: objects may be freed
// during static destruction.
Stock* stocks() {
  static Stock* all = new Stock[kClasses];
  return all;
}

void keepSlab(void* slab) {
  static std::mutex* mutex = new std::mutex;
  static std::vector<void*>* slabs = new std::vector<void*>;
  std::lock_guard<std::mutex> g(*mutex);
  slabs->push_back(slab);
}

// A thread's own free lists. Plain data, so it needs no construction and
// stays usable while the thread's other objects are destroyed.
struct Cache {
  Node* head[kClasses];
  int count[kClasses];
  bool flushOnExit;  // the Flusher below is set up
  bool gone;         // flushed at thread exit: release straight to the stock
};

thread_local Cache cache __attribute__((tls_model("initial-exec")));

int classOf(size_t size) { return size == 0 ? 0 : static_cast<int>((size - 1) / kGrain); }

// Detaches up to kBatch blocks from the front of a thread's list.
Node* takeBatch(Cache& c, int k) {
  Node* first = c.head[k];
  Node* last = first;
  for (int i = 1; i < kBatch; ++i) last = last->next;
  c.head[k] = last->next;
  last->next = nullptr;
  c.count[k] -= kBatch;
  return first;
}

void giveToStock(int k, Node* batch) {
  Stock& s = stocks()[k];
  std::lock_guard<std::mutex> g(s.mutex);
  s.batches.push_back(batch);
}

// Hands a thread's free blocks to the stock when the thread ends, so that
// a worker's freed pages are not lost with it.
struct Flusher {
  ~Flusher() {
    Cache& c = cache;
    c.gone = true;
    for (int k = 0; k < kClasses; ++k) {
      while (c.count[k] >= kBatch) giveToStock(k, takeBatch(c, k));
      // The remainder, fewer than a batch, goes as a short chain; refills
      // take chains of any length.
      if (c.head[k]) {
        giveToStock(k, c.head[k]);
        c.head[k] = nullptr;
        c.count[k] = 0;
      }
    }
  }
};

thread_local Flusher flusher;

// Refills an empty list: a batch from the stock, else a new slab.
void refill(Cache& c, int k) {
  if (!c.flushOnExit) {
    c.flushOnExit = true;
    (void)&flusher;  // registers the thread-exit flush
  }
  Stock& s = stocks()[k];
  {
    std::lock_guard<std::mutex> g(s.mutex);
    if (!s.batches.empty()) {
      Node* batch = s.batches.back();
      s.batches.pop_back();
      int n = 0;
      for (Node* p = batch; p; p = p->next) ++n;
      c.head[k] = batch;
      c.count[k] = n;
      return;
    }
  }
  size_t size = (k + 1) * kGrain;
  char* slab = static_cast<char*>(::operator new(kSlab));
  keepSlab(slab);
  int n = static_cast<int>(kSlab / size);
  Node* head = nullptr;
  for (int i = n - 1; i >= 0; --i) {
    Node* p = reinterpret_cast<Node*>(slab + i * size);
    p->next = head;
    head = p;
  }
  c.head[k] = head;
  c.count[k] = n;
}

}  // namespace

void* SmallBlocks::allocate(size_t size) {
  if (size > MAX_SIZE) return ::operator new(size);
  Cache& c = cache;
  int k = classOf(size);
  if (!c.head[k]) refill(c, k);
  Node* p = c.head[k];
  c.head[k] = p->next;
  --c.count[k];
  // Blocks freed long ago are cold: start fetching the next one now, so the
  // next allocation of this size does not wait for memory.
  __builtin_prefetch(c.head[k], 1);
  return p;
}

void SmallBlocks::release(void* block, size_t size) {
  if (!block) return;
  if (size > MAX_SIZE) {
    ::operator delete(block);
    return;
  }
  Cache& c = cache;
  int k = classOf(size);
  Node* p = static_cast<Node*>(block);
  if (c.gone) {
    p->next = nullptr;
    giveToStock(k, p);
    return;
  }
  p->next = c.head[k];
  c.head[k] = p;
  if (++c.count[k] >= 2 * kBatch) giveToStock(k, takeBatch(c, k));
}

#else

void* SmallBlocks::allocate(size_t size) { return ::operator new(size); }

void SmallBlocks::release(void* block, size_t) { ::operator delete(block); }

#endif
