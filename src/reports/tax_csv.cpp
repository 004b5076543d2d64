#include "reports/tax_csv.h"
