// How a slave's copy is linked to the master order it copies, across restarts of either
// terminal, the hub and the experts, and across partial closes on either side.
//
// A partial close leaves the closed part under the old ticket, its comment rewritten to
// "to #<new ticket>", and reopens the remainder under a new ticket with the comment
// "from #<old ticket>", keeping the magic number. So the master's orders form chains: the first
// order (the root) and its remainders, linked by these comments. A remainder that is partially
// closed again loses its "from #", so a chain is walked back through both kinds of link. The
// chain, not the ticket, is what a copy follows, and
// the copy carries the only field both terminals keep through a partial close, the magic number:
//
//   magic = 31 low bits of FNV-1a-32 over (login text, 0 byte, root ticket as 4 bytes, least
//           significant first); 0 becomes 1.
//
// e.g. login "4711", root #1001 gives 544134298. The same chain always gives the same
// magic, so the slave's open orders and history, read afresh, say which chains it copies and
// which it copied and closed itself. The copy's comment "qelv <login> #<root>" is for people only
// and is lost on its first partial close. Orders with a magic that belongs to no chain the
// planner sees (the slave's own, another expert's, a master out of the set) are left alone.
// Two chains giving the same magic are told apart by nobody: the planner copies only the first
// it meets and logs the other.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

int32_t CopyMagic(std::string_view login, int32_t root_ticket);

// The copy's comment, cut to the terminal's 31 bytes.
std::string CopyComment(std::string_view login, int32_t root_ticket);

// The ticket a comment "from #<ticket>" ("to #<ticket>") names, or 0 for another comment.
int32_t FromTicket(std::string_view comment);
int32_t ToTicket(std::string_view comment);
