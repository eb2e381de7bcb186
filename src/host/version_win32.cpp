// "XELM VOVUVAVersion" and "XELM Version".
#include "host/version_win32.h"

#include "call/host_interface.h"

void VOVUVAVersion(TextHandle parameter, TextHandle result) { setResultText(result, "3.1.1"); }

void Version(TextHandle parameter, TextHandle result) {
  // Only the first character matters: any word starting with p asks for the
  // platform form.
  bool platform = parameterLength(parameter) > 0 && (**parameter == 'p' || **parameter == 'P');
  setResultText(result, platform ? "Datewell 3.1.1 x86" : "Datewell 3.1.1");
}
