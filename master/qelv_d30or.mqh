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

// MT5 masters. The library reads an MT5 account's positions, pending orders and deals as an MT4
// master's orders, which the expert then appends as above: a position's deals are lots taken
// first in, first out, so that a partial close leaves the closed part in the history under the
// old ticket, commented "to #<new>", and goes on under the closing deal's order, commented
// "from #<old>", with the same magic, open time and price; each addition to a netting position
// is an order of its own, and a reversal closes them all and opens the rest as a new order.
// Put the library into MQL5\Libraries and this file into MQL5\Include of an MT5 terminal.
//
// Calling cycle of an MT5 master expert, OnTimer, after the marker as above:
//   _mt5_begin();
//   every position (PositionGetTicket(i)): _mt5_position_add(POSITION_IDENTIFIER, POSITION_TYPE,
//     POSITION_VOLUME, symbol, ArraySize(symbol), POSITION_PRICE_OPEN, POSITION_SL, POSITION_TP,
//     POSITION_TIME, POSITION_MAGIC, comment, ArraySize(comment));
//   every pending order (OrderGetTicket(i)): _mt5_order_add(ORDER_TICKET, ORDER_TYPE,
//     ORDER_VOLUME_CURRENT, ..., ORDER_TIME_SETUP, ORDER_TIME_EXPIRATION, ORDER_MAGIC, ...);
//   when the history may have changed (the positions' or orders' number or volumes changed, or
//   a second passed): _mt5_history_begin(); HistorySelect(0, TimeCurrent() + 86400), then every
//   deal: _mt5_deal_add(DEAL_TICKET, DEAL_ORDER,
//     DEAL_POSITION_ID, DEAL_ENTRY, DEAL_TYPE, DEAL_VOLUME, DEAL_PRICE, DEAL_TIME, DEAL_MAGIC,
//     symbol, ArraySize(symbol), comment, ArraySize(comment));
//   and every history order: _mt5_finished_order_add(ORDER_TICKET, ORDER_TYPE, ORDER_STATE,
//     ORDER_VOLUME_INITIAL, ..., ORDER_TIME_SETUP, ORDER_TIME_DONE, ORDER_TIME_EXPIRATION,
//     ORDER_MAGIC, ...);
//   n = _mt5_build(TimeCurrent(), 3600, 200);   (the last hour's closed orders, newest 200)
//   _image_clear(); _image_set(channel_id, login);
//   for (i = 0; i < n; i++) {
//     _mt5_image_order_get(i, pool, ticket, open_time, type, lots, symbol, ArraySize(symbol),
//                          open_price, sl, tp, close_time, close_price, magic, expiration,
//                          comment, ArraySize(comment));
//     _image_append(pool, digits, lots_digits, ticket, open_time, type, lots, symbol, open_price,
//                   sl, tp, close_time, close_price, magic, expiration, comment);
//   }
//   when _get_crc() changed since the last send, _image_send(window)
// Give every deal of every open position: a position whose deals do not add up to its volume
// and side is published as one order under its identifier, with its own open time, price,
// magic and comment, and its closed parts are left out of the history until they do.
// Numbers as MQL5 has them: position and deal types 0 buy, 1 sell (other deal types, balance
// and the like, are passed over); deal entries 0 in, 1 out, 2 reversal, 3 closed by an opposite
// position; pending order types 2 to 5 are published as MT4's, stop-limit orders (6, 7) are
// not; history orders of state 2 (cancelled) and 6 (expired) and types 2 to 5 are history
// orders closed at ORDER_TIME_DONE with their open price as close price. Tickets and
// identifiers keep their low 31 bits (one whose low 31 bits are 0 becomes 1073741824), magic
// numbers their low 32, times their low 32 bits, as MT4's int.
// _mt5_begin forgets the positions and pending orders, _mt5_history_begin the deals and history
// orders: the history given stays until then.
// Answers: the adds, _mt5_begin and _mt5_history_begin 0, _mt5_build the number of image orders (open orders first,
// positions then pending orders, then history), _mt5_image_order_get 1. A missing array, a
// size below 1, a price or volume that is no number, or a negative window answer -1 and add
// nothing; _mt5_image_order_get answers 0 for an index outside the last build or an array of
// size 0. Texts in end at their first zero byte or at their size; texts out are cut as the
// slave library cuts them, never inside a character.
int  _mt5_begin();
int  _mt5_history_begin();
int  _mt5_position_add(long identifier, int type, double volume, uchar &symbol[], int symbol_size,
                       double price_open, double sl, double tp, long time, long magic,
                       uchar &comment[], int comment_size);
int  _mt5_order_add(long ticket, int type, double volume, uchar &symbol[], int symbol_size,
                    double price_open, double sl, double tp, long time_setup, long expiration,
                    long magic, uchar &comment[], int comment_size);
int  _mt5_deal_add(long ticket, long order, long position_id, int entry, int type, double volume,
                   double price, long time, long magic, uchar &symbol[], int symbol_size,
                   uchar &comment[], int comment_size);
int  _mt5_finished_order_add(long ticket, int type, int state, double volume_initial,
                             uchar &symbol[], int symbol_size, double price_open, double sl,
                             double tp, long time_setup, long time_done, long expiration,
                             long magic, uchar &comment[], int comment_size);
int  _mt5_build(long now, int recent_seconds, int max_recent);
int  _mt5_image_order_get(int index, int &pool, int &ticket, int &open_time, int &type,
                          double &lots, uchar &symbol[], int symbol_size, double &open_price,
                          double &sl, double &tp, int &close_time, double &close_price,
                          int &magic, int &expiration, uchar &comment[], int comment_size);
#import
