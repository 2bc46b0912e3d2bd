#include "relay_engine_win.h"

#include <algorithm>
#include <chrono>

#include "broker_connection.h"
#include "hmac_sha256.h"
#include "image_set_cut.h"
#include "one_image.h"
#include "relay_plan.h"
#include "sequence_file.h"

namespace {

const int kConnectTimeoutMs = 15000;
const int kAnswerTimeoutMs = 15000;
const uint16_t kKeepAliveS = 30;
// Receiving waits this long at most, so that a new set from the hub goes out soon after it came.
const int kPollMs = 50;
const DWORD kFirstRetryMs = 500;
const DWORD kLongestRetryMs = 10000;

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t WallMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

MacFunction MacUnder(const std::string& secret) {
  return [secret](std::string_view data, Mac& mac) {
    return HmacSha256(reinterpret_cast<const uint8_t*>(secret.data()), secret.size(),
                      reinterpret_cast<const uint8_t*>(data.data()), data.size(), mac);
  };
}

std::string SchemeName(BrokerUrl::Scheme scheme) {
  return scheme == BrokerUrl::kMqtt ? "mqtt" : scheme == BrokerUrl::kWs ? "ws" : "wss";
}

const char* RoleName(RelayRole role) {
  return role == RelayRole::kPublish ? "publish" : role == RelayRole::kSubscribe ? "subscribe" : "both";
}

}  // namespace

// Every desk's hub may keep the default channel id, so the computer's name goes in too. Twenty
// letters and digits, which every broker takes (the standard promises 23).
std::string BrokerClientId(const RelaySettings& settings) {
  char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof computer;
  GetComputerNameA(computer, &size);
  const std::string identity = std::string(computer) + "\n" + settings.channel_id + "\n" +
                               settings.remote_channel + "\n" + RoleName(settings.role);
  Sha256Digest digest{};
  Sha256(reinterpret_cast<const uint8_t*>(identity.data()), identity.size(), digest);
  return "qelv" + DigestHex(digest).substr(0, 16);
}

RelayEngine::RelayEngine(const RelaySettings& settings, RelayLog& log, std::string sequence_path,
                         Changed changed)
    : settings_(settings),
      log_(log),
      changed_(std::move(changed)),
      publishes_(settings.role != RelayRole::kSubscribe),
      subscribes_(settings.role != RelayRole::kPublish),
      mac_(MacUnder(settings.secret)),
      sequence_path_(std::move(sequence_path)),
      publisher_(settings, mac_, guard_),
      stop_(CreateEventA(NULL, TRUE, FALSE, NULL)) {
  status_.broker = BrokerUrlText(settings.broker);
  log_.Write(std::string("started: role ") + RoleName(settings.role) + ", local channel " +
             settings.channel_id + ", remote channel " + settings.remote_channel + ", broker " +
             status_.broker);
  LoadSequences();
  if (subscribes_) remotes_ = std::make_unique<RemoteMasters>(settings.channel_id);
  if (publishes_)
    subscription_ = std::make_unique<HubSubscription>(
        settings.channel_id, [this](const std::string& set) { OnSet(set); });
  thread_ = CreateThread(NULL, 0, BrokerThread, this, 0, NULL);
  if (!thread_) log_.Write("the broker's thread could not be started");
}

RelayEngine::~RelayEngine() {
  stopping_ = true;
  if (stop_) SetEvent(stop_);
  if (thread_) {
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
  }
  // The hub's ends go before the state their callbacks use.
  subscription_.reset();
  remotes_.reset();
  if (stop_) CloseHandle(stop_);
  log_.Write("stopped");
}

RelayStatus RelayEngine::Status() {
  std::lock_guard<std::mutex> hold(status_lock_);
  return status_;
}

void RelayEngine::Update(const std::function<void(RelayStatus&)>& change) {
  {
    std::lock_guard<std::mutex> hold(status_lock_);
    change(status_);
  }
  changed_();
}

DWORD WINAPI RelayEngine::BrokerThread(void* self) {
  try {
    static_cast<RelayEngine*>(self)->KeepConnecting();
  } catch (...) {
    // Out of memory at worst; the window stays and says the broker is not connected.
  }
  return 0;
}

void RelayEngine::KeepConnecting() {
  DWORD retry_ms = kFirstRetryMs;
  while (!stopping_) {
    if (RunConnection()) retry_ms = kFirstRetryMs;
    if (stopping_ || WaitForSingleObject(stop_, retry_ms) == WAIT_OBJECT_0) break;
    retry_ms = std::min(retry_ms * 2, kLongestRetryMs);
  }
}

