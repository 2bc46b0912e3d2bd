// The constants MQL4 and MQL5 share, with the terminal's values.
#pragma once
#include "mql_types.h"

namespace mql::common {

// Texts. <windows.h> makes macros of the code pages (of the same values).
#ifdef CP_UTF8
#undef CP_ACP
#undef CP_UTF8
#endif
constexpr uint CP_ACP = 0, CP_UTF8 = 65001;

// TimeToString().
constexpr int TIME_DATE = 1, TIME_MINUTES = 2, TIME_SECONDS = 4;

// Charts.
constexpr int CHART_WINDOW_HANDLE = 104;

// OnInit() answers and OnDeinit() reasons.
constexpr int INIT_SUCCEEDED = 0, INIT_FAILED = 1, INIT_PARAMETERS_INCORRECT = 2, INIT_AGENT_NOT_SUITABLE = 3;
constexpr int REASON_PROGRAM = 0, REASON_REMOVE = 1, REASON_RECOMPILE = 2, REASON_CHARTCHANGE = 3,
              REASON_CHARTCLOSE = 4, REASON_PARAMETERS = 5, REASON_ACCOUNT = 6, REASON_TEMPLATE = 7,
              REASON_INITFAILED = 8, REASON_CLOSE = 9;

constexpr color clrNONE = 0xFFFFFFFF, CLR_NONE = 0xFFFFFFFF;

}  // namespace mql::common
