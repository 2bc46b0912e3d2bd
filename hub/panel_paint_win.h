// The status panel, drawn onto any device context: the dialog's client area, or a memory
// bitmap in the tests.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "hub_settings.h"
#include "terminal_registry.h"

struct PanelContent {
  const HubSettings& settings;  // layout, font and colour of the value rows
  TerminalCounts counts;
  uint32_t checksum;
  const std::string& time_stamp;
};

// The client rectangle that holds the values; state changes repaint only this.
inline constexpr RECT kPanelRegion = {175, 0, 900, 150};

// Draws the four label and value rows, the gradient rule and the version rows.
void PaintContent(HDC dc, const PanelContent& content);
