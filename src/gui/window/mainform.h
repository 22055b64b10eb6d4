#pragma once

#include "control/cardcontroller.h"

#include <QDate>
#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QMenu;
class QTabWidget;

namespace vel {
class AnamnesisIndexPage;
class BackupCommands;
class AnamnesisSections;
class CardListModel;
class CardPage;
class DynamicsPage;
class HealthPage;
class PassportPage;
class Platform;
class PrescriptionPage;
class StatusPanels;
class TemplateEditor;
} // namespace vel

class TAboutBox;

// The main window: one patient card at a time, shown on its pages. The pages
// load and store their part of the card, the card controller runs new, open,
// save and delete; the window builds them, routes the card and keeps the
// menus, the views and the status bar.
class TMainForm final : public QMainWindow, private vel::CardView {
    Q_OBJECT
public:
    // The platform answers every dialog (nullptr: Qt's own dialogs); "today"
    // is the start-up date and the data folder the one captured at start-up.
    // Pages::Later builds the pages that are not on the title screen right
    // after it first shows, and before any key or click is handled.
    enum class Pages { Now, Later };
    TMainForm(vel::Platform *platform, const QDate &today, const QString &dataDir, QWidget *parent = nullptr,
              Pages pages = Pages::Now);
    ~TMainForm() override;

    // The nine questionnaire pages, in tab order.
    enum Page {
        PassportPage,
        WeightHistoryPage,
        CorrectionsPage,
        FoodsPage,
        DiagnosticPage,
        AnamnesisPage,
        HealthPage,
        DynamicsPage,
        PrescriptionPage,
        PageCount
    };

    QString dataDirectory() const { return m_dataDir; }
    QString today() const { return m_today; }
    QString statusText(int panel) const;
    vel::CardState cardState() const { return shownCard(); }
    TAboutBox *aboutBox() const { return m_about; }
    vel::CardListModel *cardList() const { return m_cardList; }

    // Handlers, named after their controls and events.
    void NewActExecute();
    void OpenActExecute();
    void FindActExecute();
    void SaveActExecute();
    void DelActExecute();
    void PrnActExecute();
    void ReportActExecute();
    void ShablActExecute();
    void ExitActExecute();
    void HelpActExecute();
    void PartActExecute();
    void CardActExecute();
    void AboutActExecute();
    void BirEditChange();
    void BrkButtonClick();
    void AddBtnClick();
    void Add2ButtonClick();
    void TabSheet8Enter();
    void TabSheet10Enter();
    void PrnButtonClick();
    void ShabloBoxSelect(int index);
    void SectionButtonClick(int section);
    void OkButtonClick();

    // Opens the card whose main file this is: all six files or nothing.
    bool openCard(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // What the card controller asks of the window.
    vel::CardState shownCard() const override;
    bool showNewCard() override;
    void showCard(const vel::LoadedCard &card) override;
    void showStatus(int panel, const QString &text) override;
    void showFailure(const QString &message) override;
    void showRefusal(const QString &message) override;
    void focusField(vel::Field f) override;
    // Ctrl+Tab, Ctrl+PgDn and the reverse move between the questionnaire's pages from anywhere.
    void turnPage(int step);

    void FormCreate(const QDate &today);
    void buildWindow();
    void buildPages();
    void buildMenu();
    void buildStatusBar();
    void buildWorkArea(); // the title screen
    void buildViews();    // the three views and their pages
    void wirePages();
    void fillRecentMenu();
    // Every action's enabled state, from the card shown, the view and the
    // prescription page having been entered.
    void updateActions();
    void showView(QTabWidget *view);

    vel::Platform *m_platform = nullptr;
    std::unique_ptr<vel::Platform> m_ownPlatform;
    QString m_dataDir;
    QDate m_startDate;
    QString m_today;
    bool m_pagesBuilt = false;
    bool m_prescriptionEntered = false;
    std::optional<QStringList> m_startTemplates; // the template list read at start-up, until the editor exists

    QAction *NewAct = nullptr, *OpenAct = nullptr, *SaveAct = nullptr, *DelAct = nullptr, *PrnAct = nullptr,
            *ShablAct = nullptr, *ExitAct = nullptr, *HelpAct = nullptr, *PartAct = nullptr, *CardAct = nullptr,
            *AboutAct = nullptr, *ReportAct = nullptr, *FindAct = nullptr, *BackupAct = nullptr, *RestoreAct = nullptr,
            *ExportAct = nullptr;
    QMenu *PopupMenu1 = nullptr, *RecentMenu = nullptr;
    vel::StatusPanels *m_status = nullptr;
    QTabWidget *PageControl1 = nullptr, *PageControl3 = nullptr;
    QTabWidget *m_view = nullptr; // the view shown; none on the title screen
    vel::AnamnesisSections *PageControl2 = nullptr;
    vel::CardPage *m_pages[PageCount] = {};
    vel::PassportPage *m_passport = nullptr;
    vel::AnamnesisIndexPage *m_anamnesisIndex = nullptr;
    vel::HealthPage *m_health = nullptr;
    vel::DynamicsPage *m_dynamics = nullptr;
    vel::PrescriptionPage *m_prescription = nullptr;
    vel::TemplateEditor *m_editor = nullptr;
    vel::CardListModel *m_cardList = nullptr;
    vel::CardController *m_cards = nullptr;
    vel::BackupCommands *m_backup = nullptr;
    TAboutBox *m_about = nullptr;
};
