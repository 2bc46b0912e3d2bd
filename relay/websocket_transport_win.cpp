#include "websocket_transport.h"

#include <windows.h>
#include <winhttp.h>
#include <wincrypt.h>

#include <algorithm>
#include <climits>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "certificate_pin.h"
#include "hmac_sha256.h"

namespace {

struct HandleCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

constexpr DWORD kWinsockTimedOut = 10060;  // Wine's code for a time-out

const char* WinHttpMeaning(DWORD code) {
  switch (code) {
    case ERROR_WINHTTP_TIMEOUT:
    case kWinsockTimedOut:
      return "no answer in time";
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      return "no such host";
    case ERROR_WINHTTP_CANNOT_CONNECT:
      return "cannot connect";
    case ERROR_WINHTTP_CONNECTION_ERROR:
      return "connection broken";
    case ERROR_WINHTTP_INVALID_SERVER_RESPONSE:
      return "not an HTTP answer";
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      return "secure connection refused";
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
      return "secure connection refused: certificate expired or not yet valid";
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
      return "secure connection refused: certificate is for another host name";
    case ERROR_WINHTTP_SECURE_INVALID_CA:
      return "secure connection refused: certificate from an unknown authority";
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
      return "secure connection refused: certificate invalid";
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
      return "secure connection refused: certificate revoked";
    default:
      return "failed";
  }
}

std::string Failure(const char* call, DWORD code) {
  return std::string(call) + ": " + WinHttpMeaning(code) + " (WinHTTP error " +
         std::to_string(code) + ")";
}

std::wstring Wide(const std::string& text) {
  const int length =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), NULL, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// The system's proxy choice; older systems know only the configured one.
HINTERNET OpenSession() {
  HINTERNET session = WinHttpOpen(L"qelv_relay", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                  WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (session != NULL) return session;
  return WinHttpOpen(L"qelv_relay", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                     WINHTTP_NO_PROXY_BYPASS, 0);
}

std::optional<Sha256Digest> ServerCertificateHash(HINTERNET request) {
  PCCERT_CONTEXT certificate = NULL;
  DWORD size = sizeof certificate;
  if (!WinHttpQueryOption(request, WINHTTP_OPTION_SERVER_CERT_CONTEXT, &certificate, &size) ||
      certificate == NULL)
    return std::nullopt;
  Sha256Digest digest;
  const bool hashed = Sha256(certificate->pbCertEncoded, certificate->cbCertEncoded, digest);
  CertFreeCertificateContext(certificate);
  if (!hashed) return std::nullopt;
  return digest;
}

// A reader thread waits in WinHttpWebSocketReceive, which cannot time out by itself, and hands
// over one message piece at a time; it reads the next only once the last is taken, so a slow
// caller holds at most one piece.
class WebSocketTransport : public ByteTransport {
 public:
  WebSocketTransport(Handle session, Handle connection, Handle socket)
      : session_(std::move(session)),
        connection_(std::move(connection)),
        socket_(socket.release()),
        reader_(&WebSocketTransport::Read, this) {}

  ~WebSocketTransport() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    WinHttpWebSocketShutdown(socket_, WINHTTP_WEB_SOCKET_SUCCESS_CLOSE_STATUS, NULL, 0);
    // Closing the handle ends a receive still waiting.
    WinHttpCloseHandle(socket_);
    reader_.join();
  }

  bool Send(const uint8_t* data, size_t size) override {
    if (sendBroken_) return false;
    // One MQTT packet, one message; longer than a DWORD only in theory, then in fragments.
    constexpr size_t kLongestPiece = 1u << 30;
    do {
      const size_t piece = std::min(size, kLongestPiece);
      const auto type = piece == size ? WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE
                                      : WINHTTP_WEB_SOCKET_BINARY_FRAGMENT_BUFFER_TYPE;
      if (WinHttpWebSocketSend(socket_, type, const_cast<uint8_t*>(data),
                               static_cast<DWORD>(piece)) != NO_ERROR) {
        sendBroken_ = true;
        return false;
      }
      data += piece;
      size -= piece;
    } while (size > 0);
    return true;
  }

  int Receive(uint8_t* buffer, size_t capacity, int timeoutMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                      [this] { return taken_ < piece_.size() || closed_ || woken_; });
    if (taken_ < piece_.size()) {
      const size_t count = std::min({capacity, piece_.size() - taken_, size_t{INT_MAX}});
      std::copy_n(piece_.begin() + taken_, count, buffer);
      taken_ += count;
      if (taken_ == piece_.size()) changed_.notify_all();
      return static_cast<int>(count);
    }
    if (closed_) return -1;
    woken_ = false;
    return 0;
  }

