//+------------------------------------------------------------------+
//| e-qelv-master.mq5 - publishes this MT5 account's trades to the hub |
//+------------------------------------------------------------------+
// The MT5 counterpart of e-qelv-master.mq4. Every 10 ms the expert gives the library this
// account's positions and pending orders (and, when they may have changed, its deals and
// finished orders); the library turns them into the image's orders with the meaning an MT4
// master gives them, so that any slave, MT4 or MT5, follows this account unchanged: a position
// is known by its identifier, a partial close leaves a closed part in the history and a
// remainder linked to it, a netting reversal closes one order and opens another. The expert
// sends the image when its checksum changed. Attach it to one chart of the master terminal.
#property description "Publishes the trades of this account to the qelv hub for the slaves to copy."

#include <qelv_d30or.mqh>

input string ChannelId = "qelv_channel_1"; // Channel id of the hub
input int    Instance  = 1;                // Instance number (not 0)

const uint MARKER_INTERVAL_MS = 5000;
const uint HISTORY_RESCAN_MS  = 1000;      // the last hour moves on even when no trade changes
const int  RECENT_SECONDS     = 3600;
const int  MAX_RECENT_CLOSED  = 200;

uchar  g_channel_id[];
int    g_window;
uint   g_last_marker;
bool   g_image_sent;
int    g_sent_crc;
// What the positions and orders looked like when the history was last read: any change in
// them is a deal, so the history is read again.
int    g_read_positions;
int    g_read_orders;
double g_read_net;
uint   g_history_read;

int OnInit()
  {
   if(Instance == 0)
     {
      Print("Instance must not be 0: the hub ignores the orders of a master of instance 0");
      return INIT_PARAMETERS_INCORRECT;
     }
   StringToCharArray(ChannelId, g_channel_id, 0, -1, CP_UTF8);
   g_window = (int)ChartGetInteger(0, CHART_WINDOW_HANDLE);
   g_image_sent = false;
   g_sent_crc = 0;
   g_read_positions = -1;
   _init(0, 0);
   if(_find_window(g_channel_id) == 0)
      Print("no hub of channel ", ChannelId, " is running yet; looking for it every few seconds");
   _marker_send(g_window, Instance);
   g_last_marker = GetTickCount();
   if(!EventSetMillisecondTimer(10))
      return INIT_FAILED;
   return INIT_SUCCEEDED;
  }

void OnDeinit(const int reason)
  {
   EventKillTimer();
   _deinit(g_window, Instance);
  }

void OnTimer()
  {
   if(GetTickCount() - g_last_marker >= MARKER_INTERVAL_MS)
     {
      g_last_marker = GetTickCount();
      if(_marker_send(g_window, Instance) == -1)
         FindHub();
     }
   if(AccountInfoInteger(ACCOUNT_LOGIN) == 0)
      return;   // not logged in: no login to publish the orders under
   BuildImage();
   int crc = _get_crc();
   if(g_image_sent && crc == g_sent_crc)
      return;
   _image_send(g_window);
   g_image_sent = true;
   g_sent_crc = crc;
  }

void FindHub()
  {
   if(_find_window(g_channel_id) == 0 || _marker_send(g_window, Instance) == -1)
      return;
   g_image_sent = false;   // a hub started anew holds no image of this master
  }

void BuildImage()
  {
   _mt5_begin();
   int positions = PositionsTotal();
   double net = 0;
   for(int i = 0; i < positions; i++)
      if(PositionGetTicket(i) != 0)
         net += AddSelectedPosition();
   int orders = OrdersTotal();
   for(int k = 0; k < orders; k++)
      if(OrderGetTicket(k) != 0)
         AddSelectedOrder();
   if(positions != g_read_positions || orders != g_read_orders || MathAbs(net - g_read_net) > 1e-9 ||
      GetTickCount() - g_history_read >= HISTORY_RESCAN_MS)
     {
      g_read_positions = positions;
      g_read_orders = orders;
      g_read_net = net;
      ReadHistory();
     }
   int total = _mt5_build(TimeCurrent(), RECENT_SECONDS, MAX_RECENT_CLOSED);
   uchar login[];
   StringToCharArray(IntegerToString(AccountInfoInteger(ACCOUNT_LOGIN)), login, 0, -1, CP_UTF8);
   _image_clear();
   _image_set(g_channel_id, login);
   for(int n = 0; n < total; n++)
      AppendImageOrder(n);
  }

// Gives the selected position; answers its volume, signed (sells below zero).
double AddSelectedPosition()
  {
   uchar symbol[], comment[];
   StringToCharArray(PositionGetString(POSITION_SYMBOL), symbol, 0, -1, CP_UTF8);
   StringToCharArray(PositionGetString(POSITION_COMMENT), comment, 0, -1, CP_UTF8);
   int type = (int)PositionGetInteger(POSITION_TYPE);
   double volume = PositionGetDouble(POSITION_VOLUME);
   _mt5_position_add(PositionGetInteger(POSITION_IDENTIFIER), type, volume, symbol, ArraySize(symbol),
                     PositionGetDouble(POSITION_PRICE_OPEN), PositionGetDouble(POSITION_SL),
                     PositionGetDouble(POSITION_TP), PositionGetInteger(POSITION_TIME),
                     PositionGetInteger(POSITION_MAGIC), comment, ArraySize(comment));
   return type == POSITION_TYPE_SELL ? -volume : volume;
  }

