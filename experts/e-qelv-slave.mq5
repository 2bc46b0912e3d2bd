//+------------------------------------------------------------------+
//| e-qelv-slave.mq5 - copies the masters' orders to this MT5 account |
//+------------------------------------------------------------------+
// The MT5 counterpart of e-qelv-slave.mq4, over the same planner in the library: each pass the
// expert gives it the account's positions (as market orders), pending orders and closed
// positions and the symbols' facts, runs the trade requests of the plan one by one and reports
// each retcode. On a hedging account each master order has a position of its own, as on MT4;
// on a netting account the planner deals the masters' net per symbol (the README says what a
// netting account loses), and Masters must name the master logins.
//
// MT5 tickets are 64-bit, the planner's 32-bit: it knows a position or order by the low 31 bits
// of its ticket, which stay unique among the account's trades (tickets grow by one per order),
// and the expert finds the full ticket again among the open ones.
#property description "Copies the orders of the masters that the qelv hub publishes to this MT5 account."

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
input string Masters            = "";    // Only these master logins, e.g. 4711,4712 (netting: required)
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
const int  COMMON_ERROR       = 2;   // failed without a retcode: still a failure

uchar  g_channel_id[];
int    g_chart;          // this chart's window: the library's name for this expert
bool   g_attached;       // _init was called, _deinit is owed
bool   g_netting;
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
   g_netting = AccountInfoInteger(ACCOUNT_MARGIN_MODE) != ACCOUNT_MARGIN_MODE_RETAIL_HEDGING;
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
   if(IsStopped() || TerminalInfoInteger(TERMINAL_CONNECTED) == 0 || AccountInfoInteger(ACCOUNT_LOGIN) == 0)
      return;   // the account's trades are not known yet
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
   for(int i = PositionsTotal() - 1; i >= 0; i--)
      if(PositionGetTicket(i) != 0)
         AddOrder(0, PositionGetInteger(POSITION_TICKET), (int)PositionGetInteger(POSITION_TYPE),
                  PositionGetDouble(POSITION_VOLUME), PositionGetString(POSITION_SYMBOL),
                  PositionGetDouble(POSITION_PRICE_OPEN), PositionGetDouble(POSITION_SL),
                  PositionGetDouble(POSITION_TP), PositionGetInteger(POSITION_MAGIC), 0);
   for(int k = OrdersTotal() - 1; k >= 0; k--)
      if(OrderGetTicket(k) != 0 && IsPendingType((int)OrderGetInteger(ORDER_TYPE)))
         AddOrder(0, OrderGetInteger(ORDER_TICKET), (int)OrderGetInteger(ORDER_TYPE),
                  OrderGetDouble(ORDER_VOLUME_CURRENT), OrderGetString(ORDER_SYMBOL),
                  OrderGetDouble(ORDER_PRICE_OPEN), OrderGetDouble(ORDER_SL), OrderGetDouble(ORDER_TP),
                  OrderGetInteger(ORDER_MAGIC), OrderGetInteger(ORDER_TIME_EXPIRATION));
   if(!g_netting)
      AddClosedPositions();
   AddSymbolFacts();
   int actions = _copier_plan(g_chart);
   PrintNewLogLines();
   if(actions <= 0)
      return;
   if(TerminalInfoInteger(TERMINAL_TRADE_ALLOWED) == 0 || MQLInfoInteger(MQL_TRADE_ALLOWED) == 0)
     {
      if(!g_told_trading_off)
        {
         Print("trading by experts is off (Algo Trading, or Allow Algo Trading in the expert's properties): nothing is copied");
         g_told_trading_off = true;
        }
      return;
     }
   g_told_trading_off = false;
   for(int a = 0; a < actions; a++)
      if(!RunAction(a))
         return;   // the next pass plans from the trades as they are then
  }

bool IsPendingType(int type)
  {
   return type >= ORDER_TYPE_BUY_LIMIT && type <= ORDER_TYPE_SELL_STOP;   // stop-limit orders are not copies
  }

void AddOrder(int pool, long ticket, int type, double lots, string symbol, double open_price, double sl,
              double tp, long magic, long expiration)
  {
   uchar symbol_bytes[];
   StringToCharArray(symbol, symbol_bytes, 0, -1, CP_UTF8);
   _copier_order_add(g_chart, pool, ShortTicket(ticket), type, lots, symbol_bytes, ArraySize(symbol_bytes),
                     open_price, sl, tp, (int)magic, (int)expiration);
  }

