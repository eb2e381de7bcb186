// "XELM VOVUVAVersion" and "XELM Version".
#include "host/version_win32.h"

#include "call/host_interface.h"
#include "plugin_version.h"

void VOVUVAVersion(TextHandle parameter, TextHandle result) { setResultText(result, XELM_VERSION_TEXT); }

void Version(TextHandle parameter, TextHandle result) {
  // Only the first character matters: any word starting with p asks for the
  // platform form.
  bool platform = parameterLength(parameter) > 0 && (**parameter == 'p' || **parameter == 'P');
  setResultText(result, platform ? "Datewell " XELM_VERSION_TEXT " x86" : "Datewell " XELM_VERSION_TEXT);
}
