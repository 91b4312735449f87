#pragma once

#include <cstdint>
#include <memory>

#include "vwt/lang/Vector.h"
#include "vwt/ui/Accelerator.h"
#include "vwt/ui/TextListener.h"
#include "vwt/ui/Window.h"

class Application;
namespace vwt {
namespace platform {
class InstanceChannel;
class SoftKeyBar;
}  // namespace platform
}  // namespace vwt

// The program's main window: the handset's screen above its soft-key bar. It turns the window
// system's messages into the event methods (keys with their held state, soft keys, stylus, timers,
// paint, close), mirrors input to its dispatch targets and keeps the program to one instance.
class Frame : public Window, public TextListener {
 public:
  enum SoftKey { SOFT_KEY_LEFT = 0, SOFT_KEY_RIGHT = 1 };
  // The commands of the two soft-key buttons while no menu bar names others.
  static const int SOFT_KEY1_COMMAND = 0x7F01;
  static const int SOFT_KEY2_COMMAND = 0x7F02;
  // The command that closes the input-method text box.
  static const int IME_CLOSE_COMMAND = 0x10000001;
  // The soft-key bar's height when there is no menu bar to ask.
  static const int DEFAULT_MENU_BAR_HEIGHT = 52;

  // Registers itself as the application's main frame; the window comes with initializeWindow.
  Frame(Application* application, const String& title);
  ~Frame() override;

  // False when another window of className exists (it is brought to the front and told through
  // onLaunchDuplicate) or the window cannot be made; the program then ends with 1.
  bool initializeWindow(const String& className, int acceleratorResource, int iconResource, int thirdResource,
                        int menuBarId);
  bool registClass(const String& className, int iconResource);
  bool createWindow(const String& className);
  Accelerator* getAccelerator() { return &accelerator_; }

  // The label of a button of the soft-key bar, which repaints.
  void setSoftLabel(SoftKey key, const String& label);
  String getSoftLabel(SoftKey key) const { return softLabel_[key == SOFT_KEY_LEFT ? 0 : 1]; }
  int getSoftKeyCount() const { return menuBar_ ? 2 : 0; }
  // 0 or 1 for the soft keys' commands, -1 for any other.
  int getSoftKeyFromCommandId(int id) const;
  void setFullScreen(bool on);
  bool isFullScreen() const { return fullScreen_; }

  // The input-method text box: a TextBox over the whole frame (style and mode as TextBox takes them)
  // that tells this frame its text through processIMEEvent. A box already there is replaced.
  void imeOn(const String& initialText, int style, int mode);
  bool isImeVisible() const;
  void setImeTextBoxSize(int width, int height);
  void activateIme();
  // Takes ownership of the text box (null removes it).
  void setImeTextBox(Window* textBox);
  Window* getImeTextBox() const { return imeTextBox_; }
  void onKeyPressedBack();

  void setKeypadState(int key, bool down);
  uint32_t getKeypadState(int word) const { return word >= 0 && word < 4 ? keypadState_[word] : 0; }
  bool isKeyPressed(int key) const { return getKeyCodeState(key); }
  bool getKeyCodeState(int key) const;

  // Key and stylus messages go to every dispatch target first, in the order they were added.
  void dispatchEvent(uint32_t message, uintptr_t wParam, intptr_t lParam);
  void setDispatchEvent(Window* target);
  void clearDispatch();

  // Soft keys to the text box or to this frame; components by id; anything else unhandled.
  bool onCommand(int id) override;
  // Gives up the class's claim too, so that a new first instance can start.
  void dispose() override;
  void onCreate() override;
  void onDestory() override;

  virtual bool onShortMessage(Window* sender, const char* data, int length) {
    (void)sender, (void)data, (void)length;
    return true;
  }
  virtual void onHibernate() {}
  virtual void onLaunchDuplicate(Window* existing) { (void)existing; }
  virtual void processTapStatusbar(int x, int y) { (void)x, (void)y; }
  virtual bool denyErasebkgnd() { return false; }

  // The procedure of the frame's class: every message goes to the application's main frame.
  static intptr_t frameProcedure(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);
  // The accelerator table's turn in the loop; true when the message became a command.
  bool translateAccelerator(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 protected:
  intptr_t handleFrameMessage(int handle, uint32_t message, uintptr_t wParam, intptr_t lParam);

 private:
  void keyDown(int virtualKey, intptr_t lParam);
  void keyUp(int virtualKey);
  void resizeToClient(bool resizeTextBox);
  // True when another instance of the class runs: it was brought to the front and told.
  bool bringBackFirstInstance(const String& className);
  void startInstanceChannel(const String& className);
  void stopInstanceChannel();

  Application* application_;
  Accelerator accelerator_;
  int menuBarId_ = 0;
  int menuBar_ = 0;
  int menuBarHeight_ = DEFAULT_MENU_BAR_HEIGHT;
  uint32_t keypadState_[4] = {};
  int softKeyCommandId_[2] = {SOFT_KEY1_COMMAND, SOFT_KEY2_COMMAND};
  String softLabel_[2];
  Window* imeTextBox_ = nullptr;     // owned
  Vector<Window*> dispatchTargets_;  // not owned
  bool fullScreen_ = false;
  bool x01t_ = false;   // the handset whose 0xE4 key is a modifier
  int pressedAs_[256];  // per virtual key, the code its press was delivered as
  std::unique_ptr<vwt::platform::InstanceChannel> channel_;  // this process's claim on its class
  std::unique_ptr<vwt::platform::SoftKeyBar> softKeyBar_;    // drawn below the window
};
