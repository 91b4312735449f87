#pragma once
// The process's window system on a headless 240 x 320 screen, driven by a script, and the message
// texts of the source tree, for the tests of the drawn controls.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "tests/vwt/ScratchDirectory.h"
#include "vwt/lang/Resource.h"
#include "vwt/platform/InputScript.h"
#include "vwt/platform/Paths.h"
#include "vwt/platform/ScriptAnswers.h"
#include "vwt/platform/WindowSystem.h"

class DrawnControlsFixture : public ::testing::Test {
 protected:
  static constexpr int SCREEN_W = 240;
  static constexpr int SCREEN_H = 320;

  DrawnControlsFixture() {
    setenv("VWT_DISPLAY", "headless", 1);
    setenv("VWT_SCREEN_SIZE", "240x320", 1);
    unsetenv("VWT_INPUT_SCRIPT");
    vwt::platform::WindowSystem::shutdown();
    vwt::platform::ScriptAnswers::clear();
    // The button labels come from the message file of the source tree.
    vwt::platform::setProgramDirectory(VWT_SOURCE_DIR);
    Resource::unload();
  }
  ~DrawnControlsFixture() override {
    vwt::platform::WindowSystem::shutdown();
    vwt::platform::ScriptAnswers::clear();
    unsetenv("VWT_SCREEN_SIZE");
    vwt::platform::setProgramDirectory(std::string());
    Resource::unload();
  }

  // Input for the dialogs to come.
  vwt::platform::WindowSystem& script(const std::string& text) {
    std::string error;
    int line = 0;
    std::unique_ptr<vwt::platform::InputScript> s = vwt::platform::InputScript::parse(text, &error, &line);
    EXPECT_TRUE(s) << error;
    vwt::platform::WindowSystem& ws = vwt::platform::WindowSystem::get();
    ws.setInputScript(std::move(s));
    return ws;
  }

  ScratchDirectory dir;
};
