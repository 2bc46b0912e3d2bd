//+------------------------------------------------------------------+
//| qelv_r30uv.mqh - the slave bridge library for the slave expert    |
//+------------------------------------------------------------------+
// Put qelv_r30uv.dll into experts\libraries and allow DLL imports.
//
// Calling order of the slave expert (chart = WindowHandle(Symbol(), Period())):
//   init:   _init(chart, 0); _find_window(channel id)  (0: no hub of that channel is running)
//   timer:  _qelv_marker_send(chart, instance) at least every 10 seconds (the hub drops a
//           terminal that has been silent for 30 seconds);
//           when _qelv_get_crc() != _images_calc_crc(): _qelv_images_get(chart), then
//           _images_split() (1: the whole set was read; 0: a malformed order line stopped it
//           and only what came before it is there), then walk:
//             _images_total(); for each image: _image_select(i), _image_get_info(id, login);
//             for pool 0 (open orders) and 1 (history): _orders_total(pool), and for each
//             order _order_select(k, pool), _order_get(...)
//   deinit: _deinit(chart, instance)
// Give every call the same chart. Every export that talks to the hub answers -1 while no hub is
// known (_qelv_get_crc answers 0): call _find_window again. The queries answer 1, or 0 without
// writing anything when the selection does not exist in the set last split.
//
// Texts come back in one-element string arrays: the library writes into the element's buffer,
// so fill the element before the call with at least as many characters as the text may need
// with its terminator: channel id and login 255 (longer ones are cut to 255), symbol 31,
// comment 127. A missing buffer makes the call answer 0.
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
// The fields of the order line in their order; what num1, num2, price6 to price8, num11 and
// num12 hold is agreed between the master and the slave experts.
int _order_get(int &num1, int &num2, int &type, double &lots, string &symbol[],
               double &price6, double &price7, double &price8, int &close_time,
               double &close_price, int &num11, int &num12, string &comment[]);
#import
