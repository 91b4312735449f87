#include <gtest/gtest.h>

#include "browser/menu/Screen.h"
#include "browser/menu/ScreenStack.h"
#include "browser/menu/SoftKeyTable.h"

namespace {

// A screen that counts its deletions.
class CountedScreen : public Screen {
 public:
  CountedScreen(int mode, int* deleted) : mode_(mode), deleted_(deleted) {}
  ~CountedScreen() override { ++*deleted_; }
  int mode() const override { return mode_; }
  RenderItem* item() override { return nullptr; }
  void layout(int, int, vwt::Font*) override {}
  ScreenResult key(int, int) override { return ScreenResult::ignored(); }
  ScreenResult tap(int, int) override { return ScreenResult::ignored(); }

 private:
  int mode_;
  int* deleted_;
};

TEST(ScreenStack, TheTopGetsTheModeAndPopDeletesIt) {
  int deleted = 0;
  ScreenStack stack;
  EXPECT_EQ(stack.top(), nullptr);
  EXPECT_EQ(stack.mode(), 0);
  stack.pop();  // nothing to pop
  CountedScreen* menu = new CountedScreen(1, &deleted);
  CountedScreen* panel = new CountedScreen(9, &deleted);
  stack.push(menu);
  stack.push(nullptr);  // ignored
  stack.push(panel);
  EXPECT_EQ(stack.size(), 2);
  EXPECT_EQ(stack.top(), panel);
  EXPECT_EQ(stack.at(0), menu);
  EXPECT_EQ(stack.at(1), panel);
  EXPECT_EQ(stack.at(2), nullptr);
  EXPECT_EQ(stack.at(-1), nullptr);
  EXPECT_EQ(stack.mode(), 9);

  stack.pop();
  EXPECT_EQ(deleted, 1);
  EXPECT_EQ(stack.top(), menu);
  EXPECT_EQ(stack.mode(), 1);
}

TEST(ScreenStack, ClearAndTheDestructorDeleteEveryScreen) {
  int deleted = 0;
  {
    ScreenStack stack;
    for (int i = 0; i < 3; ++i) stack.push(new CountedScreen(i + 1, &deleted));
    stack.clear();
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(stack.size(), 0);
    EXPECT_EQ(stack.mode(), 0);
    stack.push(new CountedScreen(7, &deleted));
    stack.push(new CountedScreen(4, &deleted));
  }
  EXPECT_EQ(deleted, 5);
}

TEST(SoftKeyTable, LabelsByMode) {
  struct Case {
    int mode;
    bool useMenu;
    int left, right;
  };
  const Case cases[] = {
      {0, true, 10005, 10006},  {0, false, 10005, 0},    {1, true, 0, 10007},     {2, true, 0, 10007},
      {3, true, 0, 10007},      {5, true, 0, 10007},     {34, true, 0, 10007},    {4, true, 10010, 10011},
      {20, true, 10010, 10011}, {6, true, 10005, 10008}, {7, true, 10009, 10007}, {8, true, 10015, 10007},
      {10, true, 0, 10007},     {15, true, 0, 10007},    {27, true, 0, 10007},    {50, true, 0, 10007},
      {9, true, 10010, 10011},  {17, true, 0, 0},        {36, true, 10010, 0},    {37, true, 10012, 10013},
      {111, true, 0, 10005},    {110, true, 0, 10007},   {35, false, 0, 10007},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mode);
    int left = -1, right = -1;
    SoftKeyTable::labels(c.mode, c.useMenu, &left, &right);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(right, c.right);
  }
  SoftKeyTable::labels(1, true, nullptr, nullptr);  // no place to write: nothing happens
}

}  // namespace
