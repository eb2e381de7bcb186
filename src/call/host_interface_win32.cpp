// The result protocol shared by every external function, the reading of the
// host's parameter text, and the module instance, all through the record of
// the call in progress.
#include "call/host_interface.h"

#include <algorithm>
#include <cstring>

#include "call/popup_state.h"

HINSTANCE moduleInstance() { return popupState.hostCall->moduleInstance; }

void setResultText(TextHandle result, const char* text) {
  const HostCall* call = popupState.hostCall;
  size_t length = std::strlen(text);
  call->resizeText(result, static_cast<int32_t>(length));
  // The host's status is 16 bits wide; the rest of the register is noise.
  if ((call->memoryStatus() & 0xFFFFu) != 0) return;
  // A resize may move the block: fetch its address only now. An empty
  // result may have no block at all, and needs none.
  char* block = *result;
  if (block) std::memcpy(block, text, length);
}

int32_t parameterLength(TextHandle parameter) {
  int32_t length = popupState.hostCall->textLength(parameter);
  return length > 0 ? length : 0;
}

int32_t copyParameter(TextHandle parameter, char* buffer, size_t bufferSize) {
  std::memset(buffer, 0, bufferSize);
  if (bufferSize == 0) return 0;
  // The host may hand an empty text as no block at all: nothing to copy.
  const char* text = *parameter;
  if (!text) return 0;
  // Longer texts are cut, to leave room for the terminator.
  const size_t count = std::min(static_cast<size_t>(parameterLength(parameter)), bufferSize - 1);
  std::memcpy(buffer, text, count);
  return static_cast<int32_t>(count);
}
