#pragma once

#include <QDialog>

namespace vel {
class Platform;
}

// Version information with the maker's e-mail and web addresses.
class TAboutBox final : public QDialog {
    Q_OBJECT
public:
    TAboutBox(vel::Platform *platform, QWidget *parent = nullptr);

    void Label4Click();
    void Label5Click();
    void SpeedButton1Click();

    static QString supportEmail();
    static QString webSite();

private:
    vel::Platform *m_platform;
};
