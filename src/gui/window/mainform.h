#pragma once

#include "card/cardstate.h"

#include <QDate>
#include <QHash>
#include <QMainWindow>

#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QFrame;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QToolButton;

namespace vel {
class CardBinding;
class CardListModel;
class DateField;
class NumberLabel;
class Platform;
class ChartFeed;
class DiagnosticModel;
class GridView;
class MemoEdit;
class RadioGroup;
class UnsavedWork;
class VisitModel;
class WeightChart;
} // namespace vel

class TAboutBox;

// The main window: one patient card at a time, held in its controls.
class TMainForm final : public QMainWindow {
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
    vel::CardState cardState() const;
    TAboutBox *aboutBox() const { return m_about; }

    // Handlers, named after their controls and events.
    void NewActExecute();
    void OpenActExecute();
    void FindActExecute();
    void RecentCardClick(const QString &path);
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
    void SblMemoChange();
    void AddShButtonClick();
    void SavShButtonClick();
    void SectionButtonClick(int section);
    void OkButtonClick();

    // Opens the card whose main file this is: all six files or nothing.
    bool openCard(const QString &path);
    vel::CardListModel *cardList() const { return m_cardList; }

    // Shown beside the card, never stored: body indices and the weight chart.
    void refreshBodyIndices();
    void refreshChart();
    // The dietitian's numbers: waist-to-height, energy, progress, the chart's aids.
    void refreshNumbers();
    // The anamnesis index shows how many items of each section are ticked.
    void refreshSectionMark(int section);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const QDate &today);
    void buildWindow();
    void buildPages();
    void buildMenu();
    void buildStatusBar();
    void buildWorkArea(); // the title screen
    void buildViews();    // the three views and their pages
    void buildPassportPage(QWidget *page);
    void buildNumbers(QFrame *panel, QGridLayout *panelGrid, QGridLayout *bottomGrid);
    void buildDiagnosticPage(QWidget *page);
    void buildAnamnesisIndexPage(QWidget *page);
    void buildHealthPage(QWidget *page);
    void buildDynamicsPage(QWidget *page);
    void buildPrescriptionPage(QWidget *page);
    void buildTemplateEditor(QWidget *page);
    void registerControls();
    void rememberCard(const QString &path);
    void forgetCard(const QString &path);
    void fillRecentMenu();
    void placeCornerButton(QWidget *page, QToolButton *button);
    void watchSectionTicks();

    bool resetCard(); // false when it stopped at a file error
    void showView(QTabWidget *view);
    void setTablesVisible(bool visible);
    void applyCard(const vel::CardState &card, const QStringList &templateTitles);
    void fillTemplateChoice(QComboBox *box, const QStringList &titles, const QString &prompt);
    void clearTemplateChoice(QComboBox *box, const QString &prompt);
    void setStatus(int panel, const QString &text);
    void errorBox(const QString &text);        // the "Error" box of refused input
    void defaultErrorBox(const QString &text); // the application's box for failures
    void setMemoQuietly(vel::MemoEdit *memo, const QString &text);

    template <typename T> T *control(const QString &name) const { return qobject_cast<T *>(m_controls.value(name)); }

    vel::Platform *m_platform = nullptr;
    std::unique_ptr<vel::Platform> m_ownPlatform;
    QString m_dataDir;
    QDate m_startDate;
    QString m_today;
    QString m_lastChosen; // the file dialog offers the last chosen card again
    bool m_quietMemo = false;
    bool m_settingCard = false; // a card is being opened or reset: indices wait for the end
    bool m_pagesBuilt = false;
    std::optional<QStringList> m_startTemplates; // the template list read at start-up, until the editor exists
    int m_openSection = 0; // the anamnesis section shown, 1..18
    QHash<QString, QWidget *> m_controls;
    std::unique_ptr<vel::CardBinding> m_binding;

    QAction *NewAct = nullptr, *OpenAct = nullptr, *SaveAct = nullptr, *DelAct = nullptr, *PrnAct = nullptr,
            *ShablAct = nullptr, *ExitAct = nullptr, *HelpAct = nullptr, *PartAct = nullptr, *CardAct = nullptr,
            *AboutAct = nullptr, *ReportAct = nullptr, *FindAct = nullptr;
    QMenu *PopupMenu1 = nullptr, *RecentMenu = nullptr;
    vel::CardListModel *m_cardList = nullptr;
    QLabel *m_panels[2] = {nullptr, nullptr};
    QTabWidget *PageControl1 = nullptr, *PageControl2 = nullptr, *PageControl3 = nullptr;
    QLineEdit *FioEdit = nullptr, *AgeEdit = nullptr, *RostEdit = nullptr;
    vel::DateField *BirEdit = nullptr, *DateEdit = nullptr;
    vel::RadioGroup *SexGroup = nullptr;
    QComboBox *TypeBox = nullptr, *ShabBox = nullptr, *ShabloBox = nullptr;
    QPushButton *BrkButton = nullptr, *AddShButton = nullptr, *SavShButton = nullptr;
    vel::GridView *Grid1 = nullptr, *Grid2 = nullptr;
    vel::DiagnosticModel *m_diagnostic = nullptr;
    vel::VisitModel *m_visits = nullptr;
    vel::ChartFeed *m_chartFeed = nullptr;
    QPlainTextEdit *GoalMemo = nullptr, *AnamMemo = nullptr;
    vel::MemoEdit *PrimMemo = nullptr, *PrepMemo = nullptr, *RecMemo = nullptr, *SblMemo = nullptr;
    QTextEdit *RichEd = nullptr;
    vel::NumberLabel *BmiLabel = nullptr, *WhrLabel = nullptr;
    QComboBox *AktivBox = nullptr;
    QLineEdit *CelEdit = nullptr;
    vel::NumberLabel *OtRostLabel = nullptr, *EnergLabel = nullptr, *KalorLabel = nullptr, *DinamLabel = nullptr,
                     *ImtLabel = nullptr;
    vel::WeightChart *Chart = nullptr;
    QToolButton *PrnButton = nullptr;
    TAboutBox *m_about = nullptr;
    vel::UnsavedWork *m_unsaved = nullptr;
};
