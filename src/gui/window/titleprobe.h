#pragma once

class QWidget;

namespace vel {

// For timing the start-up from outside. After the window's first paint, prints
// "title rss-kb <resident memory>"; after the events queued by then (pages
// built after the title), prints "ready rss-kb <memory>" and quits.
void quitWhenShown(QWidget *window);

// The resident memory of this process in kB, 0 where the system does not say.
long residentKilobytes();

} // namespace vel
