#pragma once

class QWidget;

namespace vel {

// For timing the start-up from outside: once the shown window has had its
// first turn of the event loop, prints "rss-kb <resident memory>" and quits.
void quitWhenShown(QWidget *window);

// The resident memory of this process in kB, 0 where the system does not say.
long residentKilobytes();

} // namespace vel
