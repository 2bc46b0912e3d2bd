// Resource identifiers of the hub program.
#pragma once

#define IDD_VARNICK_DIALOG 102
#define IDB_VARNICK_PICTURE 129
#define IDI_VARNICK 130
#define IDC_VARNICK_PICTURE 1000
