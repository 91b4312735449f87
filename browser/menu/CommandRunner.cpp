#include "browser/menu/CommandRunner.h"

#include "browser/menu/CommandHost.h"

CommandRunner::CommandRunner(CommandHost* host) : host_(host) {}

bool CommandRunner::run(int command, int argument, const String& text) {
  (void)command, (void)argument, (void)text;
  return false;
}
