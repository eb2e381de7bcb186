#include "plugin_host.h"

#include <cstdlib>
#include <cstring>

namespace {

// The host's text blocks: a handle points to a pointer to the block. Each
// block carries guard bytes behind its size to catch writes past the end.
constexpr size_t kGuard = 16;
constexpr unsigned char kGuardByte = 0xA5;
constexpr size_t kRecordSize = 128;
constexpr unsigned char kRecordFill = 0xCD;
constexpr unsigned char kReusedFill = 0xDD;
constexpr uintptr_t kReusedPointer = 0xDDDDDDDDu;

struct HostText {
  char* block = nullptr;
  int32_t size = 0;
};

bool failNextResize = false;
bool lastResizeFailed = false;
int resizeCount = 0;

char* allocateBlock(int32_t size) {
  char* block = static_cast<char*>(std::malloc(static_cast<size_t>(size) + kGuard));
  std::memset(block + size, kGuardByte, kGuard);
  return block;
}

HostText* textOf(char** handle) { return reinterpret_cast<HostText*>(handle); }

void __stdcall resizeText(char** handle, int32_t newSize) {
  ++resizeCount;
  if (failNextResize || newSize < 0) {
    lastResizeFailed = true;
    return;
  }
  lastResizeFailed = false;
  HostText* text = textOf(handle);
  // A new block every time, as a real host may move the block on resize.
  char* block = allocateBlock(newSize);
  std::memset(block, 0x5A, static_cast<size_t>(newSize));
  std::free(text->block);
  text->block = block;
  text->size = newSize;
}

int32_t __stdcall textLength(char** handle) { return textOf(handle)->size; }

// The upper half of the register is deliberately noisy: only 16 bits count.
uint32_t __stdcall memoryStatus() { return lastResizeFailed ? 0xBEEF0001u : 0xBEEF0000u; }

// An empty text is a handle to no block at all, as a host may hand it: a
// plug-in that reads a byte of a text whose length is 0 then faults.
HostText makeText(const std::string& bytes) {
  HostText text = {nullptr, static_cast<int32_t>(bytes.size())};
  if (bytes.empty()) return text;
  text.block = allocateBlock(text.size);
  std::memcpy(text.block, bytes.data(), bytes.size());
  return text;
}

// After a call the host reuses the memory of its record and text handles,
// as a host reusing its stack does: a plug-in that kept a pointer to them
// finds garbage there instead of working callbacks.
void reuseCallMemory(unsigned char* record, HostText& parameter, HostText& result) {
  std::free(parameter.block);
  std::free(result.block);
  std::memset(record, kReusedFill, kRecordSize);
  const HostText reused = {reinterpret_cast<char*>(kReusedPointer), -1};
  parameter = reused;
  result = reused;
}

bool guardIntact(const HostText& text) {
  if (text.block == nullptr) return true;
  for (size_t i = 0; i < kGuard; ++i)
    if (static_cast<unsigned char>(text.block[text.size + i]) != kGuardByte) return false;
  return true;
}

template <typename T> void put(unsigned char* record, size_t offset, T value) {
  std::memcpy(record + offset, &value, sizeof value);
}

// Fills a record: every byte the pattern, then the documented fields.
void buildRecord(unsigned char* record, uint8_t kind, uint32_t index, void* parameter,
                 HMODULE module, void* result) {
  std::memset(record, kRecordFill, kRecordSize);
  put<int16_t>(record, 0, 80);
  put<uint8_t>(record, 9, kind);
  put<uint32_t>(record, 12, index);
  put<void*>(record, 16, parameter);
  put<void*>(record, 20, module);
  put<void*>(record, 24, result);
  put<void*>(record, 36, reinterpret_cast<void*>(&resizeText));
  put<void*>(record, 40, reinterpret_cast<void*>(&textLength));
  put<void*>(record, 68, reinterpret_cast<void*>(&memoryStatus));
}

}  // namespace

PluginHost::~PluginHost() {
  if (module_) FreeLibrary(module_);
}

