// The host interface through the real plug-in: initialisation, call kinds,
// dispatch, the version functions and the result protocol.
#include <gtest/gtest.h>

#include "harness.h"
#include "plugin_version.h"

namespace {

TEST(HostProtocol, ResourcesTheHostReads) {
  PluginHost& host = plugin();
  EXPECT_EQ(host.stringResource(128), "Vantrell Datewell");
  std::string description = host.stringResource(129);
  const std::string lead = "This plugin will pop up a small calendar for the user to select a date.\n\n";
  EXPECT_EQ(description.compare(0, lead.size(), lead), 0) << description;
  EXPECT_GT(description.size(), lead.size());
  EXPECT_EQ(description.find('\n', lead.size()), std::string::npos) << "one notice line";
  EXPECT_EQ(host.stringResource(130), "");
  EXPECT_EQ(host.stringResource(131), "XELM1YYYnnn");
  const char* names[] = {"XELM VOVUVAVersion", "XELM Version", "XELM CalPopup",
                         "XELM CalPopup2", "XELM TimePopup", "XELM YearPopup"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(host.stringResource(144 + i), names[i]);
  EXPECT_EQ(host.fileVersion(), XELM_VERSION_TEXT ".0");
  struct { const char* name; const char* text; } texts[] = {
      {"FileVersion", XELM_VERSION_TEXT}, {"ProductVersion", XELM_VERSION_TEXT}, {"CompanyName", "Vantrell"},
      {"FileDescription", "XELM Datewell"}, {"InternalName", "XELMCalendar"},
      {"OriginalFilename", "XELMCalendar.fmx"}, {"ProductName", "Vantrell Datewell"},
      {"Comments", "Needs Windows XP or later"},
  };
  for (const auto& t : texts) EXPECT_EQ(host.versionText(t.name), t.text) << t.name;
}

TEST(HostProtocol, InitialisationAcceptsVersions4To255) {
  struct Case { int16_t version; int32_t answer; } cases[] = {
      {3, -1}, {4, 4}, {80, 4}, {255, 4}, {256, -1}, {-1, -1}, {0, -1}, {32767, -1}, {-32768, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(plugin().initialise(c.version), c.answer) << c.version;
}

TEST(HostProtocol, VersionFunctions) {
  struct Case { const char* function; const char* parameter; const char* result; } cases[] = {
      {"XELM VOVUVAVersion", "", XELM_VERSION_TEXT},
      {"XELM VOVUVAVersion", "platform", XELM_VERSION_TEXT},
      {"XELM Version", "p", "Datewell " XELM_VERSION_TEXT " x86"},
      {"XELM Version", "P", "Datewell " XELM_VERSION_TEXT " x86"},
      {"XELM Version", "platform", "Datewell " XELM_VERSION_TEXT " x86"},
      {"XELM Version", "Pizza", "Datewell " XELM_VERSION_TEXT " x86"},
      {"XELM Version", "x", "Datewell " XELM_VERSION_TEXT},
      {"XELM Version", " p", "Datewell " XELM_VERSION_TEXT},
      {"XELM Version", "", "Datewell " XELM_VERSION_TEXT},
  };
  for (const Case& c : cases) {
    PluginHost::Outcome outcome = plugin().callFunction(functionIndexOf(c.function), c.parameter, "old result");
    // The block is exactly the text: no terminator inside it or past it.
    EXPECT_EQ(outcome.text(), c.result) << c.function << "(" << c.parameter << ")";
    EXPECT_TRUE(outcome.guardIntact);
    EXPECT_TRUE(outcome.recordIntact);
    EXPECT_EQ(outcome.resizeCount, 1);
  }
}

TEST(HostProtocol, FailedResizeWritesNothing) {
  PluginHost::Outcome outcome = plugin().callFunction(functionIndexOf("XELM Version"), "p", "kept", true);
  EXPECT_EQ(outcome.text(), "kept");
  EXPECT_TRUE(outcome.guardIntact);
  EXPECT_TRUE(outcome.recordIntact);
  // The next call works again.
  EXPECT_EQ(plugin().callFunction(functionIndexOf("XELM VOVUVAVersion"), "").text(), XELM_VERSION_TEXT);
}

TEST(HostProtocol, UnknownFunctionIndexLeavesTheResultUntouched) {
  for (uint32_t index : {6u, 7u, 1000u, 0x80000000u, 0xFFFFFFFFu}) {
    PluginHost::Outcome outcome = plugin().callFunction(index, "p", "as the host set it");
    EXPECT_EQ(outcome.text(), "as the host set it") << index;
    EXPECT_EQ(outcome.resizeCount, 0) << index;
    EXPECT_TRUE(outcome.recordIntact) << index;
  }
}

TEST(HostProtocol, OtherCallKindsDoNothing) {
  for (uint8_t kind : {1, 2, 4, 6, 7, 200, 255}) EXPECT_TRUE(plugin().callKind(kind, 0)) << int(kind);
}

}  // namespace
