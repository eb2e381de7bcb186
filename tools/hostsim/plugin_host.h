// The host side of the plug-in interface: loads a plug-in as the host does,
// reads its string and version resources, and calls FMExternCallProc with a
// call record of its own (documented fields at their offsets, every other
// byte a known pattern so that stray writes show). Once a call returns, its
// record and text handles are overwritten and its texts freed.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

class PluginHost {
 public:
  ~PluginHost();

  // Loads the plug-in; false (and lastError()) when it cannot be loaded or
  // lacks the export.
  bool load(const std::string& path);
  const std::string& lastError() const { return error_; }
  HMODULE module() const { return module_; }

  // String table entry of the module (language-neutral lookup).
  std::string stringResource(UINT id) const;
  // A text of the version resource's first string block ("" when missing),
  // and the fixed file version as a.b.c.d.
  std::string versionText(const std::string& name) const;
  std::string fileVersion() const;

  // Call kind 0 with the given interface version; returns the answer written
  // into the result slot.
  int32_t initialise(int16_t hostVersion);

  struct Outcome {
    bool resized = false;        // the plug-in asked for a resize
    std::vector<char> result;    // the result block's bytes (its full size)
    bool guardIntact = true;     // nothing written past the block's end
    bool recordIntact = true;    // no byte of the record changed outside the plug-in's fields
    int resizeCount = 0;         // how many resizes the plug-in asked for
    std::string text() const { return std::string(result.begin(), result.end()); }
  };

  // Call kind 3 of function `index` with the parameter's bytes. The result
  // block starts as `initialResult`. With failResize the host reports a
  // memory failure after the resize and leaves the block as it was.
  Outcome callFunction(uint32_t index, const std::string& parameter,
                       const std::string& initialResult = "", bool failResize = false);

  // A bare call of any kind (no texts); returns whether the record stayed
  // unchanged outside the result slot.
  bool callKind(uint8_t kind, uint32_t functionIndex = 0);

  // Index of a function by the name the string table lists; -1 if none.
  int functionIndex(const std::string& name) const;

 private:
  friend class PreparedCall;
  HMODULE module_ = nullptr;
  void(__cdecl* entry_)(void*) = nullptr;
  std::string error_;
};

// A function call whose record and texts are built once and then made any
// number of times: for timing the plug-in's own share of a call, the host's
// callbacks included. The result block is resized by each call as usual.
class PreparedCall {
 public:
  PreparedCall(const PluginHost& host, uint32_t index, const std::string& parameter);
  ~PreparedCall();
  PreparedCall(const PreparedCall&) = delete;
  PreparedCall& operator=(const PreparedCall&) = delete;

  void run() { entry_(record_); }
  std::string resultText() const;

 private:
  void(__cdecl* entry_)(void*);
  void* parameter_;
  void* result_;
  unsigned char record_[128];
};
