#pragma once

#include "cardlist/cardsummary.h"

#include <QFuture>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>

namespace vel {

// Reads the cards of the data folder on a worker thread. It never touches a
// widget: what it reads arrives in batches through queued signals, each
// tagged with the pass that read it so a stopped pass cannot mix in.
class CardFolderReader final : public QObject {
    Q_OBJECT
public:
    explicit CardFolderReader(QObject *parent = nullptr);
    ~CardFolderReader() override; // waits for the worker and ends its threads

    // Starts a new pass (stopping one under way). Cards whose files match
    // their stamp in "known" are not read again.
    int start(const QString &dataDir, const QHash<QString, CardStamp> &known);
    void stop();
    bool isRunning() const;

signals:
    void cardsRead(int pass, const QVector<vel::CardSummary> &cards);
    // Every main file the folder held, read or unchanged.
    void folderRead(int pass, const QStringList &paths);

private:
    void run(int pass, const QString &dataDir, const QHash<QString, CardStamp> &known,
             const std::shared_ptr<std::atomic_bool> &stopped);

    // Its own threads, ended with the reader: nothing of the reader's outlives
    // the window (the global pool's idle threads would live on until exit).
    QThreadPool m_pool;
    QFuture<void> m_future;
    std::shared_ptr<std::atomic_bool> m_stopped;
    int m_pass = 0;
};

} // namespace vel
