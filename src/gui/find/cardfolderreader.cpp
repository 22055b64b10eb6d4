#include "find/cardfolderreader.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

namespace vel {

namespace {

// The first rows show at once; later batches are larger so the view is
// not re-sorted for every card.
constexpr int kFirstBatchMs = 20;
constexpr int kBatchMs = 100;
constexpr int kChunk = 32;
constexpr int kFirstChunk = 8;

} // namespace

CardFolderReader::CardFolderReader(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<QVector<vel::CardSummary>>();
}

CardFolderReader::~CardFolderReader()
{
    stop();
    m_pool.waitForDone();
}

int CardFolderReader::start(const QString &dataDir, const QHash<QString, CardStamp> &known)
{
    stop();
    const int pass = ++m_pass;
    m_stopped = std::make_shared<std::atomic_bool>(false);
    auto stopped = m_stopped;
    m_future =
        QtConcurrent::run(&m_pool, [this, pass, dataDir, known, stopped] { run(pass, dataDir, known, stopped); });
    return pass;
}

void CardFolderReader::stop()
{
    if (m_stopped)
        *m_stopped = true;
    m_future.waitForFinished();
}

bool CardFolderReader::isRunning() const
{
    return m_future.isRunning();
}

void CardFolderReader::run(int pass, const QString &dataDir, const QHash<QString, CardStamp> &known,
                           const std::shared_ptr<std::atomic_bool> &stopped)
{
    // Cards are read as the folder is listed, so the first rows do not wait
    // for a listing of thousands of files; the view sorts them anyway.
    QDirIterator it(QDir(dataDir).absolutePath(), QDir::Files);
    QStringList paths;
    QStringList toRead;
    QVector<CardSummary> pending;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    int wait = kFirstBatchMs;
    auto flush = [&](bool last) {
        // Cards are read a chunk at a time on every core there is.
        const QVector<CardSummary> cards = QtConcurrent::blockingMapped<QVector<CardSummary>>(
            &m_pool, toRead, [&dataDir](const QString &path) { return summarizeCard(path, dataDir); });
        toRead.clear();
        pending += cards;
        if (!pending.isEmpty() && (last || sinceBatch.elapsed() >= wait)) {
            emit cardsRead(pass, pending);
            pending.clear();
            sinceBatch.restart();
            wait = kBatchMs;
        }
    };
    while (it.hasNext()) {
        if (*stopped)
            return;
        const QString path = it.next();
        if (!path.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive))
            continue;
        paths << path;
        const auto cached = known.constFind(path);
        if (cached != known.constEnd() && *cached == cardStamp(path))
            continue;
        toRead << path;
        if (toRead.size() >= (wait == kFirstBatchMs ? kFirstChunk : kChunk))
            flush(false);
    }
    if (*stopped)
        return;
    flush(true);
    emit folderRead(pass, paths);
}

} // namespace vel
