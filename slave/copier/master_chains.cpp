#include "master_chains.h"

#include <unordered_map>
#include <unordered_set>

#include "copy_link.h"
#include "order_texts.h"

namespace {

using TicketIndex = std::unordered_map<int32_t, const TOrder*>;

// Walks back from `order`: a closed part "to #<member>" is the member's parent, else the member's
// own "from #<parent>" names it. A parent missing from the history is passed over when a closed
// part names it in turn; the walk ends at an order without parent, a missing one, or a loop.
MasterChain Resolve(std::string_view login, const TOrder& order, const TicketIndex& history,
                    const TicketIndex& closed_part_of) {
  MasterChain chain;
  chain.login = login;
  chain.order = &order;
  chain.resolved = true;
  chain.original_lots = order.lots;
  const TOrder* member = &order;  // nullptr while the member `ticket` is missing
  int32_t ticket = order.num1;
  for (size_t steps = 0;; steps++) {
    if (steps > history.size()) {
      chain.resolved = false;
      break;
    }
    auto closed_part = closed_part_of.find(ticket);
    if (closed_part != closed_part_of.end()) {
      member = closed_part->second;
    } else {
      int32_t parent = member ? FromTicket(CommentOf(*member)) : 0;
      if (!parent) break;
      auto found = history.find(parent);
      member = found == history.end() ? nullptr : found->second;
      if (!member) {
        chain.resolved = false;
        ticket = parent;
        continue;
      }
    }
    ticket = member->num1;
    chain.original_lots += member->lots;
  }
  chain.root_ticket = ticket;
  chain.root_open_time = member ? member->num2 : 0;
  chain.magic = CopyMagic(login, ticket);
  return chain;
}

}  // namespace

std::vector<MasterChain> GatherChains(const TImage& image) {
  std::string_view login = image.login;
  TicketIndex history, closed_part_of;
  for (const TOrder& order : image.history) {
    history.emplace(order.num1, &order);
    if (int32_t remainder = ToTicket(CommentOf(order))) closed_part_of.emplace(remainder, &order);
  }

  std::vector<MasterChain> chains;
  std::unordered_set<int32_t> open_tickets, roots;
  for (const TOrder& order : image.market) {
    if (!open_tickets.insert(order.num1).second) continue;
    MasterChain chain = Resolve(login, order, history, closed_part_of);
    chain.open = true;
    if (roots.insert(chain.root_ticket).second) chains.push_back(chain);
  }
  // A closed order of a chain still open is one of its closed parts; of the others, the one
  // closed last stands for its chain.
  std::unordered_map<int32_t, size_t> closed_chain_at;
  for (const TOrder& order : image.history) {
    if (open_tickets.count(order.num1)) continue;
    MasterChain chain = Resolve(login, order, history, closed_part_of);
    auto known = closed_chain_at.find(chain.root_ticket);
    if (known != closed_chain_at.end()) {
      if (order.close_time > chains[known->second].order->close_time) chains[known->second] = chain;
    } else if (roots.insert(chain.root_ticket).second) {
      closed_chain_at.emplace(chain.root_ticket, chains.size());
      chains.push_back(chain);
    }
  }
  return chains;
}
