#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <set>
#include <thread>
#include <vector>

#include "vwt/lang/Integer.h"
#include "vwt/lang/SmallBlocks.h"

namespace {

struct Block {
  unsigned char* at;
  size_t size;
  unsigned char mark;
};

void fill(const Block& b) { memset(b.at, b.mark, b.size); }

bool intact(const Block& b) {
  for (size_t i = 0; i < b.size; ++i)
    if (b.at[i] != b.mark) return false;
  return true;
}

}  // namespace

// Blocks of every size, held at once and released in a scrambled order, are
// aligned and never overlap: each keeps its own pattern.
TEST(SmallBlocks, BlocksOfEverySizeKeepTheirBytes) {
  std::mt19937 rng(7);
  for (int round = 0; round < 3; ++round) {
    std::vector<Block> blocks;
    for (int i = 0; i < 5000; ++i) {
      size_t size = 1 + rng() % (SmallBlocks::MAX_SIZE + 64);  // some past the pool's sizes
      Block b{static_cast<unsigned char*>(SmallBlocks::allocate(size)), size, static_cast<unsigned char>(i)};
      ASSERT_EQ(reinterpret_cast<uintptr_t>(b.at) % 16, 0u) << size;
      fill(b);
      blocks.push_back(b);
    }
    std::shuffle(blocks.begin(), blocks.end(), rng);
    for (const Block& b : blocks) {
      ASSERT_TRUE(intact(b)) << b.size;
      SmallBlocks::release(b.at, b.size);
    }
  }
  SmallBlocks::release(nullptr, 16);  // nothing to do
}

// Objects made on one thread and freed on another (a page the worker parsed
// and the interface thread drops), by threads that then end: the memory is
// handed on and serves later allocations intact.
TEST(SmallBlocks, BlocksFreedOnOtherThreadsAreReused) {
  for (int round = 0; round < 4; ++round) {
    std::vector<Integer*> made;
    std::thread maker([&] {
      for (int i = 0; i < 20000; ++i) made.push_back(new Integer(i));
    });
    maker.join();
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(made[i]->intValue(), i);
    std::thread dropper([&] {
      for (Integer* v : made) delete v;
    });
    dropper.join();
    std::vector<Integer*> again;
    for (int i = 0; i < 20000; ++i) again.push_back(new Integer(-i));
    for (int i = 0; i < 20000; ++i) ASSERT_EQ(again[i]->intValue(), -i);
    for (Integer* v : again) delete v;
  }
}

// Blocks a thread frees go back to the stock when it ends, even when the
// thread never allocated any of that size itself.
TEST(SmallBlocks, AThreadThatOnlyFreesHandsItsBlocksOnAtItsEnd) {
  if (!SmallBlocks::isPooling()) GTEST_SKIP() << "blocks come from operator new in this build";
  const size_t size = 208;  // a size class nothing else in this test program uses
  std::vector<void*> made;
  std::thread maker([&] {
    for (int i = 0; i < 1000; ++i) made.push_back(SmallBlocks::allocate(size));
  });
  maker.join();
  std::thread freer([&] {
    for (void* p : made) SmallBlocks::release(p, size);
  });
  freer.join();
  std::set<void*> freed(made.begin(), made.end());
  int reused = 0;
  std::vector<void*> again;
  // More than this thread's own list can hold, so the stock is reached.
  for (int i = 0; i < 3000; ++i) {
    again.push_back(SmallBlocks::allocate(size));
    if (freed.count(again.back())) ++reused;
  }
  EXPECT_EQ(reused, 1000);
  for (void* p : again) SmallBlocks::release(p, size);
}
