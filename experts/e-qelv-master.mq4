//+------------------------------------------------------------------+
//| e-qelv-master.mq4 - publishes this account's orders to the hub    |
//+------------------------------------------------------------------+
// Every 10 ms the expert builds the image of the account (open and pending orders; orders
// closed in the last hour and the closed parts of every published order's partial closes) and
// sends it when its checksum changed. Attach it to one chart of the master terminal.
#property strict
#property description "Publishes the orders of this account to the qelv hub for the slaves to copy."

#include <qelv_d30or.mqh>

input string ChannelId = "qelv_channel_1"; // Channel id of the hub
input int    Instance  = 1;                // Instance number (not 0)

const uint MARKER_INTERVAL_MS = 5000;
const uint HISTORY_RESCAN_MS  = 1000;      // the last hour moves on even when no order changes
const int  RECENT_SECONDS     = 3600;
const int  MAX_RECENT_CLOSED  = 200;

uchar g_channel_id[];
int   g_window;
uint  g_last_marker;
bool  g_image_sent;
int   g_sent_crc;

// The closed orders the image carries, chosen again when the account's orders change.
int   g_history[];
int   g_history_total;
int   g_open_total;
uint  g_history_chosen;
// A partial close leaves the closed part commented "to #<remainder>": remainder -> closed part.
int   g_remainders[];
int   g_closed_parts[];

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
   g_history_total = -1;
   g_open_total = -1;
   ArrayResize(g_history, 0);
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
   if(AccountNumber() == 0)
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
   uchar login[];
   StringToCharArray(IntegerToString(AccountNumber()), login, 0, -1, CP_UTF8);
   _image_clear();
   _image_set(g_channel_id, login);
   int open_total = OrdersTotal();
   for(int i = 0; i < open_total; i++)
      if(OrderSelect(i, SELECT_BY_POS, MODE_TRADES))
         AppendSelectedOrder(0);
   if(OrdersHistoryTotal() != g_history_total || open_total != g_open_total ||
      GetTickCount() - g_history_chosen >= HISTORY_RESCAN_MS)
      ChooseHistory();
   for(int k = 0; k < ArraySize(g_history); k++)
      if(OrderSelect(g_history[k], SELECT_BY_TICKET))
         AppendSelectedOrder(1);
  }

void AppendSelectedOrder(int pool)
  {
   string symbol = OrderSymbol();
   uchar symbol_bytes[], comment_bytes[];
   StringToCharArray(symbol, symbol_bytes, 0, -1, CP_UTF8);
   StringToCharArray(OrderComment(), comment_bytes, 0, -1, CP_UTF8);
   bool closed = pool == 1;
   _image_append(pool, PriceDigits(symbol), LotsDigits(symbol),
                 OrderTicket(), (int)OrderOpenTime(), OrderType(), OrderLots(), symbol_bytes,
                 OrderOpenPrice(), OrderStopLoss(), OrderTakeProfit(),
                 closed ? (int)OrderCloseTime() : 0, closed ? OrderClosePrice() : 0.0,
                 OrderMagicNumber(), (int)OrderExpiration(), comment_bytes);
  }

// The closed orders of the last hour (the newest 200) and every closed ancestor of a published
// order: the slaves find the first order of a partial-close chain only through them.
void ChooseHistory()
  {
   g_history_total = OrdersHistoryTotal();
   g_open_total = OrdersTotal();
   g_history_chosen = GetTickCount();
   ArrayResize(g_history, 0);
   ArrayResize(g_remainders, 0);
   ArrayResize(g_closed_parts, 0);
   long recent[][2];   // close time, ticket
   int recent_count = 0;
   datetime since = TimeCurrent() - RECENT_SECONDS;
   for(int i = 0; i < g_history_total; i++)
     {
      if(!OrderSelect(i, SELECT_BY_POS, MODE_HISTORY) || OrderType() > OP_SELLSTOP)
         continue;   // balance and credit lines are not orders
      int remainder = LinkedTicket(OrderComment(), "to #");
      if(remainder > 0)
        {
         int n = ArraySize(g_remainders);
         ArrayResize(g_remainders, n + 1, 64);
         ArrayResize(g_closed_parts, n + 1, 64);
         g_remainders[n] = remainder;
         g_closed_parts[n] = OrderTicket();
        }
      if(OrderCloseTime() >= since)
        {
         ArrayResize(recent, recent_count + 1, 64);
         recent[recent_count][0] = (long)OrderCloseTime();
         recent[recent_count][1] = OrderTicket();
         recent_count++;
        }
     }
   if(recent_count > 1)
      ArraySort(recent, WHOLE_ARRAY, 0, MODE_DESCEND);   // by the first column: newest first
   for(int r = 0; r < recent_count && r < MAX_RECENT_CLOSED; r++)
      AddHistoryTicket((int)recent[r][1]);
   int published = ArraySize(g_history);
   for(int p = 0; p < published; p++)
      if(OrderSelect(g_history[p], SELECT_BY_TICKET))
         AddAncestors(OrderTicket(), OrderComment());
   for(int o = 0; o < g_open_total; o++)
      if(OrderSelect(o, SELECT_BY_POS, MODE_TRADES))
         AddAncestors(OrderTicket(), OrderComment());
  }

// Walks back from an order: the closed part commented "to #<ticket>" is its parent, else its own
// comment "from #<parent>" names it. A parent missing from the history is passed over when a
// closed part names it in turn.
void AddAncestors(int ticket, string comment)
  {
   for(int steps = 0; steps <= g_history_total; steps++)
     {
      int parent = ClosedPartOf(ticket);
      if(parent == 0)
         parent = LinkedTicket(comment, "from #");
      if(parent == 0)
         return;
      comment = "";
      if(OrderSelect(parent, SELECT_BY_TICKET) && OrderCloseTime() > 0)
        {
         if(!AddHistoryTicket(parent))
            return;   // already published: its own walk adds the rest
         comment = OrderComment();
        }
      ticket = parent;
     }
  }

int ClosedPartOf(int remainder)
  {
   for(int i = 0; i < ArraySize(g_remainders); i++)
      if(g_remainders[i] == remainder)
         return g_closed_parts[i];
   return 0;
  }

bool AddHistoryTicket(int ticket)
  {
   int n = ArraySize(g_history);
   for(int i = 0; i < n; i++)
      if(g_history[i] == ticket)
         return false;
   ArrayResize(g_history, n + 1, 64);
   g_history[n] = ticket;
   return true;
  }

// The ticket a comment "from #<ticket>" ("to #<ticket>") names, 0 for another comment.
int LinkedTicket(string comment, string prefix)
  {
   if(StringFind(comment, prefix) != 0)
      return 0;
   int ticket = (int)StringToInteger(StringSubstr(comment, StringLen(prefix)));
   return ticket > 0 ? ticket : 0;
  }

// A symbol the terminal no longer offers answers 0 digits: keep 8 decimals then.
int PriceDigits(string symbol)
  {
   int digits = (int)MarketInfo(symbol, MODE_DIGITS);
   return digits > 0 ? digits : 8;
  }

// The decimals of the symbol's lot step, at least 2; 8 when the step is not known.
int LotsDigits(string symbol)
  {
   double step = MarketInfo(symbol, MODE_LOTSTEP);
   if(step <= 0)
      return 8;
   int digits = 0;
   while(digits < 8 && MathAbs(step * MathPow(10, digits) - MathRound(step * MathPow(10, digits))) > 1e-6)
      digits++;
   return digits < 2 ? 2 : digits;
  }
//+------------------------------------------------------------------+
