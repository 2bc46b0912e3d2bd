//+------------------------------------------------------------------+
//| e-qelv-slave.mq4 - copies the masters' orders to this account     |
//+------------------------------------------------------------------+
// Every decision is the library's copy planner's: each pass the expert gives it the account's
// orders and the symbols' facts, runs the trade calls of the plan one by one and reports each
// result. Attach it to one chart of every slave terminal.
#property strict
#property description "Copies the orders of the masters that the qelv hub publishes to this account."

#include <qelv_r30uv.mqh>

input string ChannelId          = "qelv_channel_1"; // Channel id of the hub
input double LotMultiplier      = 1.0;   // Lot multiplier (copy lots = master lots x this)
input double FixedLots          = 0.0;   // Fixed lots of every copy (0: use the multiplier)
input double MaxLots            = 0.0;   // Max lots of a copy (0: no limit)
input string SymbolPairs        = "";    // Symbol pairs master=slave, e.g. GOLD=XAUUSD,SILVER=XAGUSD
input string MasterPrefix       = "";    // Prefix removed from the master's symbols
input string MasterSuffix       = "";    // Suffix removed from the master's symbols
input string SlavePrefix        = "";    // Prefix added for this account's symbols
input string SlaveSuffix        = "";    // Suffix added for this account's symbols
input bool   Reverse            = false; // Reverse: buy<->sell, limit<->stop, SL<->TP
input bool   CopyPending        = true;  // Copy pending orders
input bool   CopyStops          = true;  // Copy stop loss and take profit
input int    MaxDeviationPoints = 0;     // Max distance from the master's price, points (0: any)
input int    MaxSignalAge       = 0;     // Max age of a master order, seconds (0: any)
input bool   CopyOldOrders      = false; // Copy orders opened before this chart began following
input string AllowedSymbols     = "";    // Only these symbols, e.g. EURUSD,GBPUSD (empty: all)
input string DeniedSymbols      = "";    // Never these symbols
input string AllowedMagics      = "";    // Only master orders with these magic numbers (empty: all)
input string CommentContains    = "";    // Only master orders whose comment contains this
input string Masters            = "";    // Only these master logins, e.g. 4711,4712 (empty: all)
input int    MasterTimeOffset   = 0;     // Seconds to add to this server's time for the masters' (e.g. 3600)
input int    Slippage           = 30;    // Slippage, points
input int    HistoryDays        = 7;     // Days of account history shown to the planner

// _copier_action_get's kinds
#define ACTION_CLOSE         0
#define ACTION_DELETE        1
#define ACTION_PARTIAL_CLOSE 2
#define ACTION_MODIFY        3
#define ACTION_OPEN          4

const int  INSTANCE           = 1;
const uint MARKER_INTERVAL_MS = 5000;
const int  WAIT_MS            = 250;
const int  COMMON_ERROR       = 2;   // GetLastError()'s "common error"

uchar  g_channel_id[];
int    g_chart;          // this chart's window: the library's name for this expert
bool   g_attached;       // _init was called, _deinit is owed
int    g_held_crc;
uint   g_last_marker;
bool   g_told_trading_off;
string g_last_log[];

int OnInit()
  {
   g_chart = (int)ChartGetInteger(0, CHART_WINDOW_HANDLE);
   g_attached = false;
   g_held_crc = 0;
   g_told_trading_off = false;
   ArrayResize(g_last_log, 0);
   if(Slippage < 0 || HistoryDays < 1)
     {
      Print("Slippage must be 0 or more and HistoryDays 1 or more");
      return INIT_PARAMETERS_INCORRECT;
     }
   uchar settings[];
   StringToCharArray(SettingsText(), settings, 0, -1, CP_UTF8);
   int problems = _copier_settings(g_chart, settings, ArraySize(settings));
   PrintNewLogLines();
   if(problems != 0)
     {
      // A setting left at its default is not what the trader asked for: copy nothing then.
      Print("the settings have problems (above): nothing is copied until they are corrected");
      return INIT_PARAMETERS_INCORRECT;
     }
   StringToCharArray(ChannelId, g_channel_id, 0, -1, CP_UTF8);
   _init(g_chart, 0);
   g_attached = true;
   if(_find_window(g_channel_id) == 0)
      Print("no hub of channel ", ChannelId, " is running yet; looking for it every few seconds");
   _qelv_marker_send(g_chart, INSTANCE);
   g_last_marker = GetTickCount();
   if(!EventSetMillisecondTimer(1))
      return INIT_FAILED;
   return INIT_SUCCEEDED;
  }

void OnDeinit(const int reason)
  {
   EventKillTimer();
   _copier_end(g_chart);
   if(g_attached)
      _deinit(g_chart, INSTANCE);
   g_attached = false;
  }

