#include "relay_envelope.h"

#include <gtest/gtest.h>

#include <functional>

#include "fake_mac.h"

void PrintTo(const Envelope& e, std::ostream* os) {
  *os << "{" << e.channel << ", " << e.login << ", seq " << e.seq << ", time " << e.time_ms << ", "
      << (e.removed ? "removed" : std::to_string(e.image.size()) + " image bytes") << "}";
}

namespace {

const MacFunction kMac = FakeMac("channel secret 0123456789");
const std::string kImage =
    "<image>\n<channel_id>room1</channel_id>\n<login>4711</login>\n<market>\n</market>\n"
    "<history>\n</history>\n</image>\n";
const Envelope kSample{"desk-a", "4711", 1765190400123, 1765190400456, kImage};
const Envelope kRemoval{"desk-a", "4711", 1765190400124, 1765190400457, "", true};

class RoundTrip : public testing::TestWithParam<Envelope> {};

TEST_P(RoundTrip, OpensWhatWasSealed) {
  const Envelope& e = GetParam();
  const std::string payload = SealEnvelope(e, kMac);
  ASSERT_FALSE(payload.empty());
  Envelope opened;
  ASSERT_EQ(OpenEnvelope(payload, e.channel, e.login, kMac, opened), EnvelopeVerdict::kOpened);
  EXPECT_EQ(opened, e);
}

INSTANTIATE_TEST_SUITE_P(RelayEnvelopes, RoundTrip, testing::Values(
    kSample,
    Envelope{"c", "1", 0, 0, ""},
    Envelope{"c", "1", UINT64_MAX, INT64_MAX, "no line feed at the end"},
    Envelope{"c", "1", 5, 6, "image-bytes 3\nmac 00\n\n\nqelv-relay 1\n"},  // lines that look like fields
    Envelope{"c", "1", 5, 6, std::string("\0\xff\r\n\t", 5)},
    Envelope{"c", "1", 5, 6, "removed\n"},  // an image that looks like a removal
    kRemoval,
    Envelope{std::string(kMaxEnvelopeNameBytes, 'n'), "~!$%&()*,-.:;<=>?@[]^_`{|}", 9, 9,
             std::string(70000, 'x')}));

TEST(RelayEnvelope, HasItsLinesInOrder) {
  const std::string payload = SealEnvelope(kSample, kMac);
  const std::string head =
      "qelv-relay 2\nchannel desk-a\nlogin 4711\nseq 1765190400123\ntime 1765190400456\n"
      "image-bytes 108\n" + kImage + "\n";
  ASSERT_EQ(payload.substr(0, head.size()), head);
  Mac mac;
  kMac(head, mac);
  std::string hex;
  for (uint8_t b : mac) {
    static const char digits[] = "0123456789abcdef";
    hex += digits[b >> 4];
    hex += digits[b & 15];
  }
  EXPECT_EQ(payload.substr(head.size()), "mac " + hex + "\n");
}

TEST(RelayEnvelope, ARemovalSaysRemovedWhereTheImageWouldStand) {
  const std::string payload = SealEnvelope(kRemoval, kMac);
  const std::string head =
      "qelv-relay 2\nchannel desk-a\nlogin 4711\nseq 1765190400124\ntime 1765190400457\nremoved\n";
  ASSERT_EQ(payload.substr(0, head.size()), head);
  Mac mac;
  kMac(head, mac);
  EXPECT_EQ(payload.substr(head.size()), "mac " + DigestHex(mac) + "\n");
}

struct RefusalCase {
  const char* name;
  std::function<std::string(std::string)> payload;  // from the sealed sample
  EnvelopeVerdict verdict;
  std::string channel = "desk-a";
  std::string login = "4711";
  MacFunction mac = kMac;
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

// The sample sealed again after `edit` changed its signed text, so that only the edit is wrong.
std::function<std::string(std::string)> Resealed(std::function<void(std::string&)> edit) {
  return [edit](std::string payload) {
    std::string text = payload.substr(0, payload.rfind("mac "));
    edit(text);
    Mac mac;
    kMac(text, mac);
    static const char digits[] = "0123456789abcdef";
    text += "mac ";
    for (uint8_t b : mac) text += {digits[b >> 4], digits[b & 15]};
    return text + "\n";
  };
}

std::function<void(std::string&)> Replace(std::string from, std::string to) {
  return [from, to](std::string& text) { text.replace(text.find(from), from.size(), to); };
}

const auto kSame = [](std::string p) { return p; };

class Refusal : public testing::TestWithParam<RefusalCase> {};

TEST_P(Refusal, SaysWhy) {
  Envelope out{"untouched", "x", 1, 1, "y"};
  const Envelope before = out;
  const std::string payload = GetParam().payload(SealEnvelope(kSample, kMac));
  EXPECT_EQ(OpenEnvelope(payload, GetParam().channel, GetParam().login, GetParam().mac, out),
            GetParam().verdict);
  EXPECT_EQ(out, before);
}

INSTANTIATE_TEST_SUITE_P(RelayEnvelopes, Refusal, testing::Values(
    RefusalCase{"wrong key", kSame, EnvelopeVerdict::kBadMac, "desk-a", "4711", FakeMac("another secret")},
    RefusalCase{"mac not computable", kSame, EnvelopeVerdict::kMacUnavailable, "desk-a", "4711", FailingMac()},
    RefusalCase{"topic of another channel", kSame, EnvelopeVerdict::kChannelMismatch, "desk-b"},
    RefusalCase{"topic of another login", kSame, EnvelopeVerdict::kLoginMismatch, "desk-a", "4712"},
    RefusalCase{"plain text", [](std::string) { return std::string("hello"); }, EnvelopeVerdict::kUnsigned},
    RefusalCase{"empty", [](std::string) { return std::string(); }, EnvelopeVerdict::kUnsigned},
    RefusalCase{"a bare image", [](std::string) { return kImage; }, EnvelopeVerdict::kUnsigned},
    RefusalCase{"no mac line", [](std::string p) { return p.substr(0, p.rfind("mac ")); },
                EnvelopeVerdict::kUnsigned},
    RefusalCase{"a later version", Resealed(Replace("relay 2", "relay 3")), EnvelopeVerdict::kOtherVersion},
    RefusalCase{"version 1, whose removals were unsigned", Resealed(Replace("relay 2", "relay 1")),
                EnvelopeVerdict::kOtherVersion},
    RefusalCase{"a removal with an image behind it",
                Resealed(Replace("image-bytes 108\n", "removed\nimage-bytes 108\n")), EnvelopeVerdict::kMalformed},
    RefusalCase{"a removal line with a value", Resealed(Replace("image-bytes 108\n" + kImage + "\n", "removed 1\n")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"fields out of order", Resealed(Replace("channel desk-a\nlogin 4711", "login 4711\nchannel desk-a")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"carriage returns", Resealed(Replace("channel desk-a\n", "channel desk-a\r\n")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"space in a login", Resealed(Replace("login 4711", "login 47 11")), EnvelopeVerdict::kMalformed},
    RefusalCase{"slash in a channel", Resealed(Replace("channel desk-a", "channel desk/a")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"seq with a leading zero", Resealed(Replace("seq 1", "seq 01")), EnvelopeVerdict::kMalformed},
    RefusalCase{"seq with a sign", Resealed(Replace("seq 1", "seq +1")), EnvelopeVerdict::kMalformed},
    RefusalCase{"seq beyond 64 bits", Resealed(Replace("seq 1765190400123", "seq 18446744073709551616")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"negative time", Resealed(Replace("time 1", "time -1")), EnvelopeVerdict::kMalformed},
    RefusalCase{"image shorter than said", Resealed(Replace("image-bytes 108", "image-bytes 109")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"image longer than said", Resealed(Replace("image-bytes 108", "image-bytes 107")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"image beyond the bound", Resealed(Replace("image-bytes 108", "image-bytes 8388609")),
                EnvelopeVerdict::kMalformed},
    RefusalCase{"upper-case mac", [](std::string p) {
                  for (size_t i = p.rfind("mac ") + 4; i < p.size(); i++) p[i] = static_cast<char>(toupper(p[i]));
                  return p;
                }, EnvelopeVerdict::kMalformed},
    RefusalCase{"mac cut short", [](std::string p) { return p.erase(p.size() - 3, 2); }, EnvelopeVerdict::kMalformed},
    RefusalCase{"bytes behind the mac", [](std::string p) { return p + "x"; }, EnvelopeVerdict::kMalformed},
    RefusalCase{"a second mac line", [](std::string p) { return p + p.substr(p.rfind("mac ")); },
                EnvelopeVerdict::kMalformed}));

// Whatever byte is altered, and wherever the payload is cut, nothing opens: an image or a removal.
class EveryAlteration : public testing::TestWithParam<Envelope> {};

TEST_P(EveryAlteration, OfAFlippedByteIsRefused) {
  const std::string payload = SealEnvelope(GetParam(), kMac);
  for (size_t i = 0; i < payload.size(); i++) {
    for (uint8_t flip : {0x01, 0x20, 0x80}) {
      std::string altered = payload;
      altered[i] = static_cast<char>(altered[i] ^ flip);
      Envelope out;
      EXPECT_NE(OpenEnvelope(altered, "desk-a", "4711", kMac, out), EnvelopeVerdict::kOpened)
          << "byte " << i << " flipped by " << int(flip);
    }
  }
}

TEST_P(EveryAlteration, OfATruncationIsRefused) {
  const std::string payload = SealEnvelope(GetParam(), kMac);
  for (size_t size = 0; size < payload.size(); size++) {
    Envelope out;
    EXPECT_NE(OpenEnvelope(payload.substr(0, size), "desk-a", "4711", kMac, out), EnvelopeVerdict::kOpened)
        << size << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(RelayEnvelopes, EveryAlteration, testing::Values(kSample, kRemoval));

struct SealRefusal {
  const char* name;
  Envelope envelope;
  MacFunction mac = kMac;
};
void PrintTo(const SealRefusal& c, std::ostream* os) { *os << c.name; }

class Seal : public testing::TestWithParam<SealRefusal> {};

TEST_P(Seal, RefusesWhatCouldNotBeOpened) {
  EXPECT_EQ(SealEnvelope(GetParam().envelope, GetParam().mac), "");
}

INSTANTIATE_TEST_SUITE_P(RelayEnvelopes, Seal, testing::Values(
    SealRefusal{"empty login", {"c", "", 1, 1, "i"}},
    SealRefusal{"line feed in a channel", {"c\nseq 9", "1", 1, 1, "i"}},
    SealRefusal{"wildcard in a login", {"c", "#", 1, 1, "i"}},
    SealRefusal{"channel too long", {std::string(kMaxEnvelopeNameBytes + 1, 'c'), "1", 1, 1, "i"}},
    SealRefusal{"non-ASCII login", {"c", "\xe9", 1, 1, "i"}},
    SealRefusal{"image too large", {"c", "1", 1, 1, std::string(kMaxImageBytes + 1, 'i')}},
    SealRefusal{"negative time", {"c", "1", 1, -5, "i"}},
    SealRefusal{"a removal with an image", {"c", "1", 1, 1, "i", true}},
    SealRefusal{"mac not computable", {"c", "1", 1, 1, "i"}, FailingMac()}));

struct SequenceCase {
  uint64_t last;
  int64_t now_ms;
  uint64_t next;
};

class Sequence : public testing::TestWithParam<SequenceCase> {};

TEST_P(Sequence, RisesWithTheClockAndNeverFalls) {
  EXPECT_EQ(NextSequence(GetParam().last, GetParam().now_ms), GetParam().next);
}

INSTANTIATE_TEST_SUITE_P(RelayClock, Sequence, testing::Values(
    SequenceCase{0, 1000, 1000},                  // a fresh start takes the clock
    SequenceCase{1000, 1000, 1001},               // two in the same millisecond
    SequenceCase{5000, 1000, 5001},               // the clock went back
    SequenceCase{0, -7, 1},                       // a clock before 1970
    SequenceCase{UINT64_MAX, 10, UINT64_MAX}));   // no wrap to 0

TEST(RelayReplayGuard, RefusesOlderPerChannelAndLoginAndTakesTheLastAgain) {
  ReplayGuard guard;
  EXPECT_FALSE(guard.IsBehind("c", "1", 0));
  EXPECT_EQ(guard.Last("c", "1"), 0u);
  guard.Record("c", "1", 100);
  EXPECT_FALSE(guard.IsBehind("c", "1", 100));  // the envelope taken last, coming again
  EXPECT_TRUE(guard.IsBehind("c", "1", 99));
  EXPECT_FALSE(guard.IsBehind("c", "1", 101));
  EXPECT_FALSE(guard.IsBehind("c", "2", 5));   // another login
  EXPECT_FALSE(guard.IsBehind("d", "1", 5));   // another channel
  EXPECT_FALSE(guard.IsBehind("c\n1", "", 5));  // no confusion of the two halves
  guard.Record("c", "1", 50);  // an older record does not lower the mark
  EXPECT_TRUE(guard.IsBehind("c", "1", 99));
  EXPECT_EQ(guard.Last("c", "1"), 100u);
}

TEST(RelayReplayGuard, CountsOnlyTheMarksThatRose) {
  ReplayGuard guard;
  guard.Record("c", "1", 100);
  guard.Record("c", "1", 100);
  guard.Record("c", "1", 7);
  EXPECT_EQ(guard.changes(), 1u);
  guard.Record("c", "1", 101);
  guard.Record("b", "2", 3);
  EXPECT_EQ(guard.changes(), 3u);
  EXPECT_EQ(guard.Marks(), (std::vector<ReplayGuard::Mark>{{"b", "2", 3}, {"c", "1", 101}}));
}

}  // namespace
