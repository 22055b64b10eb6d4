#pragma once

#include <QObject>

class QWidget;

namespace vel {

class DynamicsPage;
class Platform;

// The import of an analyser's export into the visits shown: the file, the
// choice of its columns (kept for the next file of the same layout), and the
// visits it fills or adds. The card is saved as usual afterwards.
class BodyImport final : public QObject {
    Q_OBJECT
public:
    BodyImport(QWidget *window, Platform *platform, DynamicsPage *page);

    void run();

private:
    QWidget *m_window;
    Platform *m_platform;
    DynamicsPage *m_page;
};

} // namespace vel
