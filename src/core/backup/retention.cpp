#include "backup/retention.h"

#include "backup/backup.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <algorithm>

namespace vel {

QStringList archivesToDelete(const QStringList &fileNames, const Retention &rule)
{
    struct Archive {
        QString name;
        QDateTime time;
    };
    QVector<Archive> archives;
    for (const QString &name : fileNames) {
        const QDateTime time = archiveTime(name);
        if (time.isValid())
            archives.append({name, time});
    }
    // Newest first; within one second the later suffix " (2)" is the newer.
    std::sort(archives.begin(), archives.end(), [](const Archive &a, const Archive &b) {
        if (a.time != b.time)
            return a.time > b.time;
        if (a.name.size() != b.name.size())
            return a.name.size() > b.name.size();
        return a.name > b.name;
    });

    QSet<QString> keep;
    auto keepNewestPer = [&](int places, auto bucketOf) {
        QSet<qint64> buckets;
        for (const Archive &a : archives) {
            if (int(buckets.size()) >= places)
                break;
            const qint64 bucket = bucketOf(a.time.date());
            if (buckets.contains(bucket))
                continue;
            buckets.insert(bucket);
            keep.insert(a.name);
        }
    };
    keepNewestPer(rule.daily, [](const QDate &d) { return d.toJulianDay(); });
    keepNewestPer(rule.weekly, [](const QDate &d) {
        int year = 0;
        const int week = d.weekNumber(&year);
        return qint64(year) * 100 + week;
    });
    keepNewestPer(rule.monthly, [](const QDate &d) { return qint64(d.year()) * 100 + d.month(); });

    QStringList drop;
    for (const Archive &a : archives)
        if (!keep.contains(a.name))
            drop << a.name;
    return drop;
}

QStringList pruneBackups(const QString &folder, const Retention &rule)
{
    const QDir dir(folder);
    QStringList deleted;
    for (const QString &name : archivesToDelete(dir.entryList(QDir::Files), rule))
        if (QFile::remove(dir.filePath(name)))
            deleted << name;
    return deleted;
}

} // namespace vel
