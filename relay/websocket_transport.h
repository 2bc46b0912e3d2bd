#pragma once
// MQTT's bytes as binary messages of a WebSocket (WinHTTP), plain or over TLS.
#include <cstdint>
#include <memory>
#include <string>

#include "byte_transport.h"

struct WebSocketEndpoint {
  bool secure;  // wss: TLS, the server's certificate checked by the system
  std::string host;
  uint16_t port;
  std::string path;  // "/mqtt", say
  std::string pin;   // SHA-256 of the server's certificate in hex, or empty
};

// Opens the WebSocket within timeoutMs (subprotocol mqtt, the system's proxy settings); null
// with *error set when it cannot. With a pin the certificate may come from an unknown authority,
// but its SHA-256 must be the pin.
std::unique_ptr<ByteTransport> ConnectWebSocket(const WebSocketEndpoint& endpoint, int timeoutMs,
                                                std::string* error);