void OnTimer()
  {
   if(GetTickCount() - g_last_marker >= MARKER_INTERVAL_MS)
     {
      g_last_marker = GetTickCount();
      if(_qelv_marker_send(g_chart, INSTANCE) == -1)
         FindHub();
     }
   int published = _qelv_wait_crc(g_held_crc, WAIT_MS);
   if(published == -1)
     {
      if(!FindHub())
         Sleep(WAIT_MS);   // no hub: keep the pace the wait keeps
     }
   else if(published != _images_calc_crc())
     {
      _qelv_images_get(g_chart);   // the hub's answer is stored before this returns
      _images_split();
      g_held_crc = published;
     }
   if(IsStopped() || !IsConnected() || AccountNumber() == 0)
      return;   // the account's orders are not known yet
   CopyPass();
  }

bool FindHub()
  {
   if(_find_window(g_channel_id) == 0)
      return false;
   _qelv_marker_send(g_chart, INSTANCE);
   return true;
  }

void CopyPass()
  {
   _copier_begin(g_chart, (int)TimeCurrent(), (int)FollowingSince());
   for(int i = OrdersTotal() - 1; i >= 0; i--)
      if(OrderSelect(i, SELECT_BY_POS, MODE_TRADES))
         AddSelectedOrder(0);
   datetime since = TimeCurrent() - HistoryDays * 86400;
   for(int k = OrdersHistoryTotal() - 1; k >= 0; k--)
      if(OrderSelect(k, SELECT_BY_POS, MODE_HISTORY) && OrderType() <= OP_SELLSTOP && OrderCloseTime() >= since)
         AddSelectedOrder(1);
   AddSymbolFacts();
   int actions = _copier_plan(g_chart);
   PrintNewLogLines();
   if(actions <= 0)
      return;
   // Trading off, or the trade context busy: the next pass plans again.
   if(!IsTradeAllowed())
     {
      if(!g_told_trading_off && !IsTradeContextBusy())
        {
         Print("trading by experts is off (AutoTrading, or Allow live trading in the expert's properties): nothing is copied");
         g_told_trading_off = true;
        }
      return;
     }
   g_told_trading_off = false;
   for(int a = 0; a < actions; a++)
      if(!RunAction(a))
         return;   // the next pass plans from the orders as they are then
  }

void AddSelectedOrder(int pool)
  {
   uchar symbol[];
   StringToCharArray(OrderSymbol(), symbol, 0, -1, CP_UTF8);
   _copier_order_add(g_chart, pool, OrderTicket(), OrderType(), OrderLots(), symbol, ArraySize(symbol),
                     OrderOpenPrice(), OrderStopLoss(), OrderTakeProfit(), OrderMagicNumber(),
                     (int)OrderExpiration());
  }

void AddSymbolFacts()
  {
   RefreshRates();
   uchar name_bytes[64];
   int wanted = _copier_symbols_wanted(g_chart);
   for(int i = 0; i < wanted; i++)
     {
      if(_copier_symbol_name(g_chart, i, name_bytes, ArraySize(name_bytes)) != 1)
         continue;
      string name = CharArrayToString(name_bytes, 0, -1, CP_UTF8);
      bool exists = SymbolSelect(name, true);   // also brings its prices to Market Watch
      _copier_symbol_add(g_chart, name_bytes, ArraySize(name_bytes), exists ? 1 : 0,
                         (int)MarketInfo(name, MODE_DIGITS), MarketInfo(name, MODE_POINT),
                         MarketInfo(name, MODE_MINLOT), MarketInfo(name, MODE_MAXLOT),
                         MarketInfo(name, MODE_LOTSTEP), (int)MarketInfo(name, MODE_STOPLEVEL),
                         MarketInfo(name, MODE_BID), MarketInfo(name, MODE_ASK));
     }
  }

