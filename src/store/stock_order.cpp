#include "store/stock_order.h"
