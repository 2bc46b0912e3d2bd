#pragma once
// One connection to the broker that carries MQTT's bytes: a TCP stream, or the binary messages of
// a WebSocket. The MQTT session is written against this, so that it is tested natively with a
// scripted transport and runs under Windows over Winsock or WinHTTP.
#include <cstddef>
#include <cstdint>

class ByteTransport {
public:
    virtual ~ByteTransport() = default;
    // Sends every byte; false when the connection is broken (it stays broken).
    virtual bool Send(const uint8_t* data, size_t size) = 0;
    // Waits up to timeoutMs for bytes and answers how many it put into buffer (> 0), 0 when the
    // time ran out, -1 when the connection closed or broke.
    virtual int Receive(uint8_t* buffer, size_t capacity, int timeoutMs) = 0;
    // Makes the Receive that waits now, or else the next one, answer 0 at once: the owner has
    // other work (a new set to publish). Any thread may call it.
    virtual void Wake() = 0;
};
