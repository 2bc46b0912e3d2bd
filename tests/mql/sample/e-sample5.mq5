//+------------------------------------------------------------------+
//| e-sample5.mq5 - the MQL5 constructs the translator takes          |
//+------------------------------------------------------------------+
#property description "Exercises the translated subset of MQL5."

input int Lots100 = 10;  // Lots of the buy, in hundredths

MqlTradeResult g_last;

// Closes the selected position by a deal of the other side, filled as the symbol allows.
bool CloseSelected(MqlTradeRequest &request)
  {
   ZeroMemory(request);
   request.action = TRADE_ACTION_DEAL;
   request.position = PositionGetInteger(POSITION_TICKET);
   request.symbol = PositionGetString(POSITION_SYMBOL);
   request.volume = PositionGetDouble(POSITION_VOLUME);
   ENUM_POSITION_TYPE side = (ENUM_POSITION_TYPE)PositionGetInteger(POSITION_TYPE);
   request.type = side == POSITION_TYPE_BUY ? ORDER_TYPE_SELL : ORDER_TYPE_BUY;
   bool ioc = (SymbolInfoInteger(request.symbol, SYMBOL_FILLING_MODE) & SYMBOL_FILLING_IOC) != 0;
   request.type_filling = ioc ? ORDER_FILLING_IOC : ORDER_FILLING_FOK;
   request.comment = "close";
   return OrderSend(request, g_last);
  }

void OnTick()
  {
   MqlTradeRequest request = {};
   for(int i = PositionsTotal() - 1; i >= 0; i--)
      if(PositionGetTicket(i) != 0 && !CloseSelected(request))
         Print("close failed: ", g_last.retcode, ", error ", GetLastError());
   ZeroMemory(request);
   request.action = TRADE_ACTION_DEAL;
   request.symbol = _Symbol;
   request.type = (ENUM_ORDER_TYPE)0;
   request.volume = Lots100 / 100.0;
   if(OrderSend(request, g_last))
      Print("bought ", request.volume, ", order ", g_last.order);
  }
