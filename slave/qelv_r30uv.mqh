//+------------------------------------------------------------------+
//| qelv_r30uv.mqh - the slave bridge library for the slave experts   |
//+------------------------------------------------------------------+
// Put qelv_r30uv.dll into MQL4\Libraries of the terminal's data folder (File > Open Data
// Folder), this file into MQL4\Include, and allow DLL imports (Tools > Options > Expert
// Advisors). Include it with #include <qelv_r30uv.mqh>.
//
// Calling cycle of a slave expert (chart = WindowHandle(Symbol(), Period()), the chart's window):
//   OnInit:   _init(chart, 0);
//             StringToCharArray(channel, channel_id, 0, -1, CP_UTF8);
//             _find_window(channel_id)            (0: no hub of that channel is running)
//             EventSetMillisecondTimer(...)
//   OnTimer:  _qelv_marker_send(chart, instance) at least every 10 seconds (the hub drops a
//             terminal that has been silent for 30 seconds);
//             if (_qelv_get_crc() != _images_calc_crc()) {
//               _qelv_images_get(chart);          // the hub's answer is stored before this returns
//               if (_images_split() == 1) walk the set (below)
//             }
//   OnDeinit: _deinit(chart, instance)
// Pass the same chart window to _init, _deinit and _qelv_images_get: the library receives the
// hub's answer by taking over that window's procedure between the first _init and the last
// _deinit. `instance` is a number of the expert's choosing; a marker answers 1 when another
// instance already holds the window, 0 when this one is registered. The link exports answer
// -1 (_qelv_get_crc 0) while no hub is known: call _find_window again.
//
// Walking the set after a split that answered 1 (0: a malformed order line, the set is partial):
//   uchar channel_id[256], login[256], symbol[32], comment[128];
//   _images_get_info(masters, slaves);
//   for (i = 0; i < _images_total(); i++) {
//     _image_select(i);
//     _image_get_info_a(channel_id, ArraySize(channel_id), login, ArraySize(login));
//     string master_login = CharArrayToString(login, 0, -1, CP_UTF8);
//     for (pool = 0; pool <= 1; pool++)             // 0 open orders, 1 history orders
//       for (k = 0; k < _orders_total(pool); k++) {
//         _order_select(k, pool);
//         _order_get_a(num1, num2, type, lots, symbol, ArraySize(symbol), price6, price7,
//                      price8, close_time, close_price, num11, num12, comment, ArraySize(comment));
//         string order_symbol = CharArrayToString(symbol, 0, -1, CP_UTF8);
//         string order_comment = CharArrayToString(comment, 0, -1, CP_UTF8);
//       }
//   }
//
// Answers. Queries answer 1 on success. 0 means nothing was written, not a number nor a byte:
// the selection is outside the set (the set changed, or the index is out of range), or a size
// passed is below 1. Walk again after the next split.
//
// Texts. Input texts are bytes: pass the channel id as a uchar array filled by
// StringToCharArray(text, array, 0, -1, CP_UTF8), which ends it with a zero byte.
// (A count of -1 is the whole text; MQL4's WHOLE_ARRAY is 0, which is no such count here.)
// Output texts are written into the uchar array passed, as the master's bytes (UTF-8 when the
// master expert writes UTF-8) followed by one zero byte, cut to ArraySize - 1 bytes; a cut never
// ends inside a character. Read them with CharArrayToString(array, 0, -1, CP_UTF8). Sizes that
// hold every text the designed buffers hold: channel id and login 256, symbol 32, comment 128.
//
// Experts compiled for terminals before build 600 read the texts through string arrays instead:
//   int _image_get_info(string &channel_id[], string &login[]);
//   int _order_get(int &num1, int &num2, int &type, double &lots, string &symbol[],
//                  double &price6, double &price7, double &price8, int &close_time,
//                  double &close_price, int &num11, int &num12, string &comment[]);
// with element 0 of each array filled to its capacity first (StringInit). A current terminal
// cannot pass a string array to a library: use the _a forms.
//
// The copier. The library also plans what a copying expert does: every decision is the
// planner's, the expert gathers its terminal's facts, calls, runs the trade calls and reports.
// `expert` names the expert, unique in the terminal: its chart's window,
// (int)ChartGetInteger(0, CHART_WINDOW_HANDLE) (WindowHandle(Symbol(), Period()) gives two
// charts of one symbol and period the same value). Texts go in as UTF-8 byte arrays filled by
// StringToCharArray(text, array, 0, -1, CP_UTF8) with ArraySize(array): a text ends at
// its first zero byte, or at that size, so a fixed array longer than its text will do. Texts
// come out as the queries above write them, cut to any size of 1 or more.
//   OnInit:   _copier_settings(expert, settings, ArraySize(settings))   (0: no problems; each
//             problem is a log line, followed by the settings in use); then _init, _find_window
//             as above
//   OnTimer (EventSetMillisecondTimer(1) or (10)):
//             _qelv_marker_send(chart, instance) every few seconds;
//             crc = _qelv_wait_crc(held_crc, 250);   (returns as soon as a new set is published;
//                                                     -1: no hub, call _find_window again)
//             if (crc != -1 && crc != _images_calc_crc()) {
//               _qelv_images_get(chart); _images_split(); held_crc = crc;
//             }
//             _copier_begin(expert, TimeCurrent(), following_since);
//             _copier_order_add(expert, 0, ...) for every open and pending order,
//             _copier_order_add(expert, 1, ...) for the history orders of the last days;
//             n = _copier_symbols_wanted(expert); for each: _copier_symbol_name, MarketInfo,
//             _copier_symbol_add;
//             n = _copier_plan(expert); print the log lines (_copier_log_count, _copier_log_get)
//             that differ from the last plan's;
//             for each action i < n: _copier_action_get; OrderClose (kind 0 close, 2 partial
//             close), OrderDelete (1), OrderModify (3) or OrderSend (4);
//             _copier_action_done(expert, i, done ? 0 : GetLastError(), new ticket or 0);
//             after a failed action stop: the next pass plans from the orders as they are then.
//   OnDeinit: _copier_end(expert); _deinit(chart, instance)
// Answers: _copier_settings the number of problems, _copier_begin, _copier_order_add,
// _copier_symbol_add and _copier_end 0, _copier_plan the number of actions (-1 before any
// settings), _copier_symbols_wanted and _copier_log_count their counts, the reads and
// _copier_action_done 1. Bad arguments (an
// array of size 0, an expert without settings or begin, an index out of range, a price that is
// no number) answer -1, or 0 where the answer is a count or 1, and change nothing.
// Times: pass this terminal's server time, TimeCurrent(), and "following since" on the same
// clock. The masters' order times are their server's: the setting master_time_offset (seconds,
// may be negative) is what to add to this server's time to get the masters'. Expirations in the
// actions are this server's.
// An action's price is the order's price for a pending open and a modify; for a close, a partial
// close and a market open it is the price when planned, for information only: trade at the bid
// or ask of the moment (RefreshRates, MarketInfo).
// Copies carry a magic number made of the master's login and the first ticket of the master
// order's partial-close chain: the planner recognises them after any restart.
// Two copying experts in one terminal: each master login is copied by the first expert that
// claims it, the other's log says which one copies it. They share the set the library holds,
// received through the chart of the first expert attached: when that expert is removed while
// the other stays, the other gets new sets only after it is attached again (remove and attach
// it, or change its inputs).
#import "qelv_r30uv.dll"
int _init(int chart, int reserved);
int _deinit(int chart, int instance);
int _find_window(uchar &channel_id[]);
int _qelv_marker_send(int chart, int instance);
int _qelv_get_crc();
int _qelv_images_get(int chart);
int _images_calc_crc();
int _images_split();
int _images_total();
int _images_get_info(int &master_cnt, int &slave_cnt);
int _image_select(int index);
int _image_get_info_a(uchar &channel_id[], int channel_id_size, uchar &login[], int login_size);
int _orders_total(int pool);
int _order_select(int index, int pool);
int _order_get_a(int &num1, int &num2, int &type, double &lots, uchar &symbol[], int symbol_size,
                 double &price6, double &price7, double &price8, int &close_time,
                 double &close_price, int &num11, int &num12, uchar &comment[], int comment_size);
// The copier.
int _copier_settings(int expert, uchar &text[], int size);
int _copier_begin(int expert, int now, int following_since);
int _copier_order_add(int expert, int pool, int ticket, int type, double lots,
                      uchar &symbol[], int symbol_size, double open_price, double sl, double tp,
                      int magic, int expiration);
int _copier_symbols_wanted(int expert);
int _copier_symbol_name(int expert, int index, uchar &name[], int size);
int _copier_symbol_add(int expert, uchar &name[], int size, int exists, int digits, double point,
                       double lot_min, double lot_max, double lot_step, int stops_level,
                       double bid, double ask);
int _copier_plan(int expert);
int _copier_action_get(int expert, int index, int &kind, int &ticket, uchar &symbol[],
                       int symbol_size, int &type, double &lots, double &price, double &sl,
                       double &tp, int &expiration, int &magic, uchar &comment[], int comment_size);
int _copier_action_done(int expert, int index, int error, int new_ticket);
int _copier_log_count(int expert);
int _copier_log_get(int expert, int index, uchar &line[], int size);
int _copier_end(int expert);
int _qelv_wait_crc(int held_crc, int timeout_ms);
#import
