#include "tcp_transport.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <climits>

#include "system_error_text.h"

namespace {

// Winsock is started once for the process and never stopped: transports may outlive any caller.
bool WinsockStarted() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

std::string Failure(const std::string& what, int code) {
  return what + ": " + SystemErrorText(code) + " (Winsock error " + std::to_string(code) + ")";
}

timeval Interval(int timeoutMs) {
  timeval interval;
  interval.tv_sec = timeoutMs / 1000;
  interval.tv_usec = (timeoutMs % 1000) * 1000;
  return interval;
}

// A wake is a datagram that a loopback socket sends to itself: a select waits on it beside the
// connection, which stays a plain blocking socket.
class Waker {
 public:
  ~Waker() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
  }
  // False when the system gives no loopback socket; the code is in *code.
  bool Open(int* code) {
    socket_ = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    address_.sin_family = AF_INET;
    address_.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address_;
    u_long nonBlocking = 1;
    if (socket_ == INVALID_SOCKET || bind(socket_, Address(), sizeof address_) != 0 ||
        getsockname(socket_, reinterpret_cast<sockaddr*>(&address_), &length) != 0 ||
        ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0) {
      *code = WSAGetLastError();
      return false;
    }
    return true;
  }
  SOCKET Socket() const { return socket_; }
  void Wake() {
    const char byte = 0;
    sendto(socket_, &byte, 1, 0, Address(), sizeof address_);
  }
  void Drain() {
    char bytes[16];
    while (recv(socket_, bytes, sizeof bytes, 0) > 0) {
    }
  }

 private:
  const sockaddr* Address() const { return reinterpret_cast<const sockaddr*>(&address_); }
  SOCKET socket_ = INVALID_SOCKET;
  sockaddr_in address_{};
};

class TcpTransport : public ByteTransport {
 public:
  TcpTransport(SOCKET socket, std::unique_ptr<Waker> waker)
      : socket_(socket), waker_(std::move(waker)) {}
  ~TcpTransport() override { closesocket(socket_); }

  bool Send(const uint8_t* data, size_t size) override {
    while (!broken_ && size > 0) {
      const int piece = static_cast<int>(std::min<size_t>(size, INT_MAX));
      const int sent = send(socket_, reinterpret_cast<const char*>(data), piece, 0);
      if (sent <= 0) {
        broken_ = true;
        break;
      }
      data += sent;
      size -= sent;
    }
    return !broken_;
  }

  int Receive(uint8_t* buffer, size_t capacity, int timeoutMs) override {
    if (broken_) return -1;
    if (capacity == 0) return 0;
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(socket_, &readable);
    FD_SET(waker_->Socket(), &readable);
    timeval interval = Interval(std::max(timeoutMs, 0));
    const int ready = select(0, &readable, NULL, NULL, &interval);
    if (ready == 0) return 0;
    // Bytes first; a wake that came with them is answered by the next Receive.
    if (ready > 0 && !FD_ISSET(socket_, &readable)) {
      waker_->Drain();
      return 0;
    }
    const int piece = static_cast<int>(std::min<size_t>(capacity, INT_MAX));
    const int received = ready < 0 ? -1 : recv(socket_, reinterpret_cast<char*>(buffer), piece, 0);
    if (received <= 0) {  // 0 is the peer's orderly close
      broken_ = true;
      return -1;
    }
    return received;
  }

  void Wake() override { waker_->Wake(); }

 private:
  SOCKET socket_;
  std::unique_ptr<Waker> waker_;
  bool broken_ = false;
};

// Connects without blocking so that an address that never answers costs at most timeoutMs.
SOCKET ConnectWithin(const addrinfo& address, int timeoutMs, int* code) {
  SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
  if (s == INVALID_SOCKET) {
    *code = WSAGetLastError();
    return INVALID_SOCKET;
  }
  u_long nonBlocking = 1;
  ioctlsocket(s, FIONBIO, &nonBlocking);
  if (connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) != 0 &&
      WSAGetLastError() != WSAEWOULDBLOCK) {
    *code = WSAGetLastError();
    closesocket(s);
    return INVALID_SOCKET;
  }
  fd_set writable, failed;
  FD_ZERO(&writable);
  FD_SET(s, &writable);
  FD_ZERO(&failed);
  FD_SET(s, &failed);
  timeval interval = Interval(std::max(timeoutMs, 0));
  const int ready = select(0, NULL, &writable, &failed, &interval);
  int socketError = 0;
  int length = sizeof socketError;
  getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&socketError), &length);
  if (ready <= 0 || !FD_ISSET(s, &writable) || socketError != 0) {
    *code = ready == 0 ? WSAETIMEDOUT : (socketError != 0 ? socketError : WSAGetLastError());
    closesocket(s);
    return INVALID_SOCKET;
  }
  u_long blocking = 0;
  ioctlsocket(s, FIONBIO, &blocking);
  // MQTT's packets are small and answered one by one: Nagle's delay would only slow them.
  BOOL noDelay = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof noDelay);
  return s;
}

}  // namespace

std::unique_ptr<ByteTransport> ConnectTcp(const std::string& host, uint16_t port, int timeoutMs,
                                          std::string* error) {
  if (!WinsockStarted()) {
    *error = Failure("cannot start Winsock", WSAGetLastError());
    return nullptr;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* addresses = NULL;
  const int resolved = getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses);
  if (resolved != 0) {
    *error = Failure("cannot resolve " + host, resolved);
    return nullptr;
  }
  const DWORD start = GetTickCount();
  int code = WSAETIMEDOUT;
  SOCKET s = INVALID_SOCKET;
  for (const addrinfo* a = addresses; a != NULL && s == INVALID_SOCKET; a = a->ai_next) {
    const int left = timeoutMs - static_cast<int>(GetTickCount() - start);
    if (left <= 0) break;
    s = ConnectWithin(*a, left, &code);
  }
  freeaddrinfo(addresses);
  if (s == INVALID_SOCKET) {
    *error = Failure("cannot connect to " + host + ":" + std::to_string(port), code);
    return nullptr;
  }
  auto waker = std::make_unique<Waker>();
  if (!waker->Open(&code)) {
    closesocket(s);
    *error = Failure("cannot make the connection's loopback waker", code);
    return nullptr;
  }
  return std::make_unique<TcpTransport>(s, std::move(waker));
}
