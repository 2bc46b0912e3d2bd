#pragma once
// The connection to the broker, by the scheme of its address.
#include <cstdint>
#include <memory>
#include <string>

#include "byte_transport.h"

// scheme: "mqtt" or "tcp" (plain TCP), "ws" or "wss" (WebSocket at path). pin: the SHA-256 of
// the server's certificate in hex, or empty; only wss has a certificate to pin. Null with
// *error set when the connection cannot be made within timeoutMs.
std::unique_ptr<ByteTransport> ConnectBroker(const std::string& scheme, const std::string& host,
                                             uint16_t port, const std::string& path,
                                             const std::string& pin, int timeoutMs,
                                             std::string* error);
