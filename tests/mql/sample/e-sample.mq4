//+------------------------------------------------------------------+
//| e-sample.mq4 - the constructs the translator takes, in one expert |
//+------------------------------------------------------------------+
#property strict
#property description "Exercises the translated subset of MQL4."

#include <sample.mqh>

input  int    Count = 3;     // How many rows
input  string Label = "pass"; // What each pass is called
extern double Scale = 1.5;   // Scale of the factors
#define TWICE 2

int    g_timer_events;
long   g_rows[][2];
string g_names[];
uchar  g_fixed[4];
double g_factors[];
datetime g_started;

int OnInit()
  {
   if(Count < 0)
      return INIT_PARAMETERS_INCORRECT;
   Scale = Scale * TWICE;   // an extern may be changed, an input not
   g_started = TimeCurrent();
   ArrayResize(g_factors, 2);
   g_factors[0] = Scale;
   g_factors[1] = 10;
   if(!EventSetMillisecondTimer(5))
      return INIT_FAILED;
   return INIT_SUCCEEDED;
  }

void OnDeinit(const int reason)
  {
   Print("removed, reason ", reason);
  }

void OnTimer()
  {
   static int passes = 0;
   passes++;
   g_timer_events++;
   uchar text[];
   StringToCharArray(Label + " " + passes, text, 0, -1, CP_UTF8);
   int sum = 0;
   _add(passes, _echo(text, ArraySize(text)), sum);
   Print(Label, " ", passes, ": sum ", sum, ", scaled ", _scale(0.5, g_factors), ", ", passes > 1,
         ", since ", TimeCurrent() - g_started);
  }

// Sorts Count rows by their first cell, the largest first, and names them.
void OnTick()
  {
   ArrayResize(g_rows, Count);
   ArrayResize(g_names, Count);
   for(int i = 0; i < Count; i++)
     {
      g_rows[i][0] = (i * 7) % Count;
      g_rows[i][1] = i;
     }
   ArraySort(g_rows, WHOLE_ARRAY, 0, MODE_DESCEND);
   string order = "";
   for(int k = 0; k < Count; k++)
     {
      g_names[k] = "row" + IntegerToString(g_rows[k][1]);
      order = order + g_names[k] + (k + 1 < Count ? "," : "");
     }
   Print("rows ", order);
   g_fixed[Count] = 1;   // out of range from Count 4 on
  }
//+------------------------------------------------------------------+
