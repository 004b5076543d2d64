#pragma once

namespace chomaru {

class Session;

// What is kept of a stock entry beside its trades: the account it is held
// in, its quoted price, and its splits and consolidations.
void m_account_click(Session& session);
void m_price_click(Session& session);
void m_split_click(Session& session);
void del_split_click(Session& session);

}  // namespace chomaru
