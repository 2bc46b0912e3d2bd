#pragma once
// MQTT's bytes over a plain TCP connection (Winsock).
#include <cstdint>
#include <memory>
#include <string>

#include "byte_transport.h"

// Connects within timeoutMs to the first address of host that answers; null with *error set
// when none does.
std::unique_ptr<ByteTransport> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs,
                                          std::string* error);