bool RelayEngine::RunConnection() {
  std::string error;
  const std::string pin = settings_.cert_sha256 ? DigestHex(*settings_.cert_sha256) : "";
  std::unique_ptr<ByteTransport> transport =
      ConnectBroker(SchemeName(settings_.broker.scheme), settings_.broker.host,
                    settings_.broker.port, settings_.broker.path, pin, kConnectTimeoutMs, &error);
  if (!transport) {
    log_.Write("cannot reach the broker: " + error);
    return false;
  }
  struct Live {  // the transport the hub's thread may wake, for as long as it exists
    RelayEngine& engine;
    Live(RelayEngine& e, ByteTransport* t) : engine(e) { engine.SetConnection(t); }
    ~Live() { engine.SetConnection(nullptr); }
  } live(*this, transport.get());
  MqttSession session(*transport, SteadyMs, [this](const mqtt::Message& m) { OnMessage(m); });
  mqtt::ConnectOptions options;
  options.client_id = BrokerClientId(settings_);
  options.keep_alive_s = kKeepAliveS;
  options.clean_session = true;
  if (!settings_.user.empty()) {
    options.user = settings_.user;
    if (!settings_.password.empty()) options.password = settings_.password;
  }
  SessionOutcome outcome = session.Connect(options, kAnswerTimeoutMs);
  if (!outcome.ok()) {
    log_.Write("the broker did not take the connection: " + outcome.text);
    return false;
  }
  if (subscribes_) {
    const mqtt::Subscription filter{ChannelFilter(settings_.topic_prefix, settings_.remote_channel), 1};
    outcome = session.Subscribe({&filter, 1}, kAnswerTimeoutMs);
    if (!outcome.ok()) {
      log_.Write("the broker did not take the subscription: " + outcome.text);
      return false;
    }
  }
  log_.Write("connected to " + status_.broker);
  Update([](RelayStatus& s) { s.connected = true; });
  publisher_.Reconnected();
  while (!stopping_) {
    const bool unbroken = !publishes_ || PublishChanges(session);
    SaveSequences();
    if (!unbroken) break;
    outcome = session.Poll(kPollMs);
    SaveSequences();
    if (outcome.status == SessionOutcome::kBroken) {
      log_.Write("connection lost: " + outcome.text);
      break;
    }
  }
  if (stopping_) session.Disconnect();
  Update([](RelayStatus& s) { s.connected = false; });
  return true;
}

void RelayEngine::OnSet(const std::string& image_set) {
  try {
    ImageMap images = ImagesByLogin(image_set);
    std::lock_guard<std::mutex> hold(set_lock_);
    new_images_ = std::move(images);
    if (connection_) connection_->Wake();
  } catch (...) {
    // Out of memory on the hub's thread: this set is lost, the next one comes with the next change.
    log_.Write("the hub's set could not be taken");
  }
}

void RelayEngine::SetConnection(ByteTransport* transport) {
  std::lock_guard<std::mutex> hold(set_lock_);
  connection_ = transport;
}

bool RelayEngine::PublishChanges(MqttSession& session) {
  {
    std::lock_guard<std::mutex> hold(set_lock_);
    if (new_images_) {
      images_ = std::move(*new_images_);
      new_images_.reset();
    }
  }
  std::set<std::string> injected;
  if (remotes_) {
    for (const auto& [login, image] : images_)
      if (remotes_->Injected(login)) injected.insert(login);
    for (const auto& [login, image] : publisher_.published())
      if (remotes_->Injected(login)) injected.insert(login);
  }
  std::vector<std::string> refused;
  const std::vector<OutgoingMessage> messages = publisher_.Plan(images_, injected, WallMs(), refused);
  for (const std::string& why : refused) log_.Write("not published: " + why);
  for (const OutgoingMessage& message : messages) sending_.insert(message.login);
  bool unbroken = true;
  for (const OutgoingMessage& message : messages) {
    const SessionOutcome outcome =
        session.Publish(message.topic, message.payload, 1, true, kAnswerTimeoutMs);
    if (!outcome.ok()) {
      log_.Write("publishing " + message.topic + " failed: " + outcome.text);
      // An unanswered message may have been taken or not: the next plan sends all again.
      publisher_.Reconnected();
      unbroken = outcome.status != SessionOutcome::kBroken;
      if (!unbroken) break;
      continue;
    }
    publisher_.Sent(message);
    switch (message.kind) {
      case OutgoingMessage::kImage:
        log_.Write("published " + message.topic + " (" + std::to_string(message.image.size()) +
                   " bytes of image)");
        break;
      case OutgoingMessage::kResealed:  // every master, every half minute: the log would fill
      case OutgoingMessage::kRemoval:   // said with its clear
        break;
      case OutgoingMessage::kClear:
        log_.Write("cleared " + message.topic + ": the master left");
        break;
    }
  }
  if (!messages.empty()) {
    const size_t out = publisher_.published().size();
    const bool sent_image =
        std::any_of(messages.begin(), messages.end(), [](const OutgoingMessage& m) {
          return m.kind == OutgoingMessage::kImage || m.kind == OutgoingMessage::kResealed;
        });
    const std::string now = LogTimeText(WallMs());
    Update([&](RelayStatus& s) {
      s.masters_out = out;
      if (sent_image) s.last_image = now;
    });
  }
  sending_.clear();
  return unbroken;
}

