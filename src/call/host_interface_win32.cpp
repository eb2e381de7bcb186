// The result protocol shared by every external function, the reading of the
// host's parameter text, and the module instance, all through the record of
// the call in progress.
#include "call/host_interface.h"

#include <cstring>

#include "call/popup_state.h"

HINSTANCE moduleInstance() { return popupState.hostCall->moduleInstance; }

void setResultText(TextHandle result, const char* text) {
  const HostCall* call = popupState.hostCall;
  size_t length = std::strlen(text);
  call->resizeText(result, static_cast<int32_t>(length));
  // The host's status is 16 bits wide; the rest of the register is noise.
  if ((call->memoryStatus() & 0xFFFFu) != 0) return;
  // A resize may move the block: fetch its address only now.
  if (length > 0) std::memcpy(*result, text, length);
}

int32_t parameterLength(TextHandle parameter) {
  int32_t length = popupState.hostCall->textLength(parameter);
  return length > 0 ? length : 0;
}

int32_t copyParameter(TextHandle parameter, char* buffer, size_t bufferSize) {
  std::memset(buffer, 0, bufferSize);
  int32_t length = parameterLength(parameter);
  if (length <= 0 || bufferSize == 0) return 0;
  size_t count = static_cast<size_t>(length);
  if (count > bufferSize - 1) count = bufferSize - 1;  // longer texts are cut
  std::memcpy(buffer, *parameter, count);
  return static_cast<int32_t>(count);
}
