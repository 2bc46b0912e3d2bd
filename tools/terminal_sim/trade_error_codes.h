// The terminal's codes for GetLastError() that the simulated trade server answers with.
#pragma once

enum TradeErrorCode : int {
  kErrNone = 0,
  kErrNoResult = 1,  // a modify that changes nothing
  kErrCommon = 2,
  kErrInvalidTradeParameters = 3,
  kErrServerBusy = 4,
  kErrNoConnection = 6,
  kErrTradeTimeout = 128,
  kErrInvalidPrice = 129,
  kErrInvalidStops = 130,
  kErrInvalidTradeVolume = 131,
  kErrMarketClosed = 132,
  kErrNotEnoughMoney = 134,
  kErrBrokerBusy = 137,
  kErrRequote = 138,
  kErrModificationDenied = 145,
  kErrTradeContextBusy = 146,
  kErrInvalidFunctionParameter = 4051,
  kErrUnknownSymbol = 4106,
  kErrInvalidTicket = 4108,
};
