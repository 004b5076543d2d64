#include "trades/date_picker_dialog.h"
