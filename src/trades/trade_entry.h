#pragma once

namespace chomaru {

class Session;

// Buy and sell entry: the date, the unit price, the shares and the amount, then the new record.
void kai_input_key_click(Session& session);
void uri_input_key_click(Session& session);

}  // namespace chomaru
