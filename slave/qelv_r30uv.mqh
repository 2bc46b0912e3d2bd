//+------------------------------------------------------------------+
//| qelv_r30uv.mqh - the slave bridge library for the slave experts   |
//+------------------------------------------------------------------+
// Put qelv_r30uv.dll into MQL4\Libraries of the terminal's data folder (File > Open Data
// Folder), this file into MQL4\Include, and allow DLL imports (Tools > Options > Expert
// Advisors). Include it with #include <qelv_r30uv.mqh>.
//
// Calling cycle of a slave expert (chart = WindowHandle(Symbol(), Period()), the chart's window):
//   OnInit:   _init(chart, 0);
//             StringToCharArray(channel, channel_id, 0, WHOLE_ARRAY, CP_UTF8);
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
// StringToCharArray(text, array, 0, WHOLE_ARRAY, CP_UTF8), which ends it with a zero byte.
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
#import