  void Wake() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      woken_ = true;
    }
    changed_.notify_all();
  }

 private:
  void Read() {
    std::vector<uint8_t> chunk(64 * 1024);
    for (;;) {
      DWORD received = 0;
      WINHTTP_WEB_SOCKET_BUFFER_TYPE type = WINHTTP_WEB_SOCKET_CLOSE_BUFFER_TYPE;
      const DWORD code = WinHttpWebSocketReceive(
          socket_, chunk.data(), static_cast<DWORD>(chunk.size()), &received, &type);
      std::unique_lock<std::mutex> lock(mutex_);
      // MQTT travels in binary messages only; text or a close ends the connection.
      const bool binary = type == WINHTTP_WEB_SOCKET_BINARY_MESSAGE_BUFFER_TYPE ||
                          type == WINHTTP_WEB_SOCKET_BINARY_FRAGMENT_BUFFER_TYPE;
      if (code != NO_ERROR || !binary || stopping_) {
        closed_ = true;
        changed_.notify_all();
        return;
      }
      piece_.assign(chunk.begin(), chunk.begin() + received);
      taken_ = 0;
      changed_.notify_all();
      changed_.wait(lock, [this] { return taken_ == piece_.size() || stopping_; });
      if (stopping_) return;
    }
  }

  Handle session_;  // the socket's parents, closed after it
  Handle connection_;
  const HINTERNET socket_;  // closed by the destructor while the reader may still use it
  bool sendBroken_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<uint8_t> piece_;  // the reader's last piece, taken by Receive from taken_ on
  size_t taken_ = 0;
  bool closed_ = false;
  bool woken_ = false;  // a Receive is to answer 0 at once
  bool stopping_ = false;
  std::thread reader_;  // last: starts once everything it uses exists
};

}  // namespace

std::unique_ptr<ByteTransport> ConnectWebSocket(const WebSocketEndpoint& endpoint, int timeoutMs,
                                                std::string* error) {
  std::optional<Sha256Digest> pin;
  if (!endpoint.pin.empty()) {
    pin = ParseCertificatePin(endpoint.pin);
    if (!pin) {
      *error = "the certificate pin is not a SHA-256 in hex (64 hex digits)";
      return nullptr;
    }
  }
  Handle session(OpenSession());
  if (!session) {
    *error = Failure("WinHttpOpen", GetLastError());
    return nullptr;
  }
  WinHttpSetTimeouts(session.get(), timeoutMs, timeoutMs, timeoutMs, timeoutMs);
  Handle connection(WinHttpConnect(session.get(), Wide(endpoint.host).c_str(), endpoint.port, 0));
  if (!connection) {
    *error = Failure("WinHttpConnect", GetLastError());
    return nullptr;
  }
  const std::wstring path = Wide(endpoint.path.empty() ? "/" : endpoint.path);
  Handle request(WinHttpOpenRequest(connection.get(), L"GET", path.c_str(), NULL,
                                    WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                    endpoint.secure ? WINHTTP_FLAG_SECURE : 0));
  if (!request) {
    *error = Failure("WinHttpOpenRequest", GetLastError());
    return nullptr;
  }
  // The wait for the server's answer has a time-out of its own.
  DWORD answerTimeout = timeoutMs;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &answerTimeout,
                   sizeof answerTimeout);
  if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_UPGRADE_TO_WEB_SOCKET, NULL, 0)) {
    *error = Failure("WinHttpSetOption(upgrade to WebSocket)", GetLastError());
    return nullptr;
  }
  if (pin) {
    // A pinned certificate is usually self-made: no authority vouches for it, the pin does.
    DWORD flags = SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    if (!WinHttpSetOption(request.get(), WINHTTP_OPTION_SECURITY_FLAGS, &flags, sizeof flags)) {
      *error = Failure("WinHttpSetOption(security flags)", GetLastError());
      return nullptr;
    }
  }
  const wchar_t kProtocol[] = L"Sec-WebSocket-Protocol: mqtt";
  if (!WinHttpSendRequest(request.get(), kProtocol, static_cast<DWORD>(-1L),
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    *error = Failure("WinHttpSendRequest", GetLastError());
    return nullptr;
  }
  if (pin) {
    // Checked before the server's answer is read and before MQTT sends any credential.
    const std::optional<Sha256Digest> presented = ServerCertificateHash(request.get());
    if (!presented) {
      *error = "the server's certificate cannot be read to compare it with the pin";
      return nullptr;
    }
    if (*presented != *pin) {
      *error = "the server's certificate does not match the pinned SHA-256: refused";
      return nullptr;
    }
  }
  if (!WinHttpReceiveResponse(request.get(), NULL)) {
    *error = Failure("WinHttpReceiveResponse", GetLastError());
    return nullptr;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX) ||
      status != HTTP_STATUS_SWITCH_PROTOCOLS) {
    *error =
        "the server answered HTTP " + std::to_string(status) + " instead of opening a WebSocket";
    return nullptr;
  }
  Handle socket(WinHttpWebSocketCompleteUpgrade(request.get(), 0));
  if (!socket) {
    *error = Failure("WinHttpWebSocketCompleteUpgrade", GetLastError());
    return nullptr;
  }
  // The time-outs bounded the opening; an idle MQTT connection must not be ended by them.
  DWORD forever = 0;
  WinHttpSetOption(socket.get(), WINHTTP_OPTION_RECEIVE_TIMEOUT, &forever, sizeof forever);
  return std::make_unique<WebSocketTransport>(std::move(session), std::move(connection),
                                              std::move(socket));
}
