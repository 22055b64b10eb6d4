#pragma once

#include "pages/cardpage.h"
#include "visits/bodyindex.h"

#include <QDate>

#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QGridLayout;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace vel {

class DateField;
struct NumbersInput;
class NumberLabel;
class RadioGroup;

// "Паспортная часть": who the patient is, the measurements, the body indices
// and energy need worked out from them, the visit date and the template the
// prescription starts from.
class PassportPage final : public CardPage {
    Q_OBJECT
public:
    PassportPage(const QDate &today, QWidget *parent = nullptr);
    ~PassportPage() override;

    void load(const CardState &card) override;
    void store(CardState &card) const override;
    void reset(PageFields::Stage stage, const QString &today) override;

    // The template list the choice offers; set before a card is loaded or reset.
    void setTemplateTitles(const QStringList &titles);
    int chosenTemplate() const;
    QString patientName() const;
    QString visitDate() const;

    // The visits: today's weight and girths, and how far the patient has come.
    void setVisits(const QVector<QStringList> &rows, const ChartSeries &series);

    // A visit on this day was added: the next one is proposed after the
    // doctor's usual interval.
    void proposeNextVisit(const QString &visitDay);

    // Handlers of the page's own controls.
    // A blank birth date (not known yet) clears the age without a message.
    void BirEditChange();
    void BrkButtonClick();

    QLineEdit *nameEdit() const { return FioEdit; }
    // The keyboard on the field a refusal names.
    void focusField(Field f);

signals:
    // Input a rule refuses: the window shows the message in its "Error" box.
    void refused(const QString &message);
    // What the weight chart draws beside the visits; a child gets no adult bands.
    void chartAidsChanged(std::optional<double> goalKg, const QString &height, bool adultBands);

private:
    void build();
    void buildNumbers(QFrame *panel, QGridLayout *panelGrid, QGridLayout *bottomGrid);
    void buildNextVisit(QGridLayout *bottomGrid);
    void NextSpinChange(int days);
    void refreshNumbers();
    QString fieldText(Field f) const;
    NumbersInput numbersInput() const;

    QDate m_today;
    bool m_settling = false; // a whole card is being set: the numbers wait for its end
    ChartSeries m_series;
    QVector<QStringList> m_visits;
    std::unique_ptr<PageFields> m_fields;

    QLineEdit *FioEdit = nullptr, *AgeEdit = nullptr, *RostEdit = nullptr, *CelEdit = nullptr;
    DateField *BirEdit = nullptr, *DateEdit = nullptr, *NextEdit = nullptr;
    QSpinBox *NextSpin = nullptr;
    RadioGroup *SexGroup = nullptr;
    QComboBox *TypeBox = nullptr, *ShabBox = nullptr, *AktivBox = nullptr;
    QPushButton *BrkButton = nullptr;
    NumberLabel *BmiLabel = nullptr, *WhrLabel = nullptr, *OtRostLabel = nullptr, *EnergLabel = nullptr,
                *KalorLabel = nullptr, *DinamLabel = nullptr, *ImtLabel = nullptr;
};

} // namespace vel
