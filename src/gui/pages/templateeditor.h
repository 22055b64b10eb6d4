#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vel {

class MemoEdit;

// The template editor view's page: choose a recommendation template, edit
// its text and its name and save them, or make a new one.
class TemplateEditor final : public QWidget {
    Q_OBJECT
public:
    TemplateEditor(const QString &dataDir, QWidget *parent = nullptr);

    void setTitles(const QStringList &titles);
    // Shown from the menu: nothing chosen, nothing to save yet.
    void start();

    void ShabloBoxSelect(int index);
    void SblMemoChange();
    void AddShButtonClick();
    void SavShButtonClick();

signals:
    void saved();                        // " Шаблон сохранен"
    void failed(const QString &message); // a file that could not be read or written

private:
    void setMemoQuietly(const QString &text);
    void showName(const QString &title, bool editable);

    QString m_dataDir;
    bool m_quiet = false;
    MemoEdit *SblMemo = nullptr;
    QComboBox *ShabloBox = nullptr;
    QLineEdit *ShabNameEdit = nullptr; // the chosen template's name, saved with its text
    QPushButton *AddShButton = nullptr, *SavShButton = nullptr;
};

} // namespace vel