bool PluginHost::load(const std::string& path) {
  module_ = LoadLibraryA(path.c_str());
  if (!module_) {
    error_ = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  entry_ = reinterpret_cast<void(__cdecl*)(void*)>(GetProcAddress(module_, "FMExternCallProc"));
  if (!entry_) {
    error_ = path + " has no export FMExternCallProc";
    return false;
  }
  return true;
}

std::string PluginHost::stringResource(UINT id) const {
  char buffer[1024] = {};
  int n = LoadStringA(module_, id, buffer, sizeof buffer);
  return std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

namespace {
std::vector<char> versionBlock(HMODULE module) {
  HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16));  // RT_VERSION
  if (!info) return {};
  HGLOBAL data = LoadResource(module, info);
  const char* bytes = static_cast<const char*>(LockResource(data));
  return std::vector<char>(bytes, bytes + SizeofResource(module, info));
}
}  // namespace

std::string PluginHost::versionText(const std::string& name) const {
  std::vector<char> block = versionBlock(module_);
  if (block.empty()) return "";
  // Ask for the first translation the resource lists.
  struct Translation { WORD language, codePage; }* translation = nullptr;
  UINT size = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                      reinterpret_cast<void**>(&translation), &size) || size < sizeof *translation)
    return "";
  char query[128];
  snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
           translation->codePage, name.c_str());
  char* value = nullptr;
  if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &size) || !value) return "";
  return std::string(value);
}

std::string PluginHost::fileVersion() const {
  std::vector<char> block = versionBlock(module_);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT size = 0;
  if (block.empty() || !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size))
    return "";
  char text[64];
  snprintf(text, sizeof text, "%lu.%lu.%lu.%lu", HIWORD(fixed->dwFileVersionMS),
           LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
           LOWORD(fixed->dwFileVersionLS));
  return text;
}

int32_t PluginHost::initialise(int16_t hostVersion) {
  unsigned char record[kRecordSize];
  buildRecord(record, 0, 0, nullptr, module_, nullptr);
  put<int16_t>(record, 0, hostVersion);
  entry_(record);
  int32_t answer;
  std::memcpy(&answer, record + 24, sizeof answer);
  std::memset(record, kReusedFill, kRecordSize);
  return answer;
}

PluginHost::Outcome PluginHost::callFunction(uint32_t index, const std::string& parameter,
                                             const std::string& initialResult, bool failResize) {
  HostText param = makeText(parameter);
  HostText result = makeText(initialResult);
  unsigned char record[kRecordSize];
  buildRecord(record, 3, index, &param, module_, &result);
  unsigned char before[kRecordSize];
  std::memcpy(before, record, kRecordSize);

  failNextResize = failResize;
  lastResizeFailed = false;
  resizeCount = 0;
  entry_(record);
  failNextResize = false;

  Outcome outcome;
  outcome.resizeCount = resizeCount;
  outcome.resized = resizeCount > 0;
  if (result.block) outcome.result.assign(result.block, result.block + result.size);
  outcome.guardIntact = guardIntact(result);
  outcome.recordIntact = std::memcmp(before, record, kRecordSize) == 0;
  reuseCallMemory(record, param, result);
  return outcome;
}

bool PluginHost::callKind(uint8_t kind, uint32_t functionIndex) {
  HostText param = makeText("");
  HostText result = makeText("");
  unsigned char record[kRecordSize];
  buildRecord(record, kind, functionIndex, &param, module_, &result);
  unsigned char before[kRecordSize];
  std::memcpy(before, record, kRecordSize);
  entry_(record);
  bool intact = std::memcmp(before, record, kRecordSize) == 0;
  reuseCallMemory(record, param, result);
  return intact;
}

int PluginHost::functionIndex(const std::string& name) const {
  for (int i = 0; i < 6; ++i)
    if (stringResource(144 + i) == name) return i;
  return -1;
}

PreparedCall::PreparedCall(const PluginHost& host, uint32_t index, const std::string& parameter)
    : entry_(host.entry_), parameter_(new HostText(makeText(parameter))), result_(new HostText(makeText(""))) {
  buildRecord(record_, 3, index, parameter_, host.module(), result_);
}

PreparedCall::~PreparedCall() {
  for (void* text : {parameter_, result_}) {
    std::free(static_cast<HostText*>(text)->block);
    delete static_cast<HostText*>(text);
  }
}

std::string PreparedCall::resultText() const {
  const HostText* text = static_cast<const HostText*>(result_);
  return text->block ? std::string(text->block, static_cast<size_t>(text->size)) : std::string();
}
