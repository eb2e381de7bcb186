// "XELM VOVUVAVersion" and "XELM Version" (function indexes 0 and 1).
#pragma once
#include "call/host_call.h"

void VOVUVAVersion(TextHandle parameter, TextHandle result);
void Version(TextHandle parameter, TextHandle result);
