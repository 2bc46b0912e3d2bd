//+------------------------------------------------------------------+
//| qelv_d30or.mqh - the master bridge library for the master expert  |
//+------------------------------------------------------------------+
// Put qelv_d30or.dll into MQL4\Libraries of the terminal's data folder (File > Open Data
// Folder), this file into MQL4\Include, and allow DLL imports (Tools > Options > Expert
// Advisors). Include it with #include <qelv_d30or.mqh>.
//
// Calling cycle of the master expert:
//   OnInit:   _init(0, 0);
//             StringToCharArray(channel, channel_id, 0, -1, CP_UTF8);
//             _find_window(channel_id)            (0: no hub of that channel is running)
//             EventSetMillisecondTimer(...)
//   OnTimer:  _marker_send(window, instance) at least every 10 seconds (the hub drops a
//             terminal that has been silent for 30 seconds);
//             _image_clear(); _image_set(channel_id, login);
//             _image_append(0, ...) for every open order, _image_append(1, ...) for every
//             history order; when _get_crc() changed since the last send, _image_send(window)
//   OnDeinit: _deinit(window, instance)
// `window` and `instance` are two integers of the expert's choosing that the hub uses to tell
// this terminal apart (the chart's WindowHandle(Symbol(), Period()) is a good `window`); give
// the same `window` to _marker_send and _image_send, and an `instance` other than 0 (the hub
// drops images of a master whose instance is 0). A marker answers 1 when another instance
// already holds `window`, 0 when this one is registered.
// Every export that talks to the hub answers -1 while no hub is known: call _find_window
// again (a hub that was restarted is found again that way).
//
// Texts are bytes: a terminal's strings are UTF-16, so pass each text as a uchar array filled
// by StringToCharArray(text, array, 0, -1, CP_UTF8), which ends it with a zero byte.
// (A count of -1 is the whole text; MQL4's WHOLE_ARRAY is 0, which is no such count here.)
// The slaves receive these bytes unchanged and read them back with CharArrayToString(array,
// 0, -1, CP_UTF8); they read at most 31 bytes of a symbol and 127 of a comment.
// Reals are written with "." whatever the regional settings. A line is kept within 1023
// characters by shortening the comment, then the symbol; TAB and line feed become blanks.
#import "qelv_d30or.dll"
int  _init(int reserved1, int reserved2);
int  _deinit(int window, int instance);
int  _find_window(uchar &channel_id[]);
int  _marker_send(int window, int instance);
int  _get_crc();
void _image_clear();
void _image_set(uchar &channel_id[], uchar &login[]);
// pool: 0 open orders (close_time and close_price are written as 0), 1 history orders.
// price_digits and lots_digits: decimals of the prices and of the lots (0 to 16).
// type is the terminal's order type code; what num1, num2, price6 to price8, num11 and num12
// hold is agreed between the master and the slave experts: the slaves read them unchanged.
void _image_append(int pool, int price_digits, int lots_digits,
                   int num1, int num2, int type, double lots, uchar &symbol[],
                   double price6, double price7, double price8,
                   int close_time, double close_price, int num11, int num12,
                   uchar &comment[]);
void _image_send(int window);
#import
