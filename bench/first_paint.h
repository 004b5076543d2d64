#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdio>
#include <ctime>

// Runs the event loop until `window` has been painted once. The paint event
// comes to the window first and its children are painted in the same pass,
// so when the loop returns the whole first paint is done.
inline void wait_for_first_paint(QWidget& window) {
    struct Watch : QObject {
        bool painted = false;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) painted = true;
            return false;
        }
    } watch;
    window.installEventFilter(&watch);
    while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.removeEventFilter(&watch);
}

// Tells paint_timer, which started this process, that the first paint has
// ended: "painted <CLOCK_MONOTONIC nanoseconds>" on the standard output.
inline void report_first_paint() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::printf("painted %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
    std::fflush(stdout);
}