void AddSelectedOrder()
  {
   uchar symbol[], comment[];
   StringToCharArray(OrderGetString(ORDER_SYMBOL), symbol, 0, -1, CP_UTF8);
   StringToCharArray(OrderGetString(ORDER_COMMENT), comment, 0, -1, CP_UTF8);
   _mt5_order_add(OrderGetInteger(ORDER_TICKET), (int)OrderGetInteger(ORDER_TYPE),
                  OrderGetDouble(ORDER_VOLUME_CURRENT), symbol, ArraySize(symbol),
                  OrderGetDouble(ORDER_PRICE_OPEN), OrderGetDouble(ORDER_SL), OrderGetDouble(ORDER_TP),
                  OrderGetInteger(ORDER_TIME_SETUP), OrderGetInteger(ORDER_TIME_EXPIRATION),
                  OrderGetInteger(ORDER_MAGIC), comment, ArraySize(comment));
  }

// The whole history: a position's chain goes back to its first deal, however old.
void ReadHistory()
  {
   g_history_read = GetTickCount();
   _mt5_history_begin();
   if(!HistorySelect(0, TimeCurrent() + 86400))
      return;   // the library publishes each position whole until the history reads
   uchar symbol[], comment[];
   int deals = HistoryDealsTotal();
   for(int i = 0; i < deals; i++)
     {
      ulong deal = HistoryDealGetTicket(i);
      if(deal == 0)
         continue;
      StringToCharArray(HistoryDealGetString(deal, DEAL_SYMBOL), symbol, 0, -1, CP_UTF8);
      StringToCharArray(HistoryDealGetString(deal, DEAL_COMMENT), comment, 0, -1, CP_UTF8);
      _mt5_deal_add(deal, HistoryDealGetInteger(deal, DEAL_ORDER), HistoryDealGetInteger(deal, DEAL_POSITION_ID),
                    (int)HistoryDealGetInteger(deal, DEAL_ENTRY), (int)HistoryDealGetInteger(deal, DEAL_TYPE),
                    HistoryDealGetDouble(deal, DEAL_VOLUME), HistoryDealGetDouble(deal, DEAL_PRICE),
                    HistoryDealGetInteger(deal, DEAL_TIME), HistoryDealGetInteger(deal, DEAL_MAGIC),
                    symbol, ArraySize(symbol), comment, ArraySize(comment));
     }
   int finished = HistoryOrdersTotal();
   for(int k = 0; k < finished; k++)
     {
      ulong order = HistoryOrderGetTicket(k);
      if(order == 0)
         continue;
      StringToCharArray(HistoryOrderGetString(order, ORDER_SYMBOL), symbol, 0, -1, CP_UTF8);
      StringToCharArray(HistoryOrderGetString(order, ORDER_COMMENT), comment, 0, -1, CP_UTF8);
      _mt5_finished_order_add(order, (int)HistoryOrderGetInteger(order, ORDER_TYPE),
                              (int)HistoryOrderGetInteger(order, ORDER_STATE),
                              HistoryOrderGetDouble(order, ORDER_VOLUME_INITIAL), symbol, ArraySize(symbol),
                              HistoryOrderGetDouble(order, ORDER_PRICE_OPEN), HistoryOrderGetDouble(order, ORDER_SL),
                              HistoryOrderGetDouble(order, ORDER_TP), HistoryOrderGetInteger(order, ORDER_TIME_SETUP),
                              HistoryOrderGetInteger(order, ORDER_TIME_DONE),
                              HistoryOrderGetInteger(order, ORDER_TIME_EXPIRATION),
                              HistoryOrderGetInteger(order, ORDER_MAGIC), comment, ArraySize(comment));
     }
  }

void AppendImageOrder(int index)
  {
   int pool = 0, ticket = 0, open_time = 0, type = 0, close_time = 0, magic = 0, expiration = 0;
   double lots = 0, open_price = 0, sl = 0, tp = 0, close_price = 0;
   uchar symbol[64], comment[128];
   if(_mt5_image_order_get(index, pool, ticket, open_time, type, lots, symbol, ArraySize(symbol), open_price,
                           sl, tp, close_time, close_price, magic, expiration, comment, ArraySize(comment)) != 1)
      return;
   string name = CharArrayToString(symbol, 0, -1, CP_UTF8);
   _image_append(pool, PriceDigits(name), LotsDigits(name), ticket, open_time, type, lots, symbol,
                 open_price, sl, tp, close_time, close_price, magic, expiration, comment);
  }

// A symbol the terminal no longer offers answers 0 digits: keep 8 decimals then.
int PriceDigits(string symbol)
  {
   int digits = (int)SymbolInfoInteger(symbol, SYMBOL_DIGITS);
   return digits > 0 ? digits : 8;
  }

// The decimals of the symbol's volume step, at least 2; 8 when the step is not known.
int LotsDigits(string symbol)
  {
   double step = SymbolInfoDouble(symbol, SYMBOL_VOLUME_STEP);
   if(step <= 0)
      return 8;
   int digits = 0;
   while(digits < 8 && MathAbs(step * MathPow(10, digits) - MathRound(step * MathPow(10, digits))) > 1e-6)
      digits++;
   return digits < 2 ? 2 : digits;
  }
//+------------------------------------------------------------------+
