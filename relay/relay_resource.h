// Resource identifiers of the relay program.
#pragma once

#define IDD_RELAY_STATUS 101
// Row n (0-5) of the status window: its label IDC_RELAY_LABEL0 + n, its value IDC_RELAY_VALUE0 + n.
#define IDC_RELAY_LABEL0 1000
#define IDC_RELAY_VALUE0 1010
