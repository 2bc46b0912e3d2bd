// The sequence file, qelv-relay.sequences beside the program: the marks of the relay's
// ReplayGuard, so that envelopes it took before a restart stay refused after it.
//
//   qelv-relay-sequences 1
//   desk-a 4711 1765190400123      channel, login, the last sequence number taken
//   end 1                          how many marks stand above: a file cut short has no end
//
// Written whole and replaced in one step (atomic_file.h). A file missing or damaged gives no
// marks: the age bound is then the only guard against replays, and that is said in the log.
#pragma once
#include <string>
#include <string_view>

#include "relay_envelope.h"

std::string SequenceFileText(const ReplayGuard& guard);
// Records every mark of a whole, sound `text` in `guard`; false, and nothing recorded, otherwise.
bool ReadSequenceText(std::string_view text, ReplayGuard& guard);

enum class SequenceFileState { kRead, kMissing, kDamaged };
SequenceFileState LoadSequenceFile(const std::string& path, ReplayGuard& guard);
// False when the file could not be replaced; the one before stays.
bool SaveSequenceFile(const std::string& path, const ReplayGuard& guard);
