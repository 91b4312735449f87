#include "vwt/ui/ATLModule.h"

#include <cstdint>

#include "vwt/lang/Exception.h"
#include "vwt/lang/Resource.h"
#include "vwt/ui/Flash.h"

namespace {
// The entry point: control, host window, no container wanted.
using AttachControl = int32_t (*)(void* control, void* hostWindow, void** container);
}  // namespace

const char16_t ATLModule::HOSTING_LIBRARY[] = u"atlce400.dll";

ATLModule::ATLModule() : Module(String(HOSTING_LIBRARY, false)) {}

ATLModule::ATLModule(const String& fileName) : Module(fileName) {}

void ATLModule::attachFlash(Flash* flash) {
  if (!flash || !flash->getControl()) return;
  attachControl(flash->getControl(), flash->getHandle());
}

int ATLModule::attachControl(void* control, int hostWindow) {
  if (!getHandle()) throw Exception(Resource::getString(-3300));
  void* entry = getProcAddress("AtlAxAttachControl");
  if (!entry) throw Exception(Resource::getString(-3301));
  AttachControl attach = reinterpret_cast<AttachControl>(entry);
  return attach(control, reinterpret_cast<void*>(static_cast<intptr_t>(hostWindow)), nullptr);
}
