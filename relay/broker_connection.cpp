#include "broker_connection.h"

#include "tcp_transport.h"
#include "websocket_transport.h"

std::unique_ptr<ByteTransport> ConnectBroker(const std::string& scheme, const std::string& host,
                                             uint16_t port, const std::string& path,
                                             const std::string& pin, int timeoutMs,
                                             std::string* error) {
  const bool secure = scheme == "wss";
  // A pin on a plain connection would read as protection that is not there.
  if (!pin.empty() && !secure) {
    *error = "a certificate pin needs a wss:// broker address";
    return nullptr;
  }
  if (scheme == "mqtt" || scheme == "tcp") return ConnectTcp(host, port, timeoutMs, error);
  if (scheme == "ws" || secure)
    return ConnectWebSocket(WebSocketEndpoint{secure, host, port, path, pin}, timeoutMs, error);
  *error = "unknown broker scheme '" + scheme + "' (mqtt, ws or wss)";
  return nullptr;
}