// Runs action `index` of the plan and reports its result; false when it was not done.
bool RunAction(int index)
  {
   int kind = 0, ticket = 0, type = 0, expiration = 0, magic = 0;
   double lots = 0, price = 0, sl = 0, tp = 0;
   uchar symbol_bytes[64], comment_bytes[128];
   if(_copier_action_get(g_chart, index, kind, ticket, symbol_bytes, ArraySize(symbol_bytes), type,
                         lots, price, sl, tp, expiration, magic, comment_bytes, ArraySize(comment_bytes)) != 1)
      return false;
   string symbol = CharArrayToString(symbol_bytes, 0, -1, CP_UTF8);
   RefreshRates();
   int digits = (int)MarketInfo(symbol, MODE_DIGITS);
   double bid = MarketInfo(symbol, MODE_BID);
   double ask = MarketInfo(symbol, MODE_ASK);
   lots = NormalizeDouble(lots, LotsDigits(symbol));
   bool done = false;
   int new_ticket = 0;
   ResetLastError();
   switch(kind)
     {
      case ACTION_CLOSE:
      case ACTION_PARTIAL_CLOSE:
         done = OrderClose(ticket, lots, type == OP_BUY ? bid : ask, Slippage);
         break;
      case ACTION_DELETE:
         done = OrderDelete(ticket);
         break;
      case ACTION_MODIFY:
         done = OrderModify(ticket, NormalizeDouble(price, digits), NormalizeDouble(sl, digits),
                            NormalizeDouble(tp, digits), (datetime)expiration);
         break;
      case ACTION_OPEN:
        {
         double open_price = type == OP_BUY ? ask : type == OP_SELL ? bid : NormalizeDouble(price, digits);
         new_ticket = OrderSend(symbol, type, lots, open_price, Slippage, NormalizeDouble(sl, digits),
                                NormalizeDouble(tp, digits), CharArrayToString(comment_bytes, 0, -1, CP_UTF8),
                                magic, (datetime)expiration);
         done = new_ticket > 0;
         break;
        }
      default:
         Print("action ", index, " is of an unknown kind ", kind, "; nothing done");
         return false;
     }
   int error = done ? 0 : GetLastError();
   if(!done && error == 0)
      error = COMMON_ERROR;   // failed without a code: still a failure
   if(!done)
      Print("action ", index, " (kind ", kind, ", #", ticket, " ", symbol, ") failed: error ", error);
   _copier_action_done(g_chart, index, error, done ? new_ticket : 0);
   return done;
  }

// The plan says again every pass what still holds: print only the lines the last pass lacked.
void PrintNewLogLines()
  {
   int count = _copier_log_count(g_chart);
   string lines[];
   ArrayResize(lines, count > 0 ? count : 0);
   uchar text[512];
   for(int i = 0; i < count; i++)
     {
      lines[i] = _copier_log_get(g_chart, i, text, ArraySize(text)) == 1 ? CharArrayToString(text, 0, -1, CP_UTF8) : "";
      if(!Contains(g_last_log, lines[i]))
         Print(lines[i]);
     }
   ArrayResize(g_last_log, ArraySize(lines));
   for(int k = 0; k < ArraySize(lines); k++)
      g_last_log[k] = lines[k];
  }

bool Contains(const string &list[], string line)
  {
   for(int i = 0; i < ArraySize(list); i++)
      if(list[i] == line)
         return true;
   return false;
  }

// When this chart began following: a terminal global variable of this account and chart keeps
// it through restarts. 0 while the account or the server's time is not known yet.
datetime FollowingSince()
  {
   if(AccountNumber() == 0 || TimeCurrent() == 0)
      return 0;
   string name = "qelv.following." + IntegerToString(AccountNumber()) + "." + IntegerToString(ChartID());
   if(!GlobalVariableCheck(name))
     {
      GlobalVariableSet(name, (double)TimeCurrent());
      GlobalVariablesFlush();
     }
   return (datetime)GlobalVariableGet(name);   // read every pass: unread for 4 weeks, it is deleted
  }

string SettingsText()
  {
   return "lot_multiplier=" + DoubleToString(LotMultiplier, 8) + "\n" +
          "fixed_lots=" + DoubleToString(FixedLots, 8) + "\n" +
          "max_lots=" + DoubleToString(MaxLots, 8) + "\n" +
          "symbol_map=" + SymbolPairs + "\n" +
          "master_prefix=" + MasterPrefix + "\n" +
          "master_suffix=" + MasterSuffix + "\n" +
          "slave_prefix=" + SlavePrefix + "\n" +
          "slave_suffix=" + SlaveSuffix + "\n" +
          "reverse=" + YesNo(Reverse) + "\n" +
          "copy_pending=" + YesNo(CopyPending) + "\n" +
          "copy_stops=" + YesNo(CopyStops) + "\n" +
          "max_deviation_points=" + IntegerToString(MaxDeviationPoints) + "\n" +
          "max_signal_age=" + IntegerToString(MaxSignalAge) + "\n" +
          "copy_old=" + YesNo(CopyOldOrders) + "\n" +
          "allow_symbols=" + AllowedSymbols + "\n" +
          "deny_symbols=" + DeniedSymbols + "\n" +
          "allow_magics=" + AllowedMagics + "\n" +
          "comment_contains=" + CommentContains + "\n" +
          "masters=" + Masters + "\n" +
          "master_time_offset=" + IntegerToString(MasterTimeOffset) + "\n";
  }

string YesNo(bool value)
  {
   return value ? "yes" : "no";
  }

// The decimals of the symbol's lot step; 8 when the step is not known.
int LotsDigits(string symbol)
  {
   double step = MarketInfo(symbol, MODE_LOTSTEP);
   if(step <= 0)
      return 8;
   int digits = 0;
   while(digits < 8 && MathAbs(step * MathPow(10, digits) - MathRound(step * MathPow(10, digits))) > 1e-6)
      digits++;
   return digits;
  }
//+------------------------------------------------------------------+
