#include "reports/report_figures.h"
