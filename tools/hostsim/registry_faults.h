// Registry conditions a user meets on Windows, made on demand while a window
// of the plug-in is open: a key whose values the user may not set, and values
// that the registry refuses to store.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class ImportHook;

// Denies everyone the `rights` (KEY_SET_VALUE, KEY_CREATE_SUB_KEY, ...) on
// HKEY_LOCAL_MACHINE\`path` and grants every other right, as the
// machine-wide key denies write rights to an ordinary user; 0 grants every
// right again. False when the key's permissions could not be changed.
bool denyKeyRights(const std::string& path, DWORD rights);

// Denies everyone the rights to set values of HKEY_LOCAL_MACHINE\`path` and
// to create keys under it (reading stays allowed), as the machine-wide key
// denies them to an ordinary user, while this object lives; then the key's
// access list is put back as it was. Denied before a window opens, the key
// can no longer be opened with a write right at all. When the key does not
// exist, its nearest existing parent is denied instead, so that nobody can
// create it: the machine as an ordinary user finds it before the settings
// were ever saved.
class KeyWriteDenial {
 public:
  explicit KeyWriteDenial(const std::string& path);
  ~KeyWriteDenial();
  // False when the key's permissions could not be changed.
  bool denied() const { return denied_; }

 private:
  std::string path_;          // the key denied: the one named, or its nearest existing parent
  std::vector<BYTE> saved_;   // its access list before, put back at the end
  bool denied_;
};

// The registry actions of hostsim's --do and --before: "delkey PATH" deletes
// that key (without subkeys) under HKEY_LOCAL_MACHINE, as another tool might;
// "denywrite PATH" puts a KeyWriteDenial in `denial`, kept until it is reset.
// False when `verb` is neither; otherwise `ok` tells whether it worked and
// `log` why not.
bool runRegistryAction(const std::string& verb, const std::string& path, std::unique_ptr<KeyWriteDenial>& denial,
                       bool& ok, std::string& log);

// Makes the writes of the named values by `module` (through its
// RegSetValueExA) fail with `error` while this object lives: by default as on
// a registry whose quota is used up. Every other write goes through, unless
// it passes a reserved argument other than 0 (ERROR_INVALID_PARAMETER).
class ValueRefusal {
 public:
  ValueRefusal(HMODULE module, const std::vector<std::string>& names, LONG error = ERROR_NOT_ENOUGH_QUOTA);
  ~ValueRefusal();
  bool installed() const;

 private:
  std::unique_ptr<ImportHook> hook_;
};

// Makes `module`'s registry calls (RegOpenKeyExA, RegCreateKeyExA,
// RegSetValueExA) fail with ERROR_INVALID_PARAMETER, while this object lives,
// when they pass what Windows documents as reserved (0) or as no option an
// open takes (0 or REG_OPTION_OPEN_LINK): Wine ignores those arguments, so a
// wrong one would pass unseen. The others go through to the registry.
class DocumentedRegistry {
 public:
  explicit DocumentedRegistry(HMODULE module);
  ~DocumentedRegistry();
  bool installed() const;

 private:
  std::unique_ptr<ImportHook> open_, create_, set_;
};
