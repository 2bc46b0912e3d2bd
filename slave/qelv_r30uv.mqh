//+------------------------------------------------------------------+
//| qelv_r30uv.mqh - the slave bridge library for the slave experts   |
//+------------------------------------------------------------------+
// Put qelv_r30uv.dll into experts\libraries and allow DLL imports.
//
// Calling order of a slave expert (chart = WindowHandle(Symbol(), Period())):
//   init:   _init(chart, 0); _find_window(channel id)  (0: no hub of that channel is running)
//   timer:  _qelv_marker_send(chart, instance) at least every 10 seconds (the hub drops a
//           terminal that has been silent for 30 seconds);
//           if (_qelv_get_crc() != _images_calc_crc()) {
//             _qelv_images_get(chart);       // the hub's answer is stored before this returns
//             if (_images_split() == 1) walk the set (below)
//           }
//   deinit: _deinit(chart, instance)
// Pass the same chart window to _init, _deinit and _qelv_images_get: the library receives the
// hub's answer by taking over that window's procedure between the first _init and the last
// _deinit. `instance` is a number of the expert's choosing; a marker answers 1 when another
// instance already holds the window, 0 when this one is registered. The link exports answer
// -1 (_qelv_get_crc 0) while no hub is known: call _find_window again.
//
// Walking the set after a split that answered 1 (0: a malformed order line, the set is partial):
//   _images_get_info(masters, slaves);
//   for (i = 0; i < _images_total(); i++) {
//     _image_select(i); _image_get_info(channel_id, login);
//     for (pool = 0; pool <= 1; pool++)             // 0 open orders, 1 history orders
//       for (k = 0; k < _orders_total(pool); k++) { _order_select(k, pool); _order_get(...); }
//   }
// Queries answer 1 on success and 0 when the selection is outside the set (nothing is written).
//
// Texts. Input texts are single-byte: a current terminal's strings are Unicode, so pass the
// channel id as a uchar array filled by StringToCharArray(text, array). Output texts are written
// as single-byte texts with a terminating zero into the buffer of element 0 of the string array
// passed (the terminal passes an element as its length followed by a pointer to its buffer).
// The library cannot know the buffer's size: fill the element to its capacity before the call,
// e.g. StringInit(channel_id[0], 256, ' '):
//   channel id and login: 256 characters (longer texts are cut to 255)
//   symbol: 32 characters (31 kept), comment: 128 characters (127 kept)
// An element that was never filled has no buffer: the call then answers 0 and writes nothing.
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
int _image_get_info(string &channel_id[], string &login[]);
int _orders_total(int pool);
int _order_select(int index, int pool);
int _order_get(int &num1, int &num2, int &type, double &lots, string &symbol[],
               double &price6, double &price7, double &price8, int &close_time,
               double &close_price, int &num11, int &num12, string &comment[]);
#import
