#include "ui/platform.h"

namespace chomaru {

Date Platform::today() {
    const QDate d = now().date();
    return Date{d.year(), d.month(), d.day()};
}

}  // namespace chomaru
