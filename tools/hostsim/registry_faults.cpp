#include "registry_faults.h"

#include <sddl.h>

#include <cstdio>

#include "import_hook.h"

namespace {

// The names refused by the one ValueRefusal in place, and its error.
std::vector<std::string> refusedNames;
LONG refusalError = ERROR_NOT_ENOUGH_QUOTA;

LONG WINAPI refuseListedValues(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  // Documented as reserved, to be 0; Wine ignores it, so any other value
  // would pass unseen here: refused instead.
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  for (const std::string& refused : refusedNames)
    if (name && lstrcmpiA(name, refused.c_str()) == 0) return refusalError;
  return RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI documentedOpen(HKEY key, LPCSTR path, DWORD options, REGSAM rights, PHKEY opened) {
  static const auto open = exportedFunction<decltype(&RegOpenKeyExA)>("advapi32.dll", "RegOpenKeyExA");
  if ((options & ~static_cast<DWORD>(REG_OPTION_OPEN_LINK)) != 0) return ERROR_INVALID_PARAMETER;
  return open(key, path, options, rights, opened);
}

LONG WINAPI documentedCreate(HKEY key, LPCSTR path, DWORD reserved, LPSTR className, DWORD options, REGSAM rights,
                             LPSECURITY_ATTRIBUTES security, PHKEY made, LPDWORD disposition) {
  static const auto create = exportedFunction<decltype(&RegCreateKeyExA)>("advapi32.dll", "RegCreateKeyExA");
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  return create(key, path, reserved, className, options, rights, security, made, disposition);
}

LONG WINAPI documentedSet(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
  static const auto set = exportedFunction<decltype(&RegSetValueExA)>("advapi32.dll", "RegSetValueExA");
  if (reserved != 0) return ERROR_INVALID_PARAMETER;
  return set(key, name, reserved, type, data, size);
}

}  // namespace

DocumentedRegistry::DocumentedRegistry(HMODULE module)
    : open_(new ImportHook(module, "advapi32.dll", "RegOpenKeyExA", reinterpret_cast<const void*>(documentedOpen))),
      create_(new ImportHook(module, "advapi32.dll", "RegCreateKeyExA", reinterpret_cast<const void*>(documentedCreate))),
      set_(new ImportHook(module, "advapi32.dll", "RegSetValueExA", reinterpret_cast<const void*>(documentedSet))) {}

DocumentedRegistry::~DocumentedRegistry() = default;

// RegCreateKeyExA is imported only by a module that makes the key.
bool DocumentedRegistry::installed() const { return open_->installed() && set_->installed(); }

bool denyKeyRights(const std::string& path, DWORD rights) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return false;
  // A deny entry for the rights, then every right (KA) allowed.
  char sddl[64];
  if (rights) std::snprintf(sddl, sizeof sddl, "D:(D;;0x%lx;;;WD)(A;;KA;;;WD)", static_cast<unsigned long>(rights));
  else std::snprintf(sddl, sizeof sddl, "D:(A;;KA;;;WD)");
  PSECURITY_DESCRIPTOR sd = nullptr;
  LONG status = ERROR_INVALID_PARAMETER;
  if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr)) {
    status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd);
    LocalFree(sd);
  }
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

namespace {

// The access list of HKEY_LOCAL_MACHINE\`path` as self-relative bytes;
// empty when it cannot be read.
std::vector<BYTE> keyAccessList(const std::string& path) {
  std::vector<BYTE> descriptor;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, READ_CONTROL, &key) != ERROR_SUCCESS) return descriptor;
  DWORD size = 0;
  if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size) == ERROR_INSUFFICIENT_BUFFER) {
    descriptor.resize(size);
    if (RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor.data(), &size) != ERROR_SUCCESS)
      descriptor.clear();
  }
  RegCloseKey(key);
  return descriptor;
}

bool keyExists(const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

KeyWriteDenial::KeyWriteDenial(const std::string& path) : path_(path), denied_(false) {
  // A key that does not exist yet: its nearest existing parent refuses new
  // keys, as HKEY_LOCAL_MACHINE\Software refuses them to an ordinary user.
  while (!path_.empty() && !keyExists(path_)) {
    const size_t slash = path_.find_last_of('\\');
    path_ = slash == std::string::npos ? std::string() : path_.substr(0, slash);
  }
  if (path_.empty()) return;
  saved_ = keyAccessList(path_);
  denied_ = !saved_.empty() && denyKeyRights(path_, KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
}

KeyWriteDenial::~KeyWriteDenial() {
  if (!denied_) return;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path_.c_str(), 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved_.data());
  RegCloseKey(key);
}

bool runRegistryAction(const std::string& verb, const std::string& path, std::unique_ptr<KeyWriteDenial>& denial,
                       bool& ok, std::string& log) {
  if (verb == "delkey") {
    ok = RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()) == ERROR_SUCCESS;
    if (!ok) log = "could not delete HKEY_LOCAL_MACHINE\\" + path;
    return true;
  }
  if (verb == "denywrite") {
    denial.reset(new KeyWriteDenial(path));
    ok = denial->denied();
    if (!ok) log = "could not change the rights on HKEY_LOCAL_MACHINE\\" + path;
    return true;
  }
  return false;
}

ValueRefusal::ValueRefusal(HMODULE module, const std::vector<std::string>& names, LONG error) {
  refusedNames = names;
  refusalError = error;
  hook_.reset(new ImportHook(module, "advapi32.dll", "RegSetValueExA", reinterpret_cast<const void*>(refuseListedValues)));
}

ValueRefusal::~ValueRefusal() {
  hook_.reset();
  refusedNames.clear();
}

bool ValueRefusal::installed() const { return hook_->installed(); }
