#include <gtest/gtest.h>

#include "tests/vwt/TestText.h"
#include "tests/vwt/ui/WidgetScreen.h"
#include "vwt/lang/Exception.h"
#include "vwt/ui/ATLModule.h"
#include "vwt/ui/Module.h"

namespace {

TEST(ModuleTest, ALibraryThatExistsAndOneThatDoesNot) {
  struct Case {
    const char16_t* name;
    bool loaded;
    const char* symbol;
    bool found;
  } cases[] = {{u"libm.so.6", true, "cos", true},
               {u"libm.so.6", true, "no_such_function_here", false},
               {u"libc.so.6", true, "strlen", true},
               {u"libvwt-missing-library.so", false, "cos", false},
               {u"", false, "cos", false}};
  for (const Case& c : cases) {
    Module m{String(c.name, false)};
    EXPECT_EQ(m.getHandle() != nullptr, c.loaded) << narrow(m.getFileName());
    EXPECT_EQ(m.getProcAddress(c.symbol) != nullptr, c.found) << narrow(m.getFileName()) << " " << c.symbol;
  }
}

class ATLModuleTest : public WidgetScreen {};

TEST_F(ATLModuleTest, TheHostingLibraryIsMissingHereAndTheStandInNeedsNone) {
  ATLModule* module = app->getATLModule();
  EXPECT_EQ(app->getATLModule(), module);  // one per process
  EXPECT_EQ(module->getHandle(), nullptr);
  EXPECT_EQ(module->getFileName(), u"atlce400.dll");
  int control = 0;
  try {
    module->attachControl(&control, 1);
    ADD_FAILURE() << "attached without a library";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "DLL NOT FOUND");
  }
  ATLModule other(u"libc.so.6"_s);
  try {
    other.attachControl(&control, 1);
    ADD_FAILURE() << "attached without the entry point";
  } catch (const Exception& e) {
    EXPECT_EQ(narrow(e.getRawMessage()), "FUNC NOT FOUND");
  }
  module->attachFlash(nullptr);  // nothing to attach
}

}  // namespace
