#include "reports/portfolio_csv.h"