// Positions closed in the last HistoryDays, one history order each, known by their identifier
// (a hedging position's ticket): a copy closed by its stop or by hand is never opened again.
void AddClosedPositions()
  {
   if(!HistorySelect(TimeCurrent() - HistoryDays * 86400, TimeCurrent() + 86400))
      return;
   long added[];
   int deals = HistoryDealsTotal();
   for(int i = deals - 1; i >= 0; i--)
     {
      ulong deal = HistoryDealGetTicket(i);
      if(deal == 0)
         continue;
      long entry = HistoryDealGetInteger(deal, DEAL_ENTRY);
      long type = HistoryDealGetInteger(deal, DEAL_TYPE);
      if((entry != DEAL_ENTRY_OUT && entry != DEAL_ENTRY_OUT_BY) || (type != DEAL_TYPE_BUY && type != DEAL_TYPE_SELL))
         continue;
      long position = HistoryDealGetInteger(deal, DEAL_POSITION_ID);
      if(Contains(added, position) || PositionSelectByTicket(position))
         continue;   // counted already, or only partly closed
      int n = ArraySize(added);
      ArrayResize(added, n + 1, 64);
      added[n] = position;
      // The closing deal goes the other way; a hit stop's deal carries the position's magic.
      AddOrder(1, position, type == DEAL_TYPE_SELL ? ORDER_TYPE_BUY : ORDER_TYPE_SELL,
               HistoryDealGetDouble(deal, DEAL_VOLUME), HistoryDealGetString(deal, DEAL_SYMBOL), 0, 0, 0,
               HistoryDealGetInteger(deal, DEAL_MAGIC), 0);
     }
  }

void AddSymbolFacts()
  {
   uchar name_bytes[64];
   int wanted = _copier_symbols_wanted(g_chart);
   for(int i = 0; i < wanted; i++)
     {
      if(_copier_symbol_name(g_chart, i, name_bytes, ArraySize(name_bytes)) != 1)
         continue;
      string name = CharArrayToString(name_bytes, 0, -1, CP_UTF8);
      bool exists = SymbolSelect(name, true);   // also brings its prices to Market Watch
      _copier_symbol_add(g_chart, name_bytes, ArraySize(name_bytes), exists ? 1 : 0,
                         (int)SymbolInfoInteger(name, SYMBOL_DIGITS), SymbolInfoDouble(name, SYMBOL_POINT),
                         SymbolInfoDouble(name, SYMBOL_VOLUME_MIN), SymbolInfoDouble(name, SYMBOL_VOLUME_MAX),
                         SymbolInfoDouble(name, SYMBOL_VOLUME_STEP),
                         (int)SymbolInfoInteger(name, SYMBOL_TRADE_STOPS_LEVEL),
                         SymbolInfoDouble(name, SYMBOL_BID), SymbolInfoDouble(name, SYMBOL_ASK));
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
   int digits = (int)SymbolInfoInteger(symbol, SYMBOL_DIGITS);
   MqlTradeRequest request;
   ZeroMemory(request);
   request.symbol = symbol;
   request.magic = (ulong)(uint)magic;
   request.volume = NormalizeDouble(lots, LotsDigits(symbol));
   request.deviation = (ulong)Slippage;
   switch(kind)
     {
      case ACTION_CLOSE:
      case ACTION_PARTIAL_CLOSE:
         // A netting plan names no position: a deal the other way reduces the symbol's.
         request.action = TRADE_ACTION_DEAL;
         request.position = ticket != 0 ? FullPositionTicket(ticket) : 0;
         request.type = type == ORDER_TYPE_BUY ? ORDER_TYPE_SELL : ORDER_TYPE_BUY;
         request.price = type == ORDER_TYPE_BUY ? SymbolInfoDouble(symbol, SYMBOL_BID) : SymbolInfoDouble(symbol, SYMBOL_ASK);
         if(ticket != 0 && request.position == 0)
            return Reported(index, kind, ticket, symbol, TRADE_RETCODE_POSITION_CLOSED);
         break;
      case ACTION_DELETE:
         request.action = TRADE_ACTION_REMOVE;
         request.order = FullOrderTicket(ticket);
         break;
      case ACTION_MODIFY:
         if(type == ORDER_TYPE_BUY || type == ORDER_TYPE_SELL)
           {
            request.action = TRADE_ACTION_SLTP;
            request.position = FullPositionTicket(ticket);
           }
         else
           {
            request.action = TRADE_ACTION_MODIFY;
            request.order = FullOrderTicket(ticket);
            request.price = NormalizeDouble(price, digits);
            SetExpiration(request, expiration);
           }
         request.sl = NormalizeDouble(sl, digits);
         request.tp = NormalizeDouble(tp, digits);
         break;
      case ACTION_OPEN:
         request.type = (ENUM_ORDER_TYPE)type;
         request.sl = NormalizeDouble(sl, digits);
         request.tp = NormalizeDouble(tp, digits);
         request.comment = CharArrayToString(comment_bytes, 0, -1, CP_UTF8);
         if(type == ORDER_TYPE_BUY || type == ORDER_TYPE_SELL)
           {
            request.action = TRADE_ACTION_DEAL;
            request.price = type == ORDER_TYPE_BUY ? SymbolInfoDouble(symbol, SYMBOL_ASK) : SymbolInfoDouble(symbol, SYMBOL_BID);
           }
         else
           {
            request.action = TRADE_ACTION_PENDING;
            request.price = NormalizeDouble(price, digits);
            SetExpiration(request, expiration);
           }
         break;
      default:
         Print("action ", index, " is of an unknown kind ", kind, "; nothing done");
         return false;
     }
   return Reported(index, kind, ticket, symbol, Send(request));
  }

// Sends the request under each fill policy the symbol allows, until one is not refused as
// unsupported; the retcode of the last try, or 0 when the server answered nothing.
uint Send(MqlTradeRequest &request)
  {
   long modes = SymbolInfoInteger(request.symbol, SYMBOL_FILLING_MODE);
   MqlTradeResult result;
   for(int policy = 0; policy < 3; policy++)
     {
      if((policy == 0 && (modes & SYMBOL_FILLING_FOK) == 0) || (policy == 1 && (modes & SYMBOL_FILLING_IOC) == 0))
         continue;
      request.type_filling = policy == 0 ? ORDER_FILLING_FOK : policy == 1 ? ORDER_FILLING_IOC : ORDER_FILLING_RETURN;
      ZeroMemory(result);
      ResetLastError();
      OrderSend(request, result);
      if(result.retcode != TRADE_RETCODE_INVALID_FILL)
         break;
     }
   return result.retcode;
  }

// Reports the retcode of action `index` to the planner: true when it was done.
bool Reported(int index, int kind, int ticket, string symbol, uint retcode)
  {
   bool done = retcode == TRADE_RETCODE_DONE || retcode == TRADE_RETCODE_PLACED ||
               retcode == TRADE_RETCODE_DONE_PARTIAL || retcode == TRADE_RETCODE_NO_CHANGES;
   int error = done ? 0 : retcode != 0 ? (int)retcode : GetLastError() != 0 ? GetLastError() : COMMON_ERROR;
   if(!done)
      Print("action ", index, " (kind ", kind, ", #", ticket, " ", symbol, ") failed: retcode ", error);
   _copier_action_done(g_chart, index, error, 0);
   return done;
  }

void SetExpiration(MqlTradeRequest &request, int expiration)
  {
   request.type_time = expiration != 0 ? ORDER_TIME_SPECIFIED : ORDER_TIME_GTC;
   request.expiration = (datetime)expiration;
  }

int ShortTicket(long ticket)
  {
   return (int)(ticket & 0x7FFFFFFF);
  }

// The open position the planner knows as `ticket`; 0 when there is none.
ulong FullPositionTicket(int ticket)
  {
   for(int i = PositionsTotal() - 1; i >= 0; i--)
     {
      ulong full = PositionGetTicket(i);
      if(full != 0 && ShortTicket((long)full) == ticket)
         return full;
     }
   return 0;
  }

ulong FullOrderTicket(int ticket)
  {
   for(int i = OrdersTotal() - 1; i >= 0; i--)
     {
      ulong full = OrderGetTicket(i);
      if(full != 0 && ShortTicket((long)full) == ticket)
         return full;
     }
   return 0;
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
      if(!ContainsLine(g_last_log, lines[i]))
         Print(lines[i]);
     }
   ArrayResize(g_last_log, ArraySize(lines));
   for(int k = 0; k < ArraySize(lines); k++)
      g_last_log[k] = lines[k];
  }