void RelayEngine::OnMessage(const mqtt::Message& message) {
  if (!subscribes_) return;
  std::set<std::string> own = sending_;
  for (const auto& [login, image] : publisher_.published()) own.insert(login);
  std::string channel, login;
  if (SplitMasterTopic(message.topic, settings_.topic_prefix, channel, login) &&
      channel == settings_.remote_channel) {
    if (own.contains(login)) return;  // role "both" hears its own masters back: not a fault
    const auto applied = applied_.find(login);
    const bool held = applied != applied_.end();
    // The same message again: retained ones come back with every subscription after a reconnect,
    // and QoS 1 may deliver twice. Not a replay to report.
    if (held && applied->second.payload == message.payload) return;
    // An empty message for a master not held removes nothing: the broker's clear behind a signed
    // removal, or one of a master never taken.
    if (!held && message.payload.empty()) return;
  }
  const SubscriberView view{settings_.topic_prefix, settings_.remote_channel, settings_.logins,
                            own, mac_, guard_, WallMs(), settings_.max_age_ms};
  const IncomingDecision decision = DecideIncoming(message.topic, message.payload, view);
  const Envelope& envelope = decision.envelope;
  bool image_came = false;
  switch (decision.action) {
    case IncomingDecision::kReject:
      Reject(message.topic, decision.reason);
      return;
    case IncomingDecision::kRemove:
      guard_.Record(envelope.channel, decision.login, envelope.seq);
      if (!applied_.erase(decision.login)) return;  // a removal coming again, or of one never held
      remotes_->Remove(decision.login);
      log_.Write("removed " + decision.login + ": its master left (sequence " +
                 std::to_string(envelope.seq) + ")");
      break;
    case IncomingDecision::kApply: {
      if (!IsOneImage(envelope.image)) {
        Reject(message.topic, "not one master's image");
        return;
      }
      guard_.Record(envelope.channel, decision.login, envelope.seq);
      Applied& held = applied_[decision.login];
      const bool resealed = held.image == envelope.image;
      held.payload = message.payload;
      image_came = true;
      if (resealed) break;  // the same image sealed anew to stay fresh: the hub has it
      held.image = envelope.image;
      // False also when no hub runs now; the image is kept and sent once one does.
      if (!remotes_->Apply(decision.login, envelope.image))
        log_.Write("no hub of channel " + settings_.channel_id + " took " + decision.login + " yet");
      log_.Write("applied " + decision.login + " (sequence " + std::to_string(envelope.seq) + ", " +
                 std::to_string(envelope.image.size()) + " bytes of image)");
      break;
    }
  }
  const size_t in = applied_.size();
  const std::string now = LogTimeText(WallMs());
  Update([&](RelayStatus& s) {
    s.masters_in = in;
    if (image_came) s.last_image = now;
  });
}

void RelayEngine::LoadSequences() {
  // A publisher alone takes no envelopes: its marks only keep its sequence numbers rising.
  const std::string guard =
      subscribes_ ? "only the age bound (" + std::to_string(settings_.max_age_ms / 1000) +
                        " s) guards against replays until an envelope is taken"
                  : "sequence numbers go on from this computer's clock";
  switch (LoadSequenceFile(sequence_path_, guard_)) {
    case SequenceFileState::kRead:
      break;
    case SequenceFileState::kMissing:
      log_.Write("no sequence file " + sequence_path_ + " (a first start?): " + guard);
      break;
    case SequenceFileState::kDamaged:
      log_.Write("the sequence file " + sequence_path_ + " is damaged and not used: " + guard);
      break;
  }
  saved_changes_ = guard_.changes();
}

void RelayEngine::SaveSequences() {
  if (guard_.changes() == saved_changes_) return;
  if (!SaveSequenceFile(sequence_path_, guard_)) {
    if (!save_failed_) log_.Write("the sequence file " + sequence_path_ + " cannot be written");
    save_failed_ = true;
    return;
  }
  if (save_failed_) log_.Write("the sequence file " + sequence_path_ + " is written again");
  save_failed_ = false;
  saved_changes_ = guard_.changes();
}

void RelayEngine::Reject(const std::string& topic, const std::string& reason) {
  log_.Write("rejected a message on " + topic + ": " + reason);
  const std::string text = reason + " (" + topic + ", " + LogTimeText(WallMs()) + ")";
  Update([&](RelayStatus& s) { s.last_rejected = text; });
}