bool ContainsLine(const string &list[], string line)
  {
   for(int i = 0; i < ArraySize(list); i++)
      if(list[i] == line)
         return true;
   return false;
  }

bool Contains(const long &list[], long value)
  {
   for(int i = 0; i < ArraySize(list); i++)
      if(list[i] == value)
         return true;
   return false;
  }

// When this chart began following: a terminal global variable of this account and chart keeps
// it through restarts. 0 while the account or the server's time is not known yet.
datetime FollowingSince()
  {
   long login = AccountInfoInteger(ACCOUNT_LOGIN);
   if(login == 0 || TimeCurrent() == 0)
      return 0;
   string name = "qelv.following." + IntegerToString(login) + "." + IntegerToString(ChartID());
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
          "master_time_offset=" + IntegerToString(MasterTimeOffset) + "\n" +
          "netting=" + YesNo(g_netting) + "\n";
  }

string YesNo(bool value)
  {
   return value ? "yes" : "no";
  }

// The decimals of the symbol's volume step; 8 when the step is not known.
int LotsDigits(string symbol)
  {
   double step = SymbolInfoDouble(symbol, SYMBOL_VOLUME_STEP);
   if(step <= 0)
      return 8;
   int digits = 0;
   while(digits < 8 && MathAbs(step * MathPow(10, digits) - MathRound(step * MathPow(10, digits))) > 1e-6)
      digits++;
   return digits;
  }
//+------------------------------------------------------------------+
